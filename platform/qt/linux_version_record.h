#pragma once
// How the Linux side fills the version record: the translation from the
// kernel release and os-release, apart from the system calls so that tests
// can give it any text.
#include <string_view>

#include "platform/version_record.h"

namespace platform {

// From the kernel release as uname reports it and the text of an os-release
// file (empty when there is none). False, and the record untouched, when the
// release does not start with a number or the size field is neither 148 nor
// 156.
bool version_record_from(std::string_view kernel_release, std::string_view os_release,
                         OSVERSIONINFOEXA* record);

}  // namespace platform
