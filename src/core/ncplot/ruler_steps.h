// Where a ruler along a zoomed plot puts its marks: round steps over what is in view.
#pragma once

#include <vector>

namespace quillane {

// The smallest round step (1, 2 or 5 times a power of ten) that is at least `least`; 0 when
// `least` is not a positive finite number.
double RoundStepAtLeast(double least);

// The multiples of `step` from `low` to `high` (either order), lowest first, at most `most` of
// them (none when there would be more, or when `step` is not positive). Each is a whole number
// of steps, so 0.1 + 0.2 never shows as 0.30000000000000004.
std::vector<double> RulerMarks(double low, double high, double step, int most = 1000);

// Decimals a mark of `step` needs to be told from its neighbours: 0 for steps of 1 and more.
int StepDecimals(double step);

}  // namespace quillane
