// What the window's file dialogs share: the folder they start in, the filter lists, and the
// Save dialog that refuses a folder that does not exist.
#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>

namespace quillane {

// The stored default "\" names no usable folder here: a dialog starts in the user's home folder
// then, and when the remembered folder is gone.
QString DialogFolder(const QString& remembered);

// "Main Files(*.MIN)", "NC Files(*.NC)", "All Files(*.*)": Save's list, and Open's.
QStringList ProgramFileFilters();
// "Shape Files(*.toml)", "All Files(*.*)".
QStringList ShapeFileFilters();

// The Save dialog. The folder it saves into must exist: a name typed into a folder that does
// not is refused here, with the reason, and the dialog stays open for another choice.
class SaveFileDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override;
};

}  // namespace quillane
