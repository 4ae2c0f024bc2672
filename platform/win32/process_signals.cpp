#include "platform/process_signals.h"

namespace platform {

// Nothing to do on Windows. There is no file size signal: a write past a
// limit fails like any other. And Ctrl+C, Ctrl+Break or closing the console
// end the process through the system's own handler, which closes its
// handles; every temporary being written is marked for deletion from the
// moment it exists (new_file.cpp), so closing its handle removes it. A
// handler of our own would have nothing left to remove.
void guard_outputs_against_signals() {}

}  // namespace platform
