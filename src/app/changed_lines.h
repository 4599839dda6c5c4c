// Which lines of a pane changed since its plot last read it, gathered edit by edit.
#pragma once

namespace quillane {

struct ChangedLines {
    bool All = false;  // not known line by line (the whole text was replaced): read it all again
    int First = 0;     // the first changed line
    int Before = 0;    // how many lines from First the change covered in the text last read
    int After = 0;     // how many lines they are now

    bool none() const { return !All && Before == 0 && After == 0; }
    // Adds one edit that turned `before` lines from `first` (line numbers of the text before
    // this edit) into `after` lines; the record then covers both, as one span of lines.
    void add(int first, int before, int after);
};

}  // namespace quillane
