// Cuts a plot's drawing to the picture it is painted into, and gathers what a picture shows while
// the plot draws.
#pragma once

#include "core/ncplot/drawing.h"

#include <vector>

namespace quillane {

// The drawing as a picture of `width` x `height` pixels shows it: solid lines cut at its edges,
// and lines, dots and rings that lie wholly outside it left out. Thousands of moves that start
// off the picture and end on it then become the same few segments, which the thinning can tell
// apart from the rest. Dotted lines stay whole, as cutting one would shift its dots; texts always
// stay. A drawing without a scale is left as it is.
void ClipToPicture(Drawing& drawing, double width, double height);

// The drawing a `width` x `height` picture shows (ClipToPicture, then ThinForPainting), gathered
// from the batches a plot hands its drain while it draws: each batch is cut and thinned as it
// comes, and what the batches keep is thinned once more at the end. An item that a later one
// covers is left out either way, so the result is that of the whole drawing, which is never
// held: a long program draws millions of items.
class ShownPicture {
public:
    ShownPicture(double width, double height) : width_(width), height_(height) {}
    // A drain: takes the items of `pending` and empties it.
    void Take(Drawing& pending);
    // What Take keeps of `pending` (cut and thinned; `pending` is cut in place), for a batch that
    // is made ready elsewhere and then handed to TakeShown, in drawing order with the others.
    static Drawing ShownOf(Drawing& pending, double width, double height);
    void TakeShown(const Drawing& shown);
    // The picture's drawing, with `rest` the drawing the plot returned.
    Drawing Finish(Drawing rest);

private:
    double width_, height_;
    std::vector<Primitive> kept_;  // what the batches so far keep, in drawing order
};

}  // namespace quillane
