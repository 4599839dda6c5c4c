// What the shape dialog and the About box need from the window that owns the program panes.
#pragma once

#include "core/shape/program_writers.h"

#include <string>

namespace quillane {

class ProgramPanes {
public:
    virtual ~ProgramPanes() = default;
    // The record, CutSpanZ and PassCounter that "Program Output" works on.
    virtual GeneratorState& generatorState() = 0;
    // Pane texts with CR LF line ends.
    virtual std::string pointDataText() const = 0;
    virtual std::string standardProgramText() const = 0;
    // Replaces the pane texts; each pane whose text changes is replotted.
    virtual void showProgramTexts(const std::string& pointText, const std::string& programText) = 0;
    // Replots each pane that holds text.
    virtual void replotNonEmptyPanes() = 0;
};

}  // namespace quillane
