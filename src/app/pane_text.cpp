// The one place where a pane's text meets the CR LF texts of the generator and the plots.
#include "app/pane_text.h"

namespace quillane {

void ToProgramText(const QString& paneText, std::string& out) {
    // Sized for the worst case first (three bytes per UTF-16 unit), written through a plain
    // pointer, then cut to length: no growing, and no fresh memory once `out` has been used.
    const qsizetype n = paneText.size();
    out.resize(static_cast<std::size_t>(n) * 3);
    char* o = out.data();
    const char16_t* in = reinterpret_cast<const char16_t*>(paneText.constData());
    for (qsizetype i = 0; i < n; ++i) {
        const char32_t c = in[i];
        if (c < 0x80) {
            if (c == u'\n') {
                *o++ = '\r';
            }
            *o++ = static_cast<char>(c);
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
    out.resize(static_cast<std::size_t>(o - out.data()));
}

std::string ToProgramText(const QString& paneText) {
    std::string out;
    ToProgramText(paneText, out);
    return out;
}

QString ToPaneText(std::string_view programText) {
    QString text = QString::fromUtf8(programText.data(), static_cast<qsizetype>(programText.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace quillane
