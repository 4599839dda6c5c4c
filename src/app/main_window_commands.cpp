// The commands of the menus and tool bar: New, Save, Exit, the edits and the example programs.
#include "app/main_window.h"

#include "app/plot_view.h"
#include "app/program_pane.h"
#include "app/program_view.h"
#include "core/shape/example_programs.h"
#include "qt/file_saving.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

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

// The Save dialog. The folder it saves into must exist: a name typed into a folder that does
// not is refused here, with the reason, and the dialog stays open for another choice.
class SaveFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QString folder = QFileInfo(selectedFiles().value(0)).absolutePath();
        if (!selectedFiles().value(0).isEmpty() && !QFileInfo(folder).isDir()) {
            QMessageBox box(QMessageBox::Warning, QStringLiteral("Save"),
                            QStringLiteral("The folder \"%1\" does not exist.\nChoose a folder that exists.")
                                .arg(QDir::toNativeSeparators(folder)),
                            QMessageBox::Ok, this);
            box.setObjectName(QStringLiteral("MissingFolderBox"));
            box.exec();
            return;
        }
        QFileDialog::accept();
    }
};

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
    // A fresh start measures afresh: the plots' measure mode ends with the measurements.
    actions_.Measure->setChecked(false);
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
    ProgramPane* pane = PaneOf(currentView());
    if (pane == nullptr) {
        ShowExclamation(this, QStringLiteral("Save error"), QStringLiteral("Please select Text box. "));
        return;
    }
    if (pane->isEmpty()) {
        ShowExclamation(this, QStringLiteral("Save error"), QStringLiteral("No data !! "));
        return;
    }

    SaveFileDialog dialog(this, QStringLiteral("Save"), DialogFolder(rememberedFolder_));
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
    // Only a folder that exists is remembered (a desktop's own dialog may let any name through).
    if (QFileInfo(QFileInfo(path).absolutePath()).isDir()) {
        rememberedFolder_ = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    }

    // The pane's bytes as they are, and one CR LF.
    const std::string_view text = pane->programText();
    QByteArray program;
    program.reserve(static_cast<qsizetype>(text.size()) + 2);
    program.append(text.data(), static_cast<qsizetype>(text.size())).append("\r\n");
    const SaveResult result = SaveFileAtomically(path, program);
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
