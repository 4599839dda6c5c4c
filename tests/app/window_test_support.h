// Helpers for driving the main window in tests: a clean settings store, answering modal boxes.
#pragma once

#include "app/main_window.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLabel;
class QToolBar;

namespace quillane {
class PlotView;
class ProgramPane;
class StatusPanels;
}  // namespace quillane

namespace quillane::testing {

// Removes every stored setting of the program (the test's own settings folder).
void ClearSettings();
// Writes one value, as an earlier run would have left it.
void StoreSetting(const QString& key, const QString& value);
// The stored text of a key, or a null string when absent.
QString StoredSetting(const QString& key);

// A shown main window, ready for input.
std::unique_ptr<MainWindow> OpenWindow();

// Gives the window the shape of a finished "Program Output" (lead 12.7, diameters 30 and 27,
// Z from 17.7 down to -80), so that both plots draw.
void GiveShape(MainWindow& window);

// A pane's text as it holds it: CR LF line ends.
QString PaneText(const ProgramPane* pane);

template <typename T>
T* Find(QObject* root, const QString& name) {
    return root->findChild<T*>(name);
}

// The main window as every test function starts with it: opened afresh on clean settings, its
// panes, plots and bars found by their names. A test class derives from it; its init() and
// cleanup() run around each test function, and a class with more to set up has its own init()
// that calls openWindow() first.
class WindowFixture : public QObject {
    Q_OBJECT
protected:
    // Opens the window and finds its widgets; a failure fails the current test function.
    void openWindow();
    void closeWindow() { window_.reset(); }

    std::unique_ptr<MainWindow> window_;
    ProgramPane* a_ = nullptr;   // txtDataA, the point data
    ProgramPane* b_ = nullptr;   // txtDataB, the standard program
    PlotView* plot1_ = nullptr;  // Picture1, the point graphic
    PlotView* plot2_ = nullptr;  // Picture2, the cutting graphic
    QLabel* readout_ = nullptr;  // Picture3
    QToolBar* toolBar_ = nullptr;
    StatusPanels* status_ = nullptr;

private slots:
    void init() { openWindow(); }
    void cleanup() { closeWindow(); }
};

// Runs `inside` once the next modal dialog is shown (from a timer, as the dialog's own event
// loop runs).
void WhenModal(const std::function<void(QWidget*)>& inside);

// What a message box said before the test closed it.
struct SeenMessage {
    bool Seen = false;
    QString Title;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    int Buttons = 0;
};

// Watches for the next modal message box, records it and presses its OK button (or `press`).
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(QMessageBox::StandardButton press = QMessageBox::Ok);
    ~MessageBoxAnswerer();
    const SeenMessage& seen() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

// Watches for the next modal file dialog and lets `answer` fill it in and accept or reject it.
class FileDialogAnswerer {
public:
    explicit FileDialogAnswerer(std::function<void(QFileDialog*)> answer);
    ~FileDialogAnswerer();
    bool seen() const;
    // Folder and filters as the dialog showed them.
    QString directory() const;
    QStringList nameFilters() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace quillane::testing
