// What the window's file dialogs share.
#include "app/file_dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

namespace quillane {

QString DialogFolder(const QString& remembered) {
    if (remembered.isEmpty() || remembered == QLatin1String("\\") || !QFileInfo(remembered).isDir()) {
        return QDir::homePath();
    }
    return remembered;
}

QStringList ProgramFileFilters() {
    return {QStringLiteral("Main Files(*.MIN)"), QStringLiteral("NC Files(*.NC)"), QStringLiteral("All Files(*.*)")};
}

QStringList ShapeFileFilters() { return {QStringLiteral("Shape Files(*.toml)"), QStringLiteral("All Files(*.*)")}; }

void SaveFileDialog::accept() {
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

}  // namespace quillane
