#pragma once
// The offscreen platform has no compositor to ask: what query_composition
// answers there is set here (off until set), for tests and screenshots.

namespace platform {

void set_offscreen_composition(bool on);

}  // namespace platform
