#pragma once
// The toolkit's own texts (the file dialog's "Look in" and "Open", a message
// box's "OK", its error texts) in Simplified Chinese, like every text of the
// program.
namespace platform {

// Loads and installs them for the running application; false where the
// translation is not installed (the texts then stay in English).
bool load_toolkit_translations();

}  // namespace platform
