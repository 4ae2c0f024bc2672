#include "app/command_line/terminal_input.h"

#include <unistd.h>

bool standard_input_is_terminal() { return ::isatty(STDIN_FILENO) == 1; }
