// Which lines of a pane changed since its plot last read it, gathered edit by edit.
#include "app/changed_lines.h"

#include <algorithm>

namespace quillane {

void ChangedLines::add(int first, int before, int after) {
    if (All) return;
    if (none()) {
        First = first;
        Before = before;
        After = after;
        return;
    }
    // Both spans in the line numbers of the text before this edit: the recorded one covers
    // [First, First + After) there, standing for [First, First + Before) of the text last read.
    const int low = std::min(First, first);
    const int high = std::max(First + After, first + before);
    // Lines past the recorded span are shifted by what it added; lines before it are not.
    Before = high - low - After + Before;
    After = high - low - before + after;
    First = low;
}

}  // namespace quillane
