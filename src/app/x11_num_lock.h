// The num-lock indicator of the X server the program shows on (kept apart: Xlib's macros
// clash with Qt's names).
#pragma once

#include <optional>

namespace quillane {

// None when the program does not show on X11 or the server has no "Num Lock" indicator.
std::optional<bool> X11NumLock();

}  // namespace quillane
