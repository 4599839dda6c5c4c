// A program pane: an NC text editor that shows by its colour whether it is the current pane.
// It holds the program text itself, UTF-8 with CR LF line ends, and lets it be read in place.
#include "app/program_pane.h"

#include "app/nc_lexer.h"
#include "app/pane_text.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qscilexer.h>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

namespace quillane {
namespace {

// QScintilla's accessible text interface counts the characters from the start of the text to
// the caret on every caret move and every edit, once anything has asked for the pane's
// accessible interface, and Qt asks on every focus change, screen reader or not: in a large
// program that is milliseconds per key. While no assistive technology listens, the pane
// answers as a plain editable-text widget; with one, QScintilla's full interface serves it.
QAccessibleInterface* PlainPaneAccessible(const QString& className, QObject* object) {
    if (QAccessible::isActive() || className != QLatin1String("quillane::ProgramPane")) return nullptr;
    auto* widget = qobject_cast<QWidget*>(object);
    return widget != nullptr ? new QAccessibleWidget(widget, QAccessible::EditableText) : nullptr;
}

// The lines of the current pass, behind the text.
const QColor PassLinesColour(255, 222, 173);
constexpr int kPassMarker = 0;
// Lines of loose pass markers sorted out one by one; more are cleared line by line all at once.
constexpr int kMostLooseLines = 10000;
constexpr int kLineNumberMargin = 0;
constexpr int kMarginCount = 5;

}  // namespace

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

class ProgramPane::Operation {
public:
    explicit Operation(ProgramPane* pane) : pane_(pane) { pane_->beginOperation(); }
    ~Operation() { pane_->endOperation(); }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

private:
    ProgramPane* pane_;
};

ProgramPane::ProgramPane(const QString& objectName, const QString& caption, QWidget* parent)
    : QsciScintilla(parent), caption_(caption), lateChange_(new QTimer(this)) {
    // Installed after QScintilla's own factory (its base constructor installs that), so asked first.
    static const bool plainAccessible = (QAccessible::installFactory(PlainPaneAccessible), true);
    Q_UNUSED(plainAccessible);
    setObjectName(objectName);
    setAccessibleName(caption);
    // The buffer is the program text itself: UTF-8, every line ended by CR LF, whether typed,
    // pasted or dropped.
    setUtf8(true);
    setEolMode(EolWindows);
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 1UL);
    // NC programs are line by line: no wrapping, scroll bars when the text needs them.
    setWrapMode(WrapNone);
    SendScintilla(SCI_SETSCROLLWIDTH, 1UL);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1UL);
    const QFont font = ProgramPaneFont();
    QWidget::setFont(font);
    QsciScintilla::setFont(font);
    // Line numbers in the one margin; the pass is lit behind its lines, not marked in a margin.
    setMarginsFont(font);
    setMarginLineNumbers(kLineNumberMargin, true);
    for (int margin = 1; margin < kMarginCount; ++margin) setMarginWidth(margin, 0);
    fitLineNumbers();
    markerDefine(QsciScintilla::Background, kPassMarker);
    setMarkerBackgroundColor(PassLinesColour, kPassMarker);
    const QPalette app = QApplication::palette(this);
    setSelectionBackgroundColor(app.color(QPalette::Highlight));
    setSelectionForegroundColor(app.color(QPalette::HighlightedText));
    setContextMenuPolicy(Qt::CustomContextMenu);
    // The editor's own line and case commands (Ctrl+L cuts a line, Ctrl+U lowers the case, ...)
    // would rewrite a program at a slip of the finger: the pane keeps the plain text keys.
    for (const QsciCommand::Command command :
         {QsciCommand::LineDelete, QsciCommand::LineCut, QsciCommand::LineCopy, QsciCommand::LineTranspose,
          QsciCommand::LineDuplicate, QsciCommand::SelectionDuplicate, QsciCommand::SelectionLowerCase,
          QsciCommand::SelectionUpperCase}) {
        if (QsciCommand* bound = standardCommands()->find(command)) {
            bound->setKey(0);
            bound->setAlternateKey(0);
        }
    }

    // The pane hears of an edit before it is made, never after: the editor's own handling of
    // the after-notification counts the characters from the top of the text to the edit on
    // every key (for assistive technology, whether or not one listens), which in a 100 MB
    // program costs more than everything else a key does.
    SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE));
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int length, int, int, int, int, int, int) {
                modified(position, length, type);
            });
    // A change that came from outside any operation (a call into the editor not made through
    // this class) is signalled once the call is done, never from inside the editor's
    // notification.
    lateChange_->setSingleShot(true);
    lateChange_->setInterval(0);
    connect(lateChange_, &QTimer::timeout, this, [this] {
        beginOperation();
        endOperation();
    });
    // The same for a caret moved from outside: the editor tells of it while it paints.
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) {
        if (depth_ == 0 && SendScintilla(SCI_GETCURRENTPOS) != caret_) lateChange_->start();
    });
    setLexer(new NcLexer(this));
    showAsCurrent(false);
}

