// A program pane: an NC text editor that shows by its colour whether it is the current pane.
#pragma once

#include <QPlainTextEdit>

namespace quillane {

class ProgramPane : public QPlainTextEdit {
    Q_OBJECT
public:
    ProgramPane(const QString& objectName, const QString& caption, QWidget* parent = nullptr);

    // The name shown in the status bar while this pane has the focus.
    QString caption() const { return caption_; }

    // Replaces the whole text; the change signal fires only when the text really changes.
    void replaceText(const QString& text);

    // Selects the whole text and returns it.
    QString selectWholeText();

signals:
    void gotFocus();
    void insertKeyPressed();

protected:
    bool event(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void showAsCurrent(bool current);

    QString caption_;
};

// The fixed-pitch face of the panes: a CJK-capable monospace where installed, else the
// system's fixed font; 12 points.
QFont ProgramPaneFont();

}  // namespace quillane
