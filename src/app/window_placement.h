// The main window's remembered rectangle: read, written, converted and kept on screen.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace quillane {

class SettingsStore;

// Outer window rectangle (frame, caption and menu bar included), in twips.
struct WindowPlacement {
    float Left = 1000;
    float Top = 1000;
    float Width = 12000;
    float Height = 8000;
    bool operator==(const WindowPlacement&) const = default;
};

// Each key that is absent, or whose text is not a finite number, gives its default.
WindowPlacement ReadPlacement(const SettingsStore& store);
void WritePlacement(SettingsStore& store, const WindowPlacement& placement);

QRect PlacementToPixels(const WindowPlacement& placement, double twipsPerPixelX, double twipsPerPixelY);
WindowPlacement PixelsToPlacement(const QRect& frame, double twipsPerPixelX, double twipsPerPixelY);

// Smallest window that still shows its panes and plots usable, in pixels.
inline constexpr QSize kMinimumWindowSize{400, 300};

// A rectangle the window can really take on these screens. Its size is brought between
// kMinimumWindowSize and the available area of the screen that holds most of it (the first
// screen when none does): a stored size of 0 would give a window that is never shown, and one
// of millions of pixels gigabytes of memory. A window whose caption then cannot be reached on
// any screen is centred on the first screen. A rectangle that needs none of it comes back as it was.
QRect BringIntoView(const QRect& frame, const QList<QRect>& availableScreens);

}  // namespace quillane
