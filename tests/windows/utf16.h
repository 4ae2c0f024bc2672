#pragma once
// UTF-8 and UTF-16 by the system's own calls (not the program's), to check
// the program's against and to speak to windows in.
#include <string>
#include <string_view>

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view wide);