std::string_view ProgramPane::programText() const {
    const std::size_t length = textLength();
    if (length == 0) return {};
    return {static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER)), length};
}

std::string_view ProgramPane::programTextFrom(std::size_t from) const {
    const std::size_t length = textLength();
    if (from >= length) return programText();
    // All of it: the split moves to the start or to the end, whichever lies nearer the caret,
    // where the last edit left it.
    if (from == 0 && static_cast<std::size_t>(SendScintilla(SCI_GETCURRENTPOS)) > length / 2) return programText();
    // Where [from, length) lies contiguous; the view starts `from` bytes before, still within the
    // editor's own buffer (behind the part before the split, or at its start).
    const long at =
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), static_cast<long>(length - from));
    const char* tail = reinterpret_cast<const char*>(static_cast<std::intptr_t>(at));
    return {tail - from, length};
}

std::string_view ProgramPane::programTextTo(std::size_t length) const {
    length = std::min(length, textLength());
    if (length == 0) return {};
    const long at = SendScintilla(SCI_GETRANGEPOINTER, 0UL, static_cast<long>(length));
    return {reinterpret_cast<const char*>(static_cast<std::intptr_t>(at)), length};
}

std::size_t ProgramPane::textLength() const { return static_cast<std::size_t>(SendScintilla(SCI_GETLENGTH)); }

bool ProgramPane::isEmpty() const { return textLength() == 0; }

void ProgramPane::replaceText(std::string_view text) {
    const std::string lines = WithCrLfLineEnds(text);
    if (lines == programText()) return;
    const Operation op(this);
    SendScintilla(SCI_CLEARALL);
    if (!lines.empty()) SendScintilla(SCI_APPENDTEXT, lines.size(), lines.data());
    // As a newly loaded text: there is nothing to undo in it.
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    changedLines_.All = true;
}

QString ProgramPane::selectedPlainText() const {
    const auto start = static_cast<std::size_t>(SendScintilla(SCI_GETSELECTIONSTART));
    const auto end = static_cast<std::size_t>(SendScintilla(SCI_GETSELECTIONEND));
    return ToClipboardText(programText().substr(start, end - start));
}

QString ProgramPane::selectWholeText() {
    SendScintilla(SCI_SELECTALL);
    return ToClipboardText(programText());
}

void ProgramPane::replaceSelection(const QString& text) {
    const std::string lines = WithCrLfLineEnds(text.toStdString());
    const Operation op(this);
    // One undo step; added by length, so that a NUL in the text does not end it.
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_REPLACESEL, 0UL, "");
    if (!lines.empty()) SendScintilla(SCI_ADDTEXT, lines.size(), lines.data());
    SendScintilla(SCI_ENDUNDOACTION);
    SendScintilla(SCI_SCROLLCARET);
}

int ProgramPane::caretLine() const {
    return static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, SendScintilla(SCI_GETCURRENTPOS)));
}

void ProgramPane::putCaretOn(int line) {
    const Operation op(this);
    SendScintilla(SCI_GOTOLINE, static_cast<unsigned long>(line));
}

int ProgramPane::lineNearest(const QPoint& viewportPoint) const {
    const long position = SendScintilla(SCI_POSITIONFROMPOINT, static_cast<unsigned long>(viewportPoint.x()),
                                        static_cast<long>(viewportPoint.y()));
    return static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, position));
}

int ProgramPane::linesShown() const { return static_cast<int>(SendScintilla(SCI_LINESONSCREEN)); }

