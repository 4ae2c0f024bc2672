#include "platform/standard_input.h"

#include <windows.h>

namespace platform {

// A console, not merely a character device: the C runtime's isatty() says
// yes to NUL as well.
bool standard_input_is_terminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

}  // namespace platform
