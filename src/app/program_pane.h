// A program pane: an NC text editor that shows by its colour whether it is the current pane.
// It holds the program text itself, UTF-8 with CR LF line ends, and lets it be read in place.
#pragma once

#include "app/changed_lines.h"

#include <Qsci/qsciscintilla.h>

#include <QPair>

#include <string_view>

class QTimer;

namespace quillane {

class ProgramPane : public QsciScintilla {
    Q_OBJECT
public:
    ProgramPane(const QString& objectName, const QString& caption, QWidget* parent = nullptr);

    // The name shown in the status bar while this pane has the focus, and over the empty pane.
    QString caption() const { return caption_; }

    // The text as the pane holds it (CR LF line ends, UTF-8), read in place: valid until the
    // next change of the text.
    std::string_view programText() const;
    // The text from byte `from` on where it lies, as a view of the whole text whose bytes before
    // `from` are not the text's (a reader of it reads none of them): the buffer is split where
    // the caret types, and reading it whole joins the two parts, moving all that follows the
    // caret on every key.
    std::string_view programTextFrom(std::size_t from) const;
    // The first `length` bytes of the text where they lie: the buffer is not rearranged while the
    // caret's split lies after them.
    std::string_view programTextTo(std::size_t length) const;
    // Bytes of the text, without reading it.
    std::size_t textLength() const;
    bool isEmpty() const;
    // Replaces the whole text (any line ends become CR LF) and forgets the undo steps; the
    // change signal fires only when the text really changes.
    void replaceText(std::string_view text);

    // The selection as the clipboard takes it, with '\n' line ends.
    QString selectedPlainText() const;
    // Selects the whole text and returns it as the clipboard takes it.
    QString selectWholeText();
    // Replaces the selection (or inserts at the caret) by `text`, its line ends made CR LF.
    void replaceSelection(const QString& text);

    // The 0-based line of the caret.
    int caretLine() const;
    // Puts the caret at the start of a line and brings it into view.
    void putCaretOn(int line);
    // The line nearest to a point of the viewport.
    int lineNearest(const QPoint& viewportPoint) const;
    // How many whole lines the pane shows at once.
    int linesShown() const;

    // Lights up lines first to last behind the text (the current pass), or none.
    void lightLines(int first, int last);
    void clearLitLines();
    // The first and last lit line, {-1, -1} when none is lit.
    QPair<int, int> litLines() const;

    // The lines changed since the last call (everything when the whole text was replaced).
    ChangedLines takeChangedLines();

    // Keeps the pane's font and current colour as the lexer's defaults.
    void setLexer(QsciLexer* lexer = nullptr) override;

    // The editor's own edits, each signalled as one change once it is done.
    void append(const QString& text) override;
    void clear() override;
    void cut() override;
    void insert(const QString& text) override;
    void insertAt(const QString& text, int line, int index) override;
    void paste() override;
    void redo() override;
    void removeSelectedText() override;
    void setText(const QString& text) override;
    void undo() override;

signals:
    void gotFocus();
    void insertKeyPressed();
    // The text changed: once per edit (a key, a paste, an undo, a replaced text), after it.
    void edited();
    // The caret moved by the user's hand or by an edit.
    void caretMoved();

protected:
    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    QByteArray fromMimeData(const QMimeData* source, bool& rectangular) const override;
    QMimeData* toMimeData(const QByteArray& text, bool rectangular) const override;

private:
    // An edit of ours, or an event that may edit: the change and caret signals wait for its end,
    // so a replaced selection (a deletion and an insertion) is one change.
    class Operation;

    void showAsCurrent(bool current);
    void modified(int position, int length, int type);
    void settleEdit();
    void beginOperation();
    void endOperation();
    void fitLineNumbers();

    QString caption_;
    QColor paper_;
    int depth_ = 0;             // operations under way
    bool textChanged_ = false;  // since the outermost operation began
    long caret_ = 0;            // the caret's position as last signalled
    QTimer* lateChange_;        // a change from outside any operation, signalled once it is done
    ChangedLines changedLines_;
    // The edit the editor is making, told before it is made: how many lines it adds is known
    // once it is done (by the next edit, or when the operation ends).
    struct PendingEdit {
        bool Active = false;
        int Line = 0;      // where it starts
        int LastLine = 0;  // the last line it touches in the text before it
        bool Insert = false;
        long LinesBefore = 0;  // the text's lines before it
    };
    PendingEdit pending_;
    // The lines lit as the current pass, as last lit; not known once the text was replaced. An
    // edit in the lit lines leaves them Loose: the markers lie somewhere in First to Last, some
    // lines may have lost theirs and one may carry two (lines joined).
    struct LitLines {
        bool Known = false;
        int First = 0;
        int Last = -1;
        bool Loose = false;
    };
    LitLines lit_;
    int lineNumberDigits_ = 0;
};

// The fixed-pitch face of the panes: a CJK-capable monospace where installed, else the
// system's fixed font; 12 points.
QFont ProgramPaneFont();

}  // namespace quillane
