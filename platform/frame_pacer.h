#pragma once
// Paints each window at most once per display frame. A burst of changes (a
// run listing a file every few microseconds) reaches the screen as it
// stands at the next frame rather than change by change; a change after a
// quiet moment is painted at once, as before.

namespace platform {

// Installs the pacing for every window of the application (once).
void pace_painting();

}  // namespace platform
