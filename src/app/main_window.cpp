// The main window: the two program panes.
#include "app/main_window.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QWidget>

namespace quillane {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Quillane  Ver. 1.10"));
    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    txtDataA_ = new QPlainTextEdit(central);
    txtDataA_->setObjectName(QStringLiteral("txtDataA"));
    txtDataB_ = new QPlainTextEdit(central);
    txtDataB_->setObjectName(QStringLiteral("txtDataB"));
    layout->addWidget(txtDataA_);
    layout->addWidget(txtDataB_);
    setCentralWidget(central);
    resize(1000, 700);
}

}  // namespace quillane
