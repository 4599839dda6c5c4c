// The main window: the two program panes.
#pragma once

#include <QMainWindow>

class QPlainTextEdit;

namespace quillane {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

private:
    QPlainTextEdit* txtDataA_;
    QPlainTextEdit* txtDataB_;
};

}  // namespace quillane
