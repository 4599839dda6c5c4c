// Cuts a plot's drawing to the picture it is painted into, and gathers what a picture shows while
// the plot draws.
#include "core/ncplot/picture_clip.h"

#include "core/ncplot/plot_thinning.h"
#include "core/ncplot/view_transform.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace quillane {
namespace {

// How far past the picture's edge an item may reach and still be cut at the edge rather than
// kept whole: more than a line's width, so nothing that shows changes.
constexpr double kMarginPixels = 4;

// The part of the line from (x0, y0) to (x1, y1) inside `box` (Liang-Barsky); false when none is.
bool ClipLine(double& x0, double& y0, double& x1, double& y1, const PixelBox& box) {
    double from = 0, to = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {x0 - box.Left, box.Left + box.Width - x0, y0 - box.Top, box.Top + box.Height - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            from = std::max(from, t);
        } else {
            to = std::min(to, t);
        }
    }
    if (from > to) return false;
    const double ax = x0 + from * dx, ay = y0 + from * dy;
    x1 = x0 + to * dx;
    y1 = y0 + to * dy;
    x0 = ax;
    y0 = ay;
    return true;
}

}  // namespace

void ClipToPicture(Drawing& drawing, double width, double height) {
    if (!drawing.Scale) return;
    const ViewTransform map(*drawing.Scale, PixelBox{0, 0, width, height});
    const PixelBox box{-kMarginPixels, -kMarginPixels, width + 2 * kMarginPixels, height + 2 * kMarginPixels};
    const auto inside = [&](double x, double y, double reach) {
        return x + reach >= box.Left && x - reach <= box.Left + box.Width && y + reach >= box.Top &&
               y - reach <= box.Top + box.Height;
    };
    // In place: the drawing of a long program is the largest thing the command holds.
    std::size_t kept = 0;
    // An item kept where it lies is not written again: that would store the whole drawing anew.
    const auto keep = [&](const Primitive& item) {
        if (&drawing.Items[kept] != &item) drawing.Items[kept] = item;
        ++kept;
    };
    for (std::size_t i = 0; i < drawing.Items.size(); ++i) {
        const Primitive& item = drawing.Items[i];
        const double x = map.DeviceX(static_cast<double>(item.At.X));
        const double y = map.DeviceY(static_cast<double>(item.At.Y));
        if (!std::isfinite(x) || !std::isfinite(y)) {
            keep(item);  // the painter's own clipping deals with these
            continue;
        }
        switch (item.Kind) {
            case PrimitiveKind::Text:
                keep(item);
                break;
            case PrimitiveKind::Dot:
                if (inside(x, y, 0)) keep(item);
                break;
            case PrimitiveKind::Circle: {
                const double reach = std::fabs(static_cast<double>(item.Radius) * map.PixelsPerUnitX());
                if (!std::isfinite(reach) || inside(x, y, reach)) keep(item);
                break;
            }
            case PrimitiveKind::Line: {
                const double toX = map.DeviceX(static_cast<double>(item.To.X));
                const double toY = map.DeviceY(static_cast<double>(item.To.Y));
                double x0 = x, y0 = y, x1 = toX, y1 = toY;
                if (!std::isfinite(toX) || !std::isfinite(toY) || (inside(x, y, 0) && inside(toX, toY, 0))) {
                    keep(item);  // most lines lie wholly inside: nothing to cut
                } else if (!ClipLine(x0, y0, x1, y1, box)) {
                    // wholly outside: it paints nothing
                } else if (item.Style == LineStyle::Dotted) {
                    keep(item);
                } else {
                    Primitive cut = item;
                    cut.At = DrawPoint(map.DrawingX(x0), map.DrawingY(y0));
                    cut.To = DrawPoint(map.DrawingX(x1), map.DrawingY(y1));
                    keep(cut);
                }
                break;
            }
        }
    }
    drawing.Items.resize(kept);
}

Drawing ShownPicture::ShownOf(Drawing& pending, double width, double height) {
    ClipToPicture(pending, width, height);
    return ThinForPainting(pending, width, height);
}

void ShownPicture::TakeShown(const Drawing& shown) {
    kept_.insert(kept_.end(), shown.Items.begin(), shown.Items.end());
}

void ShownPicture::Take(Drawing& pending) {
    TakeShown(ShownOf(pending, width_, height_));
    pending.ClearItems();
}

Drawing ShownPicture::Finish(Drawing rest) {
    TakeShown(ShownOf(rest, width_, height_));
    rest.ClearItems();
    rest.Items = std::move(kept_);
    kept_.clear();
    return ThinForPainting(rest, width_, height_);
}

}  // namespace quillane
