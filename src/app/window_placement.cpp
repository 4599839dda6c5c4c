// The main window's remembered rectangle: read, written, converted and kept on screen.
#include "app/window_placement.h"

#include "core/numeric/number_text.h"
#include "qt/settings_store.h"

#include <algorithm>
#include <cmath>

namespace quillane {
namespace {

float ReadTwips(const SettingsStore& store, const QString& key, float defaultValue) {
    const QString text = store.get(key, QString());
    bool ok = false;
    const float value = text.trimmed().toFloat(&ok);
    return ok && std::isfinite(value) ? value : defaultValue;
}

void WriteTwips(SettingsStore& store, const QString& key, float value) {
    store.save(key, QString::fromStdString(GeneralNumberText(value)));
}

// Enough of the caption to grab it with the mouse.
constexpr int kGrabWidth = 60;
constexpr int kGrabHeight = 20;

}  // namespace

WindowPlacement ReadPlacement(const SettingsStore& store) {
    const WindowPlacement defaults;
    WindowPlacement p;
    p.Left = ReadTwips(store, QStringLiteral("MainLeft"), defaults.Left);
    p.Top = ReadTwips(store, QStringLiteral("MainTop"), defaults.Top);
    p.Width = ReadTwips(store, QStringLiteral("MainWidth"), defaults.Width);
    p.Height = ReadTwips(store, QStringLiteral("MainHeight"), defaults.Height);
    return p;
}

void WritePlacement(SettingsStore& store, const WindowPlacement& placement) {
    WriteTwips(store, QStringLiteral("MainLeft"), placement.Left);
    WriteTwips(store, QStringLiteral("MainTop"), placement.Top);
    WriteTwips(store, QStringLiteral("MainWidth"), placement.Width);
    WriteTwips(store, QStringLiteral("MainHeight"), placement.Height);
}

QRect PlacementToPixels(const WindowPlacement& p, double twipsPerPixelX, double twipsPerPixelY) {
    // Clamp before converting: a stored 1e30 must not overflow an int.
    const auto px = [](float twips, double perPixel) {
        const double v = std::round(static_cast<double>(twips) / perPixel);
        return static_cast<int>(std::clamp(v, -1.0e6, 1.0e6));
    };
    return {px(p.Left, twipsPerPixelX), px(p.Top, twipsPerPixelY), px(p.Width, twipsPerPixelX),
            px(p.Height, twipsPerPixelY)};
}

WindowPlacement PixelsToPlacement(const QRect& frame, double twipsPerPixelX, double twipsPerPixelY) {
    const auto twips = [](int pixels, double perPixel) { return static_cast<float>(std::round(pixels * perPixel)); };
    return {twips(frame.x(), twipsPerPixelX), twips(frame.y(), twipsPerPixelY), twips(frame.width(), twipsPerPixelX),
            twips(frame.height(), twipsPerPixelY)};
}

QRect BringIntoView(const QRect& frame, const QList<QRect>& availableScreens) {
    if (availableScreens.isEmpty()) {
        return QRect(frame.topLeft(), frame.size().expandedTo(kMinimumWindowSize));
    }
    const auto area = [](const QRect& r) { return static_cast<qint64>(r.width()) * r.height(); };
    const QRect grown(frame.topLeft(), frame.size().expandedTo(kMinimumWindowSize));
    const QRect* home = &availableScreens.front();
    qint64 most = 0;
    for (const QRect& screen : availableScreens) {
        const qint64 seen = area(grown.intersected(screen));
        if (seen > most) {
            most = seen;
            home = &screen;
        }
    }
    const auto fit = [](QSize size, const QRect& screen) {
        return size.expandedTo(kMinimumWindowSize).boundedTo(screen.size());
    };
    const QRect sized(frame.topLeft(), fit(frame.size(), *home));
    const QRect caption(sized.left(), sized.top(), std::max(sized.width(), kGrabWidth), kGrabHeight);
    for (const QRect& screen : availableScreens) {
        const QRect seen = caption.intersected(screen);
        if (seen.width() >= kGrabWidth && seen.height() >= kGrabHeight) {
            return sized;
        }
    }
    const QRect& first = availableScreens.front();
    QRect moved(QPoint(), fit(frame.size(), first));
    moved.moveCenter(first.center());
    return moved;
}

}  // namespace quillane