void ProgramPane::lightLines(int first, int last) {
    // Only the lines whose lighting changes are touched: clearing every line's marker walks the
    // whole text and repaints the whole pane, on every caret move.
    // Loose markers far apart are cleared by the walk over every line after all.
    if (lit_.Loose && std::max(lit_.Last, last) - std::min(lit_.First, first) > kMostLooseLines) lit_.Known = false;
    if (!lit_.Known) {
        SendScintilla(SCI_MARKERDELETEALL, kPassMarker);
        lit_ = {true, 0, -1, false};
    }
    if (lit_.Loose) {
        // Every line that may carry a marker is cleared of all it has, and the lit ones get one.
        const auto marked = [this](int line) {
            return (SendScintilla(SCI_MARKERGET, static_cast<unsigned long>(line)) & (1L << kPassMarker)) != 0;
        };
        const int from = first <= last ? std::min(lit_.First, first) : lit_.First;
        const int to = first <= last ? std::max(lit_.Last, last) : lit_.Last;
        for (int line = from; line <= to; ++line) {
            while (marked(line)) {
                SendScintilla(SCI_MARKERDELETE, static_cast<unsigned long>(line), static_cast<long>(kPassMarker));
            }
            if (line >= first && line <= last) {
                SendScintilla(SCI_MARKERADD, static_cast<unsigned long>(line), static_cast<long>(kPassMarker));
            }
        }
        lit_ = {true, first, last, false};
        return;
    }
    if (lit_.First == first && lit_.Last == last) return;
    const auto within = [](int line, int from, int to) { return line >= from && line <= to; };
    for (int line = lit_.First; line <= lit_.Last; ++line) {
        if (!within(line, first, last)) {
            SendScintilla(SCI_MARKERDELETE, static_cast<unsigned long>(line), static_cast<long>(kPassMarker));
        }
    }
    for (int line = first; line <= last; ++line) {
        if (!within(line, lit_.First, lit_.Last)) {
            SendScintilla(SCI_MARKERADD, static_cast<unsigned long>(line), static_cast<long>(kPassMarker));
        }
    }
    lit_ = {true, first, last, false};
}

void ProgramPane::clearLitLines() { lightLines(0, -1); }

QPair<int, int> ProgramPane::litLines() const {
    constexpr long mask = 1L << kPassMarker;
    const auto first = static_cast<int>(SendScintilla(SCI_MARKERNEXT, 0UL, mask));
    if (first < 0) return {-1, -1};
    const auto lines = static_cast<unsigned long>(SendScintilla(SCI_GETLINECOUNT));
    return {first, static_cast<int>(SendScintilla(SCI_MARKERPREVIOUS, lines - 1, mask))};
}

ChangedLines ProgramPane::takeChangedLines() {
    settleEdit();
    return std::exchange(changedLines_, ChangedLines{});
}

void ProgramPane::setLexer(QsciLexer* lexer) {
    if (lexer != nullptr) {
        lexer->setDefaultFont(font());
        lexer->setDefaultPaper(paper_);
        lexer->setPaper(paper_);
    }
    QsciScintilla::setLexer(lexer);
    setMarginsFont(font());
}

void ProgramPane::append(const QString& text) {
    const Operation op(this);
    QsciScintilla::append(text);
}

void ProgramPane::clear() {
    const Operation op(this);
    QsciScintilla::clear();
}

void ProgramPane::cut() {
    const Operation op(this);
    QsciScintilla::cut();
}

void ProgramPane::insert(const QString& text) {
    const Operation op(this);
    QsciScintilla::insert(text);
}

void ProgramPane::insertAt(const QString& text, int line, int index) {
    const Operation op(this);
    QsciScintilla::insertAt(text, line, index);
}

void ProgramPane::removeSelectedText() {
    const Operation op(this);
    QsciScintilla::removeSelectedText();
}

void ProgramPane::paste() {
    const Operation op(this);
    QsciScintilla::paste();
}

void ProgramPane::redo() {
    const Operation op(this);
    QsciScintilla::redo();
}

void ProgramPane::setText(const QString& text) {
    const Operation op(this);
    QsciScintilla::setText(text);
}

void ProgramPane::undo() {
    const Operation op(this);
    QsciScintilla::undo();
}

void ProgramPane::modified(int position, int length, int type) {
    const bool insert = (type & SC_MOD_BEFOREINSERT) != 0;
    if (!insert && (type & SC_MOD_BEFOREDELETE) == 0) return;
    settleEdit();  // the edit before this one is done
    const auto lineAt = [this](long at) {
        return static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(at)));
    };
    const int line = lineAt(position);
    pending_ = {true, line, insert ? line : lineAt(static_cast<long>(position) + length), insert,
                SendScintilla(SCI_GETLINECOUNT)};
    textChanged_ = true;
    if (depth_ == 0) lateChange_->start();
}

void ProgramPane::settleEdit() {
    if (!pending_.Active) return;
    pending_.Active = false;
    const PendingEdit& edit = pending_;
    const auto linesAdded = static_cast<int>(SendScintilla(SCI_GETLINECOUNT) - edit.LinesBefore);
    if (edit.Insert) {
        changedLines_.add(edit.Line, 1, 1 + linesAdded);
    } else {
        changedLines_.add(edit.Line, 1 - linesAdded, 1);
    }
    // The pass markers move with their lines. An edit that adds or removes no line leaves them
    // where they were, one after the lit lines too, one before them moves them all alike; one
    // in them leaves them between the first line either touches and the last lit line moved
    // along, sorted out when next lit (a marker removed on every line of a large text costs
    // more than a keystroke).
    if (linesAdded == 0 || lit_.First > lit_.Last || edit.Line > lit_.Last) return;
    if (edit.LastLine < lit_.First) {
        lit_.First += linesAdded;
        lit_.Last += linesAdded;
    } else {
        lit_.First = std::max(0, std::min(lit_.First, edit.Line) - 1);
        lit_.Last = std::max(lit_.Last + std::max(linesAdded, 0), edit.Line);
        lit_.Loose = true;
    }
}

