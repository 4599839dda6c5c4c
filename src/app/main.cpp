// Starts the desktop program.
#include "app/main_window.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillane"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLANE_VERSION));
    quillane::MainWindow window;
    window.show();
    return QApplication::exec();
}
