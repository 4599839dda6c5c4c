// Program and shape files: Open (menu, dropped file, command line), the shape files of the
// command line opened and saved in the window, and the recent-files lists of the File menu.
#include "app/file_dialogs.h"
#include "app/main_window.h"
#include "app/program_pane.h"
#include "app/program_view.h"
#include "app/shape_dialog.h"
#include "app/status_panels.h"
#include "core/numeric/data_error.h"
#include "core/shape/shape_file.h"
#include "qt/file_saving.h"
#include "qt/program_file.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>

#include <string>

namespace quillane {
namespace {

// A file above this many bytes is loaded only when the user says so.
constexpr qint64 kLargeFile = 64LL * 1024 * 1024;
// No shape file comes near this; a larger file is not one.
constexpr qint64 kLargestShapeFile = 1024 * 1024;

QString Native(const QString& path) { return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()); }

void ShowFileError(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("FileErrorBox"));
    box.exec();
}

bool AllowLargeFile(QWidget* parent, const QString& path, qint64 size, const QString& caption) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Open"),
                    QStringLiteral("\"%1\" is %2.").arg(Native(path), QLocale().formattedDataSize(size)),
                    QMessageBox::Open | QMessageBox::Cancel, parent);
    box.setObjectName(QStringLiteral("LargeFileBox"));
    box.setInformativeText(
        QStringLiteral("Open it into \"%1\"? A text this large takes a while and much memory.").arg(caption));
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Open;
}

// "&1 /path/file.NC": the number is the access key; an ampersand of the path shows as one.
QString RecentEntryText(int n, const QString& path) {
    QString shown = QDir::toNativeSeparators(path);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(n).arg(shown);
}

}  // namespace

