// The num-lock indicator of the X server the program shows on.
#include "app/x11_num_lock.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>

namespace quillane {

namespace {

std::optional<bool> NumLockIndicator(Display* display) {
    const Atom name = XInternAtom(display, "Num Lock", True);
    Bool on = False;
    if (name == None || !XkbGetNamedIndicator(display, name, nullptr, &on, nullptr, nullptr)) return std::nullopt;
    return on != False;
}

}  // namespace

std::optional<bool> X11NumLock() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr) return std::nullopt;  // not on X11
    if (Display* display = x11->display()) return NumLockIndicator(display);
    // A toolkit that talks to the server without Xlib lends no display: ask on a connection of
    // our own. The state is asked for rarely (start, activation, the NumLock key).
    Display* own = XOpenDisplay(nullptr);
    if (own == nullptr) return std::nullopt;
    const std::optional<bool> on = NumLockIndicator(own);
    XCloseDisplay(own);
    return on;
}

}  // namespace quillane
