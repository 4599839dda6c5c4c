// The colouring of NC words in a program pane: a QScintilla lexer over the core's classifier.
#include "app/nc_lexer.h"

#include "app/program_pane.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QPalette>

#include <array>
#include <cstdint>
#include <cstring>

namespace quillane {
namespace {

struct Inks {
    std::array<QRgb, NcStyleCount> Light;  // on a light background (white, the button face)
    std::array<QRgb, NcStyleCount> Dark;   // on a dark one
};

// In NcStyle order. Words that steer the machine (G and M codes, axes, feed) have clear hues of
// similar weight; numbering and comments step back, but keep a contrast that reads on both the
// white and the grey background of a pane.
constexpr Inks StyleInks{
    {{
        0x000000,  // Default
        0x666666,  // SequenceNumber
        0x9c2a2a,  // ProgramNumber
        0x1f4fb0,  // GCode
        0x7b3a9e,  // MCode
        0x006a6a,  // AxisWord
        0x8f5a00,  // Feed
        0x4a5530,  // OtherWord
        0x9c2a2a,  // MacroWord
        0x8f5a00,  // MacroParameter
        0x587058,  // Comment
        0x3f6a8a,  // HeaderComment
    }},
    {{
        0xdcdcdc,  // Default
        0x9a9a9a,  // SequenceNumber
        0xee8f8f,  // ProgramNumber
        0x86aaff,  // GCode
        0xc8a0f0,  // MCode
        0x62c8c2,  // AxisWord
        0xe0b464,  // Feed
        0xb8c48c,  // OtherWord
        0xee8f8f,  // MacroWord
        0xe0b464,  // MacroParameter
        0x93ad93,  // Comment
        0x8ab6d4,  // HeaderComment
    }},
};

constexpr std::array<const char*, NcStyleCount> StyleNames{
    "Default", "Sequence number", "Program number",  "G code",          "M code",  "Axis word",
    "Feed",    "Address word",    "Macro call word", "Macro parameter", "Comment", "Header comment",
};

bool IsStyle(int style) { return style >= 0 && style < NcStyleCount; }

}  // namespace

NcLexer::NcLexer(QObject* parent)
    : QsciLexerCustom(parent), background_(QApplication::palette().color(QPalette::Base)) {
    setDefaultFont(ProgramPaneFont());
    setDefaultPaper(background_);
    setDefaultColor(Ink(NcStyle::Default, background_));
}

const char* NcLexer::language() const { return "NC"; }

QString NcLexer::description(int style) const {
    // QScintilla takes the styles to be those with a description.
    return IsStyle(style) ? QString::fromLatin1(StyleNames[static_cast<std::size_t>(style)]) : QString();
}

QColor NcLexer::Ink(NcStyle style, const QColor& background) {
    const auto& set = background.lightnessF() < 0.5f ? StyleInks.Dark : StyleInks.Light;
    return QColor::fromRgb(set[static_cast<std::size_t>(style)]);
}

QColor NcLexer::defaultColor(int style) const {
    return Ink(IsStyle(style) ? static_cast<NcStyle>(style) : NcStyle::Default, background_);
}

QColor NcLexer::defaultPaper(int) const { return background_; }

QFont NcLexer::defaultFont(int) const { return ProgramPaneFont(); }

void NcLexer::setBackground(const QColor& background) {
    if (background == background_) return;
    background_ = background;
    setDefaultPaper(background);
    setDefaultColor(Ink(NcStyle::Default, background));
    setPaper(background);
    for (int style = 0; style < NcStyleCount; ++style) setColor(defaultColor(style), style);
}

void NcLexer::styleText(int start, int end) {
    QsciScintilla* pane = editor();
    if (pane == nullptr || end <= start) return;
    // Whole lines: a line is classified from its first byte, with the comment state that the line
    // before it left (kept as Scintilla's line state).
    const long firstLine = pane->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<long>(start));
    const long lastLine = pane->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, static_cast<long>(end - 1));
    const long lineCount = pane->SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT);
    const long from = pane->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, firstLine);
    const long to = lastLine + 1 < lineCount
                        ? pane->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, lastLine + 1)
                        : pane->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    if (to <= from) return;
    const auto length = static_cast<std::size_t>(to - from);
    // The bytes of the range where they lie (contiguous for this range only): no copy of the text.
    const auto* text = reinterpret_cast<const char*>(static_cast<std::intptr_t>(pane->SendScintilla(
        QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), static_cast<long>(length))));
    if (text == nullptr) return;

    bool commentOpen =
        firstLine > 0 &&
        (pane->SendScintilla(QsciScintillaBase::SCI_GETLINESTATE, static_cast<unsigned long>(firstLine - 1)) & 1) != 0;
    styles_.assign(length, static_cast<char>(NcStyle::Default));
    std::size_t lineStart = 0;
    long line = firstLine;
    while (lineStart < length) {
        // Scintilla's line ends: CR LF, a lone CR, a lone LF.
        std::size_t lineEnd = lineStart;
        while (lineEnd < length && text[lineEnd] != '\r' && text[lineEnd] != '\n') ++lineEnd;
        commentOpen = HighlightNcLine({text + lineStart, lineEnd - lineStart}, commentOpen, runs_);
        for (const NcRun& run : runs_) {
            std::memset(styles_.data() + lineStart + run.Start, static_cast<char>(run.Style), run.Length);
        }
        pane->SendScintilla(QsciScintillaBase::SCI_SETLINESTATE, static_cast<unsigned long>(line),
                            commentOpen ? 1L : 0L);
        ++line;
        if (lineEnd == length) break;  // the last line, without a line end
        lineStart = lineEnd + 1;
        if (text[lineEnd] == '\r' && lineStart < length && text[lineStart] == '\n') ++lineStart;
    }
    pane->SendScintilla(QsciScintillaBase::SCI_STARTSTYLING, static_cast<unsigned long>(from), 0L);
    pane->SendScintilla(QsciScintillaBase::SCI_SETSTYLINGEX, static_cast<std::uintptr_t>(length),
                        static_cast<const char*>(styles_.data()));
}

}  // namespace quillane
