// Start-up and shut-down of the main window: its placement and the Save folder between runs.
#include "app/main_window.h"
#include "app/status_panels.h"
#include "app/twips.h"

#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

namespace quillane {
namespace {

QList<QRect> AvailableScreenAreas() {
    QList<QRect> areas;
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        areas.append(primary->availableGeometry());
    }
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen()) {
            areas.append(screen->availableGeometry());
        }
    }
    return areas;
}

}  // namespace

void MainWindow::readSettings() {
    // Settings that cannot be kept do not stop the program: they are read, used and not
    // written, and the user is told once.
    if (const QString problem = settings_.readProblem(); !problem.isEmpty()) {
        // The defaults are used, and the file is left as it is for the user to look at. The
        // box comes once the window is up, so that it has a window to stand on.
        const QString text = QStringLiteral("The settings could not be read from \"%1\":\n%2.")
                                 .arg(QDir::toNativeSeparators(settings_.fileName()), problem);
        QTimer::singleShot(0, this, [this, text] {
            QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillane"), text, QMessageBox::Ok, this);
            box.setObjectName(QStringLiteral("SettingsErrorBox"));
            box.setInformativeText(QStringLiteral("The defaults are used, and the file is left as it is."));
            box.exec();
        });
    } else if (!settings_.writable()) {
        statusBar_->setCurrentName(QStringLiteral("Settings cannot be saved: %1 is not writable")
                                       .arg(QDir::toNativeSeparators(settings_.folder())));
    }
    placement_.Stored = ReadPlacement(settings_);
    rememberedFolder_ = settings_.get(QStringLiteral("OpenPathName"), QStringLiteral("\\"));
    readFileSettings();
    applyPlacement();
}

void MainWindow::applyPlacement() {
    const QRect stored = PlacementToPixels(placement_.Stored, TwipsPerPixelX(this), TwipsPerPixelY(this));
    placement_.Frame = BringIntoView(stored, AvailableScreenAreas());
    if (placement_.Frame != stored) {
        // Moved into view: what gets written back is where the window really is.
        placement_.Stored = PixelsToPlacement(placement_.Frame, TwipsPerPixelX(this), TwipsPerPixelY(this));
    }
    // The stored rectangle is the outer one. The frame's size is known only once the window
    // is shown, so the client size is corrected then (showEvent).
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    move(placement_.Frame.topLeft());
    resize(placement_.Frame.size() - frameExtra);
}

void MainWindow::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    finishPlacement();
}

void MainWindow::moveEvent(QMoveEvent* e) {
    QMainWindow::moveEvent(e);
    finishPlacement();
}

void MainWindow::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    finishPlacement();
}

void MainWindow::finishPlacement() {
    // The window manager tells the size of its frame only some time after the window appears.
    // Once it is known, the client is sized so that the outer rectangle is the stored one;
    // otherwise every run would grow the window by its frame.
    if (!placement_.Pending || !isVisible() || isMaximized() || isMinimized()) {
        return;
    }
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    if (frameExtra == QSize(0, 0)) {
        return;
    }
    placement_.Pending = false;
    resize(placement_.Frame.size() - frameExtra);
    move(placement_.Frame.topLeft());
}

void MainWindow::writeSettings() {
    if (!settings_.writable()) return;
    if (!isMinimized()) {
        const QRect frame = frameGeometry();
        // An unmoved window writes back exactly what it read: pixels would round the twips.
        const WindowPlacement placement = frame == placement_.Frame
                                              ? placement_.Stored
                                              : PixelsToPlacement(frame, TwipsPerPixelX(this), TwipsPerPixelY(this));
        WritePlacement(settings_, placement);
    }
    settings_.save(QStringLiteral("OpenPathName"), rememberedFolder_);
    writePlotSettings();
    writeFileSettings();
    settings_.flush();
}

}  // namespace quillane
