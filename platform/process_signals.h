#pragma once
// How a converting program meets the signals that end it or a write.
namespace platform {

// A write past the file size limit fails like any failed write (the file is
// not converted, the program goes on) instead of ending the program; and
// SIGTERM, SIGINT and SIGHUP first remove the hidden temporaries being
// written, then end the program as they would have.
void guard_outputs_against_signals();

}  // namespace platform
