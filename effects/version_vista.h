#pragma once
// The Vista-or-later test that decides whether windows get the glass look.
#include "platform/version_record.h"

// True when the record's major version is 6 or more.
bool 是否Vista或更高(const platform::OSVERSIONINFOA& 记录);

// The same test on the system the program runs on; a system that cannot be
// asked gives false.
bool 是否Vista或更高();
