// The status bar: name of the current pane or plot, insert and num-lock state, date and time.
#pragma once

#include <QStatusBar>

class QLabel;
class QTimer;

namespace quillane {

class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget* parent = nullptr);

    void setCurrentName(const QString& name);
    QString currentName() const;
    void setInsertMode(bool on);
    void setNumLock(bool on);
    // The cross-section check's one-line summary beside the name; empty: the panel is hidden.
    void setCheckSummary(const QString& summary);
    QString checkSummary() const;

signals:
    // The summary was clicked: the check's report is wanted.
    void checkReportRequested();

public:
    // The texts of the five panels, left to right.
    QStringList panelTexts() const;

private:
    void showClock();

    QLabel* name_;
    QLabel* check_;
    QLabel* insert_;
    QLabel* numLock_;
    QLabel* date_;
    QLabel* time_;
    QTimer* clock_;
};

// The proportional face of the status bar, 9.75 points.
QFont StatusBarFont();

}  // namespace quillane
