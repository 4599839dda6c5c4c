// Starts the desktop program.
#include "app/main_window.h"
#include "app/startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillane"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLANE_VERSION));
    const std::unique_ptr<quillane::MainWindow> window = quillane::OpenMainWindow();
    if (!window) {
        return 0;
    }
    window->show();
    return QApplication::exec();
}
