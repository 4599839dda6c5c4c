// The X and Z under the mouse over a plot, as the read-out box in the tool bar shows them.
#include "core/ncplot/plot_readout.h"

#include "core/numeric/number_text.h"

namespace quillane {
// A single-precision value holds seven digits; it is rounded as the number those digits show.
std::string ReadoutNumber(float value) { return FormatPattern(NumericValue(GeneralNumberText(value)), "###0.000"); }

std::string ReadoutText(float x, float y) {
    const float diameter = -2.0f * y;
    return "  X" + ReadoutNumber(diameter) + "  Z" + ReadoutNumber(x);
}

}  // namespace quillane
