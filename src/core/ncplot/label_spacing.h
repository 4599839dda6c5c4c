// Which plot labels to paint so that none runs into another at the size the picture is shown.
#pragma once

#include "core/ncplot/drawing.h"
#include "core/ncplot/view_transform.h"

#include <vector>

namespace quillane {

// A label as it would be painted: where the drawing puts it and the box it covers in pixels.
struct LabelSpot {
    DrawPoint At;
    PixelBox Box;
};

// Whether two boxes come closer than `gap` pixels to each other (boxes that only touch, at a
// gap of 0, do not overlap).
bool BoxesOverlap(const PixelBox& a, const PixelBox& b, double gap);

// Which of `labels` (in drawing order) to paint. Labels of one axis share a drawing coordinate:
// the Z labels along the bottom their y, the diameter labels down the side their x. The first
// and last of each row are decided first, then labels that belong to no axis (the unit "mm"),
// then the first and last of each column, then the rest in drawing order; each is painted
// unless it would come closer than `gap` to one already painted. So the ends of every axis stay
// (where a column's end meets a row's end or a unit in a corner, the column's gives way) and a
// small picture shows every second or fifth label instead of a smear of digits.
std::vector<bool> LabelsToPaint(const std::vector<LabelSpot>& labels, double gap);

}  // namespace quillane
