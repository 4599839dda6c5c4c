// The one place where a pane's bytes meet texts from elsewhere: program texts handed to a pane,
// and the clipboard.
#include "app/pane_text.h"

namespace quillane {

std::string WithCrLfLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else if (c == '\n') {
            out += "\r\n";
        } else if (c == '\xE2' && i + 2 < text.size() && text[i + 1] == '\x80' &&
                   (text[i + 2] == '\xA8' || text[i + 2] == '\xA9')) {
            // U+2028 LINE SEPARATOR and U+2029 PARAGRAPH SEPARATOR in UTF-8.
            i += 2;
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

QString ToClipboardText(std::string_view paneText) {
    QString text = QString::fromUtf8(paneText.data(), static_cast<qsizetype>(paneText.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

}  // namespace quillane
