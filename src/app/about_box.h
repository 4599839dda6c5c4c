// The About box: the program's name and version, and a way to the system information.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace quillane {

class SystemInfoSystem;

class AboutBox : public QDialog {
    Q_OBJECT
public:
    AboutBox(const SystemInfoSystem& system, QWidget* parent = nullptr);

    // The message shown when no viewer can be started.
    static QString NoViewerMessage();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void startSysInfo();

    const SystemInfoSystem& system_;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdSysInfo_ = nullptr;
};

// Shows the About box modally. True when it was closed with "O   K" (or Enter or Esc): the
// owner then redraws the plots of its non-empty panes; the frame's close box gives false.
bool ShowAboutBox(QWidget* owner, const SystemInfoSystem& system);

}  // namespace quillane
