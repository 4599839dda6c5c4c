// The commands of the menus and tool bar: New, Save, Exit, the edits and the example programs.
#include "app/main_window.h"

#include "app/file_dialogs.h"
#include "app/pane_text.h"
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "app/program_view.h"
#include "app/status_panels.h"
#include "core/shape/example_programs.h"
#include "qt/file_saving.h"
#include "qt/program_file.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <optional>
#include <utility>

namespace quillane {
namespace {

void ShowExclamation(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.exec();
}

// The clipboard is emptied before it takes the new text, so an empty selection leaves it
// empty rather than keeping what was there.
void PutOnClipboard(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

}  // namespace

ProgramView* MainWindow::currentView() const {
    // The focus widget of this window stays put while a menu is open.
    QWidget* focused = focusWidget();
    for (ProgramView* view : {points_, program_}) {
        if (focused == view->pane()) return view;
    }
    return nullptr;
}

namespace {

ProgramPane* PaneOf(const ProgramView* view) { return view != nullptr ? view->pane() : nullptr; }

}  // namespace

void MainWindow::newProgram() {
    // New asks nothing: what it clears is kept for Edit > Undo New.
    WindowSnapshot before = snapshot(UndoableCommand::New, points_->text(), program_->text());
    generator_.PassCounter = 1;
    points_->setText({});
    program_->setText({});
    points_->clearPlot();
    program_->clearPlot();
    // A fresh start measures afresh: the plots' measure mode ends with the measurements.
    actions_.Measure->setChecked(false);
    pointsFile_ = {};
    programFile_ = {};
    showUnsavedMarks();
    rememberForUndo(std::move(before));
}

void MainWindow::undoKey() {
    // Ctrl+Z is the pane's own undo in a pane; elsewhere it undoes the window's last command.
    if (currentView() != nullptr) {
        undo();
    } else if (undoable_) {
        undoCommand(undoable_->Command);
    }
}

void MainWindow::undo() {
    if (ProgramPane* pane = PaneOf(currentView())) {
        pane->undo();
    }
}

void MainWindow::cut() {
    if (ProgramPane* pane = PaneOf(currentView())) {
        PutOnClipboard(pane->selectedPlainText());
        pane->replaceSelection(QString());
    }
}

void MainWindow::copy() {
    if (ProgramPane* pane = PaneOf(currentView())) {
        PutOnClipboard(pane->selectedPlainText());
    }
}

void MainWindow::copyAll() {
    if (ProgramPane* pane = PaneOf(currentView())) {
        PutOnClipboard(pane->selectWholeText());
    }
}

void MainWindow::paste() {
    if (ProgramPane* pane = PaneOf(currentView())) {
        // With no text on the clipboard this still replaces the selection: it is deleted.
        pane->replaceSelection(QGuiApplication::clipboard()->text());
    }
}

void MainWindow::exitProgram() { close(); }

void MainWindow::save() {
    ProgramView* view = currentView();
    if (view == nullptr) {
        ShowExclamation(this, QStringLiteral("Save error"), QStringLiteral("Please select Text box. "));
        return;
    }
    savePane(view);
}

bool MainWindow::savePane(ProgramView* view) {
    if (view->empty()) {
        ShowExclamation(this, QStringLiteral("Save error"), QStringLiteral("No data !! "));
        return false;
    }

    SaveFileDialog dialog(this, QStringLiteral("Save"), DialogFolder(rememberedFolder_));
    dialog.setObjectName(QStringLiteral("FileOpen"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(ProgramFileFilters());
    dialog.selectFile(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty()) {
        return false;
    }
    const QString path = dialog.selectedFiles().constFirst();
    // Only a folder that exists is remembered (a desktop's own dialog may let any name through).
    if (QFileInfo(QFileInfo(path).absolutePath()).isDir()) {
        rememberedFolder_ = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    }

    // Written back in the encoding the pane's file came in; a text that Latin-1 cannot hold
    // (a character typed since) is written as UTF-8 rather than lose the character.
    PaneFile& file = fileOf(view);
    const std::string text = view->text();
    QByteArray bytes;
    bool fellBackToUtf8 = false;
    if (file.Encoding == TextEncoding::Latin1) {
        if (std::optional<QByteArray> latin1 = EncodeProgramFile(QString::fromStdString(text), TextEncoding::Latin1)) {
            bytes = std::move(*latin1);
        } else {
            fellBackToUtf8 = true;
        }
    }
    if (bytes.isEmpty()) {
        bytes.reserve(static_cast<qsizetype>(text.size()) + 2);
        bytes.append(text.data(), static_cast<qsizetype>(text.size())).append("\r\n");
    }
    const SaveResult result = SaveFileAtomically(path, bytes);
    if (!result.Ok) {
        showSaveError(QStringLiteral("Could not save \"%1\":\n%2").arg(QDir::toNativeSeparators(path), result.Error));
        return false;
    }
    file.Unsaved = false;
    if (fellBackToUtf8) file.Encoding = TextEncoding::Utf8;
    showUnsavedMarks();
    recentPrograms_.add(path);
    fillRecentMenus();
    // No extension is added to a name typed without one: the status bar says where it went.
    QString said = QStringLiteral("Saved \"%1\"").arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    if (QFileInfo(path).suffix().isEmpty()) said += QStringLiteral(" (no extension: the name is kept as typed)");
    if (fellBackToUtf8) said += QStringLiteral(" as UTF-8: the text holds characters Latin-1 cannot");
    statusBar_->showMessage(said, kStatusMessageMs);
    return true;
}

void MainWindow::showSaveError(const QString& text) { ShowExclamation(this, QStringLiteral("Save error"), text); }

void MainWindow::loadFanucExample() {
    program_->setText(FanucExampleProgram());
    points_->setText({});
    points_->clearPlot();
    // An example text can always be had again: nothing to save.
    pointsFile_ = {};
    programFile_ = {};
    showUnsavedMarks();
}

void MainWindow::loadTrvStandardExample() {
    program_->setText(TrvStandardExampleProgram());
    points_->setText({});
    points_->clearPlot();
    // An example text can always be had again: nothing to save.
    pointsFile_ = {};
    programFile_ = {};
    showUnsavedMarks();
}

void MainWindow::loadTrvMacroExample() {
    points_->setText(TrvMacroMainProgram());
    points_->clearPlot();
    program_->setText(TrvMacroSubProgram());
    // An example text can always be had again: nothing to save.
    pointsFile_ = {};
    programFile_ = {};
    showUnsavedMarks();
}

}  // namespace quillane
