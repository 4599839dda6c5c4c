// The one place where a pane's bytes meet texts from elsewhere: program texts handed to a pane,
// and the clipboard.
#include "app/pane_text.h"

namespace quillane {

std::string WithCrLfLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    // Runs of ordinary bytes are copied whole: a pasted program can be tens of megabytes.
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n' && c != '\xE2') continue;
        std::size_t next = i + 1;
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;  // already CR LF: part of the run
        }
        if (c == '\n' && i > 0 && text[i - 1] == '\r') continue;
        if (c == '\xE2') {
            // U+2028 LINE SEPARATOR and U+2029 PARAGRAPH SEPARATOR in UTF-8.
            if (i + 2 >= text.size() || text[i + 1] != '\x80' || (text[i + 2] != '\xA8' && text[i + 2] != '\xA9')) {
                continue;
            }
            next = i + 3;
        }
        out.append(text.substr(run, i - run));
        out += "\r\n";
        run = next;
        i = next - 1;
    }
    out.append(text.substr(run));
    return out;
}

QString ToClipboardText(std::string_view paneText) {
    QString text = QString::fromUtf8(paneText.data(), static_cast<qsizetype>(paneText.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

}  // namespace quillane
