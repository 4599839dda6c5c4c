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

std::string WithLfLineEnds(std::string_view paneText) {
    // One pass over the bytes: replacing in a QString moves the rest of the text at every line.
    std::string lines;
    lines.reserve(paneText.size());
    std::size_t run = 0;
    for (std::size_t i = 0; i + 1 < paneText.size(); ++i) {
        if (paneText[i] == '\r' && paneText[i + 1] == '\n') {
            lines.append(paneText.substr(run, i - run));
            run = i + 1;  // the LF starts the next run
        }
    }
    lines.append(paneText.substr(run));
    return lines;
}

QString ToClipboardText(std::string_view paneText) {
    const std::string lines = WithLfLineEnds(paneText);
    return QString::fromUtf8(lines.data(), static_cast<qsizetype>(lines.size()));
}

}  // namespace quillane
