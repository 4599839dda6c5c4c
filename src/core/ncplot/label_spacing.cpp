// Which plot labels to paint so that none runs into another at the size the picture is shown.
#include "core/ncplot/label_spacing.h"

#include <algorithm>
#include <cstddef>
#include <unordered_map>

namespace quillane {

bool BoxesOverlap(const PixelBox& a, const PixelBox& b, double gap) {
    return a.Left < b.Left + b.Width + gap && b.Left < a.Left + a.Width + gap && a.Top < b.Top + b.Height + gap &&
           b.Top < a.Top + a.Height + gap;
}

std::vector<bool> LabelsToPaint(const std::vector<LabelSpot>& labels, double gap) {
    const std::size_t n = labels.size();
    // Per shared coordinate: how many labels have it, and the first and last of them. A plot's
    // labels number a few dozen, but a picture may hold thousands; this stays linear.
    struct Axis {
        std::size_t Count = 0;
        std::size_t First = 0;
        std::size_t Last = 0;
    };
    std::unordered_map<float, Axis> rows, columns;
    const auto note = [](std::unordered_map<float, Axis>& axes, float key, std::size_t i) {
        Axis& axis = axes[key];
        if (axis.Count++ == 0) axis.First = i;
        axis.Last = i;
    };
    for (std::size_t i = 0; i < n; ++i) {
        note(rows, labels[i].At.Y, i);
        note(columns, labels[i].At.X, i);
    }
    // Where two axes meet in a corner the ends of a row win over those of a column: the Z axis
    // keeps its first value and its unit. A lone label (the diameters' unit) comes after the
    // ends of both: each diameter label says what it is ("X37"), a unit alone does not.
    enum class Rank { RowEnd, ColumnEnd, Alone, Inner };
    std::vector<Rank> rank(n, Rank::Inner);
    for (std::size_t i = 0; i < n; ++i) {
        const Axis& row = rows[labels[i].At.Y];
        const Axis& column = columns[labels[i].At.X];
        if (row.Count > 1) {
            if (row.First == i || row.Last == i) rank[i] = Rank::RowEnd;
        } else if (column.Count > 1) {
            if (column.First == i || column.Last == i) rank[i] = Rank::ColumnEnd;
        } else {
            rank[i] = Rank::Alone;
        }
    }
    std::vector<bool> paint(n, false);
    std::vector<std::size_t> painted;
    for (const Rank pass : {Rank::RowEnd, Rank::ColumnEnd, Rank::Alone, Rank::Inner}) {
        for (std::size_t i = 0; i < n; ++i) {
            if (rank[i] != pass) continue;
            const bool clear = std::none_of(painted.begin(), painted.end(), [&](std::size_t j) {
                return BoxesOverlap(labels[i].Box, labels[j].Box, gap);
            });
            if (!clear) continue;
            paint[i] = true;
            painted.push_back(i);
        }
    }
    return paint;
}

}  // namespace quillane
