#pragma once
// The command line's standard input.
namespace platform {

// Whether standard input is a terminal (a person typing, not a pipe or file).
bool standard_input_is_terminal();

}  // namespace platform