void MainWindow::openProgram() {
    ProgramView* view = currentView() != nullptr ? currentView() : points_;
    QFileDialog dialog(this, QStringLiteral("Open"), DialogFolder(rememberedFolder_));
    dialog.setObjectName(QStringLiteral("FileOpenProgram"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(ProgramFileFilters());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty()) return;
    openProgramFileInto(view, dialog.selectedFiles().constFirst());
}

bool MainWindow::openProgramFile(const QString& path) {
    return openProgramFileInto(currentView() != nullptr ? currentView() : points_, path);
}

void MainWindow::openCommandLineFiles(const QStringList& paths) {
    if (!paths.isEmpty()) openProgramFileInto(points_, paths.at(0));
    if (paths.size() > 1) openProgramFileInto(program_, paths.at(1));
}

bool MainWindow::openProgramFileInto(ProgramView* view, const QString& path) {
    const QString caption = view->pane()->caption();
    const QFileInfo info(path);
    if (info.isFile() && info.size() > kLargeFile && !AllowLargeFile(this, path, info.size(), caption)) return false;
    const ReadResult read = ReadWholeFile(path);
    if (!read.Ok) {
        ShowFileError(this, QStringLiteral("Open error"),
                      QStringLiteral("Could not open \"%1\":\n%2").arg(Native(path), read.Error));
        recentPrograms_.remove(path);
        fillRecentMenus();
        return false;
    }
    if (!mayDiscard(view, QStringLiteral("opening \"%1\"").arg(info.fileName()))) return false;
    const DecodedProgram decoded = DecodeProgramFile(read.Bytes);
    // One change of the pane: the plot redraws once.
    view->setText(decoded.Text.toStdString());
    fileOf(view) = {decoded.Encoding, false};
    showUnsavedMarks();
    rememberedFolder_ = QDir::toNativeSeparators(info.absolutePath());
    recentPrograms_.add(path);
    fillRecentMenus();
    QString said = QStringLiteral("Opened \"%1\" into \"%2\"").arg(Native(path), caption);
    if (decoded.Encoding == TextEncoding::Latin1) {
        said += QStringLiteral(", read as Latin-1 (it is not UTF-8); Save writes it back as Latin-1");
    }
    statusBar_->showMessage(said, kStatusMessageMs);
    return true;
}

void MainWindow::openShape() {
    QFileDialog dialog(this, QStringLiteral("Open Shape"), DialogFolder(shapeFolder_));
    dialog.setObjectName(QStringLiteral("ShapeOpen"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(ShapeFileFilters());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty()) return;
    openShapeFile(dialog.selectedFiles().constFirst());
}

bool MainWindow::openShapeFile(const QString& path) {
    const auto refuse = [this, &path](const QString& reason) {
        ShowFileError(this, QStringLiteral("Open Shape error"),
                      QStringLiteral("Could not open the shape \"%1\":\n%2").arg(Native(path), reason));
        return false;
    };
    if (QFileInfo(path).isFile() && QFileInfo(path).size() > kLargestShapeFile) {
        recentShapes_.remove(path);
        fillRecentMenus();
        return refuse(QStringLiteral("Too large for a shape file (%1 bytes)").arg(QFileInfo(path).size()));
    }
    const ReadResult read = ReadWholeFile(path);
    if (!read.Ok) {
        recentShapes_.remove(path);
        fillRecentMenus();
        return refuse(read.Error);
    }
    ShapeFile file;
    ShapeData shape = generator_.Shape;
    try {
        file = ParseShapeFile(std::string_view(read.Bytes.constData(), static_cast<std::size_t>(read.Bytes.size())),
                              Native(path).toStdString());
        // The record as "Program Output" would read these boxes; a number beyond the range is
        // refused here rather than at the next run.
        ReadShapeBoxes(file.Boxes, shape);
    } catch (const ShapeFileError& e) {
        return refuse(QString::fromStdString(e.what()));
    } catch (const DataError& e) {
        return refuse(QString::fromStdString(e.what()));
    }
    // Nothing is generated: the record and the dialog's options are filled, as if typed.
    generator_.Shape = shape;
    ensureShapeDialog();
    shapeDialog_->setOutputOptions(OptionsFor(file, shapeDialog_->outputOptions()));
    // Undoing the last Program Output would now also undo the opened shape.
    forgetUndo();
    shapeFolder_ = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    recentShapes_.add(path);
    fillRecentMenus();
    // The plots follow the record (the point graphic draws from its start point).
    replotNonEmptyPanes();
    statusBar_->showMessage(
        QStringLiteral("Opened the shape \"%1\": Data Input shows it, Program Output generates it").arg(Native(path)),
        kStatusMessageMs);
    return true;
}

void MainWindow::saveShapeAs() {
    if (!generator_.Shape.DimensionsSet) {
        ShowFileError(this, QStringLiteral("Save Shape"),
                      QStringLiteral("There is no shape yet: describe one with Data Input and Program Output, "
                                     "or open a shape file."));
        return;
    }
    SaveFileDialog dialog(this, QStringLiteral("Save Shape As"), DialogFolder(shapeFolder_));
    dialog.setObjectName(QStringLiteral("ShapeSave"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(ShapeFileFilters());
    dialog.setDefaultSuffix(QStringLiteral("toml"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty()) return;
    saveShapeFile(dialog.selectedFiles().constFirst());
}

bool MainWindow::saveShapeFile(const QString& path) {
    // The record as the next Data Input shows it, with the dialog's output options.
    const OutputOptions options = shapeDialog_ != nullptr ? shapeDialog_->outputOptions() : OutputOptions{};
    const std::string text = ShapeFileText(ShapeToBoxes(generator_.Shape), options);
    const SaveResult result = SaveFileAtomically(path, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    if (!result.Ok) {
        showSaveError(QStringLiteral("Could not save \"%1\":\n%2").arg(Native(path), result.Error));
        return false;
    }
    shapeFolder_ = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    recentShapes_.add(path);
    fillRecentMenus();
    statusBar_->showMessage(QStringLiteral("Saved the shape \"%1\"").arg(Native(path)), kStatusMessageMs);
    return true;
}

void MainWindow::fillRecentMenus() {
    const auto fill = [this](QMenu* menu, const RecentFiles& recent, auto open) {
        menu->clear();
        int n = 0;
        for (const QString& path : recent.paths()) {
            QAction* entry = menu->addAction(RecentEntryText(++n, path));
            entry->setData(path);
            connect(entry, &QAction::triggered, this, [this, open, path] { (this->*open)(path); });
        }
        menu->setEnabled(n > 0);
    };
    fill(actions_.RecentPrograms, recentPrograms_, &MainWindow::openProgramFile);
    fill(actions_.RecentShapes, recentShapes_, &MainWindow::openShapeFile);
}

void MainWindow::readFileSettings() {
    shapeFolder_ = settings_.get(QStringLiteral("ShapePathName"), QString());
    recentPrograms_.read(settings_);
    recentShapes_.read(settings_);
    fillRecentMenus();
}

void MainWindow::writeFileSettings() {
    settings_.save(QStringLiteral("ShapePathName"), shapeFolder_);
    recentPrograms_.write(settings_);
    recentShapes_.write(settings_);
}

}  // namespace quillane
