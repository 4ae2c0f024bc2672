#pragma once
// The application object, the message loop and the process's end.
#include <functional>

namespace platform {

// Creates the application object once (a second call does nothing).
void init_application(int& argc, char** argv);
// Runs the message loop until quit_message_loop(); returns its code.
int run_message_loop();
// Tells the running message loop to end with `code` (PostQuitMessage).
void quit_message_loop(int code);
// Processes the window messages that are waiting, then returns. A waiting
// quit request stays for the message loop.
void process_waiting_messages();
// Serves the window messages as they come, waiting for them in between,
// until `done` holds; `done` is asked again after every pass and after every
// wake_message_loop().
void serve_messages_until(const std::function<bool()>& done);
// Makes a waiting serve_messages_until() look at its condition again. Safe
// to call from any thread.
void wake_message_loop();
// Ends the process at once with `code`; nothing registered to run at exit runs.
[[noreturn]] void exit_process_now(int code);

struct ScreenSize {
  int width = 0;
  int height = 0;
};
// Size of the primary display in pixels.
ScreenSize primary_screen_size();

}  // namespace platform
