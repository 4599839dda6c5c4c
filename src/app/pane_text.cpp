// The one place where a pane's text meets the CR LF texts of the generator and the plots.
#include "app/pane_text.h"

#include <QTextDocument>

namespace quillane {
namespace {

// Writes `n` UTF-16 units as UTF-8 with CR LF line ends into `o`, which has room for three
// bytes per unit; returns the end. In a document's own text (`documentMarks`) the marks it
// keeps between and inside paragraphs end a line and a no-break space is a blank, as its
// plain text has them.
char* WriteProgramText(const char16_t* in, qsizetype n, char* o, bool documentMarks) {
    for (qsizetype i = 0; i < n; ++i) {
        const char32_t c = in[i];
        if (c < 0x80) {
            if (c == u'\n') {
                *o++ = '\r';
            }
            *o++ = static_cast<char>(c);
        } else if (documentMarks &&
                   (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == 0xFDD0 || c == 0xFDD1)) {
            *o++ = '\r';
            *o++ = '\n';
        } else if (documentMarks && c == QChar::Nbsp) {
            *o++ = ' ';
        } else if (c < 0x800) {
            *o++ = static_cast<char>(0xC0 | (c >> 6));
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) {
            const char32_t u = QChar::surrogateToUcs4(static_cast<char16_t>(c), in[++i]);
            *o++ = static_cast<char>(0xF0 | (u >> 18));
            *o++ = static_cast<char>(0x80 | ((u >> 12) & 0x3F));
            *o++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (u & 0x3F));
        } else {
            const char32_t u = QChar::isSurrogate(c) ? char32_t{0xFFFD} : c;
            *o++ = static_cast<char>(0xE0 | (u >> 12));
            *o++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return o;
}

const char16_t* Units(const QString& text) { return reinterpret_cast<const char16_t*>(text.constData()); }

}  // namespace

void ToProgramText(const QString& paneText, std::string& out) {
    // Sized for the worst case first (three bytes per UTF-16 unit), written through a plain
    // pointer, then cut to length: no growing, and no fresh memory once `out` has been used.
    out.resize(static_cast<std::size_t>(paneText.size()) * 3);
    char* end = WriteProgramText(Units(paneText), paneText.size(), out.data(), false);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

std::string ToProgramText(const QString& paneText) {
    std::string out;
    ToProgramText(paneText, out);
    return out;
}

std::string_view ToProgramText(const QTextDocument& document, std::string& buffer) {
    const QString raw = document.toRawText();
    // Never cut back: filling the room again on every keystroke would cost as much as the text.
    const auto room = static_cast<std::size_t>(raw.size()) * 3;
    if (buffer.size() < room) {
        buffer.resize(room);
    }
    const char* end = WriteProgramText(Units(raw), raw.size(), buffer.data(), true);
    return {buffer.data(), static_cast<std::size_t>(end - buffer.data())};
}

QString ToPaneText(std::string_view programText) {
    QString text = QString::fromUtf8(programText.data(), static_cast<qsizetype>(programText.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // A line or paragraph separator would break a line inside the editor's line; the plots
    // and the saved text count it as a line break, so it becomes one here.
    text.replace(QChar::LineSeparator, QLatin1Char('\n')).replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

}  // namespace quillane
