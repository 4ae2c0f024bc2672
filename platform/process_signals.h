#pragma once
// How a converting program meets the signals that end it or a write.
namespace platform {

// A write past the file size limit, or to a pipe nobody reads any more,
// fails like any failed write (the file is not converted, or the line not
// shown, and the program goes on to say so) instead of ending the program
// without a word; and
// SIGTERM, SIGINT and SIGHUP first remove the hidden temporaries being
// written, then end the program as they would have.
void guard_outputs_against_signals();

}  // namespace platform