void ProgramPane::beginOperation() { ++depth_; }

void ProgramPane::endOperation() {
    if (--depth_ > 0) return;
    settleEdit();
    if (textChanged_) {
        textChanged_ = false;
        lateChange_->stop();
        fitLineNumbers();
        emit edited();
    }
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    if (caret != caret_) {
        caret_ = caret;
        emit caretMoved();
    }
}

void ProgramPane::fitLineNumbers() {
    // Room for the widest line number and one digit more, so that the margin seldom grows.
    int digits = 1;
    for (long lines = SendScintilla(SCI_GETLINECOUNT); lines >= 10; lines /= 10) ++digits;
    digits = std::max(digits, 2) + 1;
    if (digits == lineNumberDigits_) return;
    lineNumberDigits_ = digits;
    setMarginWidth(kLineNumberMargin, QString(digits, QLatin1Char('9')));
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
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::InputMethod) {
        const Operation op(this);
        return QsciScintilla::event(e);
    }
    return QsciScintilla::event(e);
}

bool ProgramPane::viewportEvent(QEvent* e) {
    switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Drop: {
            const Operation op(this);
            return QsciScintilla::viewportEvent(e);
        }
        default:
            return QsciScintilla::viewportEvent(e);
    }
}

void ProgramPane::focusInEvent(QFocusEvent* e) {
    showAsCurrent(true);
    QsciScintilla::focusInEvent(e);
    emit gotFocus();
}

void ProgramPane::focusOutEvent(QFocusEvent* e) {
    // A pop-up (the Edit menu opened on this pane) takes the focus only for a moment.
    if (e->reason() != Qt::PopupFocusReason) {
        showAsCurrent(false);
    }
    QsciScintilla::focusOutEvent(e);
}

bool ProgramPane::focusNextPrevChild(bool next) {
    // Tab walks on to the plots and the other pane, as in the rest of the window.
    return QWidget::focusNextPrevChild(next);
}

void ProgramPane::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Insert && e->modifiers() == Qt::NoModifier) {
        emit insertKeyPressed();
        return;
    }
    QsciScintilla::keyPressEvent(e);
}

void ProgramPane::paintEvent(QPaintEvent* e) {
    QsciScintilla::paintEvent(e);
    if (!isEmpty()) return;
    // The empty pane names itself, in a muted colour where its first line would be.
    int left = static_cast<int>(SendScintilla(SCI_GETMARGINLEFT));
    for (int margin = 0; margin < kMarginCount; ++margin) {
        left += static_cast<int>(SendScintilla(SCI_GETMARGINWIDTHN, static_cast<unsigned long>(margin)));
    }
    const int height = static_cast<int>(SendScintilla(SCI_TEXTHEIGHT, 0UL));
    QPainter painter(viewport());
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(QRect(left, 0, viewport()->width() - left, height), Qt::AlignLeft | Qt::AlignVCenter, caption_);
}

QByteArray ProgramPane::fromMimeData(const QMimeData* source, bool& rectangular) const {
    const QByteArray text = QsciScintilla::fromMimeData(source, rectangular);
    const std::string lines =
        WithCrLfLineEnds(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    return {lines.data(), static_cast<qsizetype>(lines.size())};
}

QMimeData* ProgramPane::toMimeData(const QByteArray& text, bool rectangular) const {
    // The clipboard's plain text has '\n' line ends, as the window's Copy puts it there.
    const std::string lines = WithLfLineEnds(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    return QsciScintilla::toMimeData(QByteArray(lines.data(), static_cast<qsizetype>(lines.size())), rectangular);
}

void ProgramPane::showAsCurrent(bool current) {
    QPalette p = palette();
    const QPalette app = QApplication::palette(this);
    paper_ = current ? app.color(QPalette::Base) : app.color(QPalette::Button);
    p.setColor(QPalette::Base, paper_);
    setPalette(p);
    if (auto* nc = qobject_cast<NcLexer*>(lexer())) {
        nc->setBackground(paper_);
    } else if (QsciLexer* own = lexer()) {
        own->setPaper(paper_);
    } else {
        setPaper(paper_);
    }
}

}  // namespace quillane
