// The main window's remembered rectangle: read, written, converted and kept on screen.
#pragma once

#include <QList>
#include <QRect>

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

// A window whose caption cannot be reached on any screen is centred on the first screen and
// shrunk to fit it; any other rectangle comes back unchanged.
QRect BringIntoView(const QRect& frame, const QList<QRect>& availableScreens);

}  // namespace quillane
