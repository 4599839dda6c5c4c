// Never losing an edit: which pane holds text not saved since it changed, the marks that show
// it, and the question before such a text would go (Exit, or a file opened over it).
#include "app/main_window.h"
#include "app/program_pane.h"
#include "app/program_view.h"
#include "app/status_panels.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QPushButton>

namespace quillane {
namespace {

const QString kTitle = QStringLiteral("Quillane  Ver. 1.10");
const QString kUnsavedMark = QStringLiteral(" *");

}  // namespace

PaneFile& MainWindow::fileOf(const ProgramView* view) { return view == points_ ? pointsFile_ : programFile_; }

const PaneFile& MainWindow::fileOf(const ProgramView* view) const {
    return view == points_ ? pointsFile_ : programFile_;
}

bool MainWindow::unsaved(int pane) const { return (pane == 0 ? pointsFile_ : programFile_).Unsaved; }

TextEncoding MainWindow::encoding(int pane) const { return (pane == 0 ? pointsFile_ : programFile_).Encoding; }

void MainWindow::paneTextChanged(ProgramView* view) {
    // Any change of a pane, by the user or a command, ends what the window could undo: a
    // command that keeps its undo remembers it again after its own changes.
    forgetUndo();
    PaneFile& file = fileOf(view);
    const bool unsavedNow = !view->empty();  // an empty pane has nothing to lose
    if (file.Unsaved != unsavedNow) {
        file.Unsaved = unsavedNow;
        showUnsavedMarks();
    }
}

QString MainWindow::paneCaption(const ProgramView* view) const {
    return view->pane()->caption() + (fileOf(view).Unsaved ? kUnsavedMark : QString());
}

void MainWindow::showUnsavedMarks() {
    const bool any = pointsFile_.Unsaved || programFile_.Unsaved;
    setWindowTitle(any ? kTitle + kUnsavedMark : kTitle);
    // The status bar names the focused pane: its caption follows the pane's mark.
    const QString shown = statusBar_->currentName();
    for (const ProgramView* view : {points_, program_}) {
        const QString caption = view->pane()->caption();
        if (shown == caption || shown == caption + kUnsavedMark) statusBar_->setCurrentName(paneCaption(view));
    }
}

bool MainWindow::mayDiscard(ProgramView* view, const QString& beforeWhat) {
    if (!fileOf(view).Unsaved) return true;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillane"),
                    QStringLiteral("\"%1\" holds text that has not been saved.").arg(view->pane()->caption()),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("UnsavedBox"));
    box.setInformativeText(QStringLiteral("Save it before %1?").arg(beforeWhat));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Save:
            return savePane(view);  // a cancelled or failed save keeps the text
        case QMessageBox::Discard:
            return true;
        default:
            return false;
    }
}

void MainWindow::closeEvent(QCloseEvent* e) {
    for (ProgramView* view : {points_, program_}) {
        if (!mayDiscard(view, QStringLiteral("closing"))) {
            e->ignore();
            return;
        }
    }
    closeOtherForms();
    writeSettings();
    e->accept();
}

}  // namespace quillane
