// The one place where a pane's text meets the CR LF texts of the generator and the plots.
#pragma once

#include <QString>

#include <string>
#include <string_view>

class QTextDocument;

namespace quillane {

// Pane text (lines separated by '\n') to a program text with CR LF line ends, UTF-8.
std::string ToProgramText(const QString& paneText);
// The same into `out`, whose storage is reused: a large pane is read on every keystroke.
void ToProgramText(const QString& paneText, std::string& out);
// A pane's document as the same program text, read straight from the document's own text (its
// plain text without the copy that turns paragraph marks into '\n'). The text is written into
// `buffer`, which only ever grows, and the returned view of it is valid until the next call.
std::string_view ToProgramText(const QTextDocument& document, std::string& buffer);
// Program text to pane text: each CR LF, each lone CR or LF, and each line or paragraph
// separator (U+2028, U+2029) becomes one line break.
QString ToPaneText(std::string_view programText);

}  // namespace quillane
