#pragma once
// The composition question's answer, replaceable in tests: Wine's desktop
// never composes, and the program's glass path runs only when it does.
#include <optional>

namespace platform::win32 {

// From now on query_composition() answers `answer` without asking the
// system; nullopt makes it ask the system again.
void set_composition_answer_for_tests(std::optional<bool> answer);

}  // namespace platform::win32
