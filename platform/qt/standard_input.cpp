#include "platform/standard_input.h"

#include <unistd.h>

namespace platform {

bool standard_input_is_terminal() { return ::isatty(STDIN_FILENO) == 1; }

}  // namespace platform
