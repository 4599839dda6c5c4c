// What the window's one-step undo of its last command (Program Output or New) brings back.
#pragma once

#include "core/shape/program_writers.h"
#include "qt/program_file.h"

#include <string>

namespace quillane {

// What the window knows of a pane's text beside the text itself. The window owns one per pane:
// Open sets it, Save reads the encoding and clears `Unsaved`, every change of the text sets
// `Unsaved` (an empty pane has nothing to lose), New and the examples start it afresh.
struct PaneFile {
    TextEncoding Encoding = TextEncoding::Utf8;  // of the file the text was opened from
    bool Unsaved = false;                        // changed since it was opened or saved
};

enum class UndoableCommand { ProgramOutput, New };

struct PaneSnapshot {
    std::string Text;  // CR LF lines, as the pane gives it
    PaneFile File;
};

// Both panes and the generator's state as they were before the command.
struct WindowSnapshot {
    UndoableCommand Command = UndoableCommand::ProgramOutput;
    PaneSnapshot Points;
    PaneSnapshot Program;
    GeneratorState State;
};

}  // namespace quillane
