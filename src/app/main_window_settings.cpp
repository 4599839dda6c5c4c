// Start-up and shut-down of the main window: its placement and the Save folder between runs.
#include "app/main_window.h"

#include <QGuiApplication>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>

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
    storedPlacement_ = ReadPlacement(settings_);
    rememberedFolder_ = settings_.get(QStringLiteral("OpenPathName"), QStringLiteral("\\"));
    applyPlacement();
}

void MainWindow::applyPlacement() {
    const QRect stored = PlacementToPixels(storedPlacement_, twipsPerPixelX(), twipsPerPixelY());
    placedFrame_ = BringIntoView(stored, AvailableScreenAreas());
    if (placedFrame_ != stored) {
        // Moved into view: what gets written back is where the window really is.
        storedPlacement_ = PixelsToPlacement(placedFrame_, twipsPerPixelX(), twipsPerPixelY());
    }
    // The stored rectangle is the outer one. The frame's size is known only once the window
    // is shown, so the client size is corrected then (showEvent).
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    move(placedFrame_.topLeft());
    resize(placedFrame_.size() - frameExtra);
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
    if (!placementPending_ || !isVisible() || isMaximized() || isMinimized()) {
        return;
    }
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    if (frameExtra == QSize(0, 0)) {
        return;
    }
    placementPending_ = false;
    resize(placedFrame_.size() - frameExtra);
    move(placedFrame_.topLeft());
}

void MainWindow::writeSettings() {
    if (!isMinimized()) {
        const QRect frame = frameGeometry();
        // An unmoved window writes back exactly what it read: pixels would round the twips.
        const WindowPlacement placement =
            frame == placedFrame_ ? storedPlacement_ : PixelsToPlacement(frame, twipsPerPixelX(), twipsPerPixelY());
        WritePlacement(settings_, placement);
    }
    settings_.save(QStringLiteral("OpenPathName"), rememberedFolder_);
    settings_.flush();
}

}  // namespace quillane
