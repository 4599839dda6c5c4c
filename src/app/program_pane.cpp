// A program pane: an NC text editor that shows by its colour whether it is the current pane.
#include "app/program_pane.h"

#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextDocumentFragment>

namespace quillane {

QFont ProgramPaneFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QStringList families = QFontDatabase::families();
    for (const char* name : {"MS Gothic", "Noto Sans Mono CJK JP", "Noto Sans Mono CJK SC", "DejaVu Sans Mono"}) {
        if (families.contains(QLatin1String(name))) {
            font = QFont(QLatin1String(name));
            break;
        }
    }
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setWeight(QFont::Normal);
    font.setPointSizeF(12);
    return font;
}

ProgramPane::ProgramPane(const QString& objectName, const QString& caption, QWidget* parent)
    : QPlainTextEdit(parent), caption_(caption) {
    setObjectName(objectName);
    setAccessibleName(caption);
    setFont(ProgramPaneFont());
    // NC programs are line by line: no wrapping, scroll bars when the text needs them.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab walks on to the plots and the other pane, as in the rest of the window.
    setTabChangesFocus(true);
    setContextMenuPolicy(Qt::CustomContextMenu);
    showAsCurrent(false);
}

void ProgramPane::replaceText(const QString& text) {
    if (text == toPlainText()) {
        return;
    }
    setPlainText(text);
}

QString ProgramPane::selectWholeText() {
    selectAll();
    return textCursor().selection().toPlainText();
}

bool ProgramPane::event(QEvent* e) {
    // Ctrl+A is the window's Copy All: leave it to the window's shortcut instead of letting
    // the editor claim it for its own select-all.
    if (e->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(e);
        if (key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_A)) {
            e->ignore();
            return true;
        }
    }
    return QPlainTextEdit::event(e);
}

void ProgramPane::focusInEvent(QFocusEvent* e) {
    showAsCurrent(true);
    QPlainTextEdit::focusInEvent(e);
    emit gotFocus();
}

void ProgramPane::focusOutEvent(QFocusEvent* e) {
    // A pop-up (the Edit menu opened on this pane) takes the focus only for a moment.
    if (e->reason() != Qt::PopupFocusReason) {
        showAsCurrent(false);
    }
    QPlainTextEdit::focusOutEvent(e);
}

void ProgramPane::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Insert && e->modifiers() == Qt::NoModifier) {
        emit insertKeyPressed();
        return;
    }
    // Shift+Enter would break the line inside the editor's own line: in an NC text every break
    // is a line of its own, as the plots count lines.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && (e->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent plain(e->type(), e->key(), e->modifiers() & ~Qt::ShiftModifier, e->text(), e->isAutoRepeat(),
                        static_cast<quint16>(e->count()));
        QPlainTextEdit::keyPressEvent(&plain);
        e->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void ProgramPane::insertFromMimeData(const QMimeData* source) {
    // Pasted or dropped line and paragraph separators become line breaks, as in a loaded text.
    if (source->hasText()) {
        const QString text = source->text();
        if (text.contains(QChar::LineSeparator) || text.contains(QChar::ParagraphSeparator)) {
            QString lines = text;
            lines.replace(QChar::LineSeparator, QLatin1Char('\n'))
                .replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
            textCursor().insertText(lines);
            ensureCursorVisible();
            return;
        }
    }
    QPlainTextEdit::insertFromMimeData(source);
}

void ProgramPane::showAsCurrent(bool current) {
    QPalette p = palette();
    const QPalette app = QApplication::palette(this);
    p.setColor(QPalette::Base, current ? app.color(QPalette::Base) : app.color(QPalette::Button));
    setPalette(p);
}

}  // namespace quillane
