#pragma once
// Whether this Windows is Wine, whose file system is Linux's: the few
// places where Wine's answers differ from Windows' ask.
namespace platform::win32 {

bool under_wine();

}  // namespace platform::win32
