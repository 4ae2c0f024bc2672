#pragma once
// Reading a mapped file that another program cuts short raises a bus error,
// which would end the process. Conversions of mapped files run their
// conversion calls under this guard, so that such a file simply fails.
namespace platform {

// Calls fn(context). A bus error raised on this thread meanwhile abandons the
// call and gives false; otherwise true. `fn` is left by a jump, so it must
// own nothing that needs cleaning up (a plain C call such as iconv()).
bool call_catching_bus_errors(void (*fn)(void*), void* context);

}  // namespace platform
