// The commands of the menus and tool bar: New, Save, Exit, the edits and the example programs.
#include "app/main_window.h"

#include "app/pane_text.h"
#include "app/plot_view.h"
#include "app/program_pane.h"
#include "app/program_view.h"
#include "core/shape/example_programs.h"
#include "qt/file_saving.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextDocumentFragment>

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

// The stored default "\" names no usable folder here: the Save dialog starts in the user's
// home folder then, and when the remembered folder is gone.
QString DialogFolder(const QString& remembered) {
    if (remembered == QLatin1String("\\") || !QFileInfo(remembered).isDir()) {
        return QDir::homePath();
    }
    return remembered;
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
    generator_.PassCounter = 1;
    points_->setText({});
    program_->setText({});
    points_->clearPlot();
    program_->clearPlot();
}

void MainWindow::undo() {
    if (ProgramPane* pane = PaneOf(currentView())) {
        pane->undo();
    }
}

void MainWindow::cut() {
    if (ProgramPane* pane = PaneOf(currentView())) {
        QTextCursor cursor = pane->textCursor();
        PutOnClipboard(cursor.selection().toPlainText());
        cursor.removeSelectedText();
        pane->setTextCursor(cursor);
    }
}

void MainWindow::copy() {
    if (ProgramPane* pane = PaneOf(currentView())) {
        PutOnClipboard(pane->textCursor().selection().toPlainText());
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
        QTextCursor cursor = pane->textCursor();
        cursor.insertText(QGuiApplication::clipboard()->text());
        pane->setTextCursor(cursor);
    }
}

void MainWindow::exitProgram() { close(); }

void MainWindow::save() {
    ProgramPane* pane = PaneOf(currentView());
    if (pane == nullptr) {
        ShowExclamation(this, QStringLiteral("Save error"), QStringLiteral("Please select Text box. "));
        return;
    }
    const QString paneText = pane->toPlainText();
    if (paneText.isEmpty()) {
        ShowExclamation(this, QStringLiteral("Save error"), QStringLiteral("No data !! "));
        return;
    }

    QFileDialog dialog(this, QStringLiteral("Save"), DialogFolder(rememberedFolder_));
    dialog.setObjectName(QStringLiteral("FileOpen"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(
        {QStringLiteral("Main Files(*.MIN)"), QStringLiteral("NC Files(*.NC)"), QStringLiteral("All Files(*.*)")});
    dialog.selectFile(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty()) {
        return;
    }
    const QString path = dialog.selectedFiles().constFirst();
    rememberedFolder_ = QDir::toNativeSeparators(QFileInfo(path).absolutePath());

    const std::string program = ToProgramText(paneText) + "\r\n";
    const SaveResult result =
        SaveFileAtomically(path, QByteArray(program.data(), static_cast<qsizetype>(program.size())));
    if (!result.Ok) {
        showSaveError(QStringLiteral("Could not save \"%1\":\n%2").arg(QDir::toNativeSeparators(path), result.Error));
    }
}

void MainWindow::showSaveError(const QString& text) { ShowExclamation(this, QStringLiteral("Save error"), text); }

void MainWindow::loadFanucExample() {
    program_->setText(FanucExampleProgram());
    points_->setText({});
    points_->clearPlot();
}

void MainWindow::loadTrvStandardExample() {
    program_->setText(TrvStandardExampleProgram());
    points_->setText({});
    points_->clearPlot();
}

void MainWindow::loadTrvMacroExample() {
    points_->setText(TrvMacroMainProgram());
    points_->clearPlot();
    program_->setText(TrvMacroSubProgram());
}

}  // namespace quillane
