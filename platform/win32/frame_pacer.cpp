#include "platform/frame_pacer.h"

namespace platform {

// Nothing to install: Windows already paints this way. A change only
// invalidates part of the window; the invalid parts add up, and WM_PAINT
// is made from them when the thread's queue holds nothing else. A burst of
// changes between two looks at the queue is painted once, as it stands
// then; a single change after a quiet moment at once.
void pace_painting() {}

}  // namespace platform
