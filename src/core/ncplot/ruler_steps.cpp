// Where a ruler along a zoomed plot puts its marks: round steps over what is in view.
#include "core/ncplot/ruler_steps.h"

#include <algorithm>
#include <cmath>

namespace quillane {

double RoundStepAtLeast(double least) {
    if (!(least > 0) || !std::isfinite(least)) return 0;
    double power = std::pow(10.0, std::floor(std::log10(least)));
    // log10 may land a hair below a power of ten: step back so that 1 x power is tried first.
    if (power > least) power /= 10;
    for (;;) {
        for (const double mantissa : {1.0, 2.0, 5.0}) {
            if (mantissa * power >= least) return mantissa * power;
        }
        power *= 10;
    }
}

std::vector<double> RulerMarks(double low, double high, double step, int most) {
    if (low > high) std::swap(low, high);
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(low) || !std::isfinite(high)) return {};
    const double first = std::ceil(low / step), last = std::floor(high / step);
    if (!(last - first + 1 <= most)) return {};
    std::vector<double> marks;
    for (double k = first; k <= last; ++k) {
        // A mark of 0.1 steps is k / 10 rather than k x 0.1: the nearest double to the value shown.
        // Adding 0 turns a -0 into 0, which shows without a sign.
        marks.push_back((step < 1 ? k / std::round(1 / step) : k * step) + 0.0);
    }
    return marks;
}

int StepDecimals(double step) {
    if (!(step > 0) || step >= 1) return 0;
    return static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
}

}  // namespace quillane
