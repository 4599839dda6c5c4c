// Starts the desktop program: `quillane [POINTS.nc [PROGRAM.nc]]` opens the files into the point
// data and standard program panes.
#include "app/main_window.h"
#include "app/startup.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillane"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLANE_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Thread-cutting programs for grooves of any cross-section."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("points"), QStringLiteral("File to open into the point data pane."),
                                 QStringLiteral("[POINTS.nc"));
    parser.addPositionalArgument(QStringLiteral("program"),
                                 QStringLiteral("File to open into the standard program pane."),
                                 QStringLiteral("[PROGRAM.nc]]"));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 2) {
        std::fprintf(stderr, "quillane: at most two files, one per pane\n%s", qPrintable(parser.helpText()));
        return 2;
    }

    const std::unique_ptr<quillane::MainWindow> window = quillane::OpenMainWindow();
    if (!window) {
        return 0;
    }
    window->show();
    window->openCommandLineFiles(files);
    return QApplication::exec();
}
