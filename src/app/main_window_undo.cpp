// The window's one-step undo of its last Program Output or New. A pane's own Undo reverses the
// pane's edits; this brings back both panes, the pass counter and the record at once, as they
// were before the command, as long as neither pane has changed since.
#include "app/main_window.h"
#include "app/program_view.h"

#include <QAction>

#include <utility>

namespace quillane {

WindowSnapshot MainWindow::snapshot(UndoableCommand command, std::string pointText, std::string programText) const {
    WindowSnapshot s;
    s.Command = command;
    s.Points = {std::move(pointText), pointsFile_};
    s.Program = {std::move(programText), programFile_};
    s.State = generator_;
    return s;
}

void MainWindow::rememberForUndo(WindowSnapshot before) {
    undoable_ = std::move(before);
    actions_.UndoOutput->setEnabled(undoable_->Command == UndoableCommand::ProgramOutput);
    actions_.UndoNew->setEnabled(undoable_->Command == UndoableCommand::New);
}

void MainWindow::forgetUndo() {
    undoable_.reset();
    // Called on every change of a pane (every key): only a real change touches the actions.
    if (actions_.UndoOutput->isEnabled()) actions_.UndoOutput->setEnabled(false);
    if (actions_.UndoNew->isEnabled()) actions_.UndoNew->setEnabled(false);
}

void MainWindow::undoProgramOutput() { undoCommand(UndoableCommand::ProgramOutput); }

void MainWindow::undoNew() { undoCommand(UndoableCommand::New); }

void MainWindow::undoCommand(UndoableCommand command) {
    if (!undoable_ || undoable_->Command != command) return;
    WindowSnapshot before = std::move(*undoable_);
    forgetUndo();
    if (command == UndoableCommand::ProgramOutput) {
        generator_ = before.State;  // the record, CutSpanZ and the counter
    } else {
        generator_.PassCounter = before.State.PassCounter;  // New touched nothing else
    }
    restorePane(points_, std::move(before.Points));
    restorePane(program_, std::move(before.Program));
    showUnsavedMarks();
}

void MainWindow::restorePane(ProgramView* view, PaneSnapshot pane) {
    if (view->text() != pane.Text) {
        view->setText(pane.Text);  // replots with the restored record
    } else if (!view->empty()) {
        replot(view);  // the same text, but the record it is drawn with may differ
    }
    fileOf(view) = pane.File;
}

}  // namespace quillane
