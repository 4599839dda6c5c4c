// The one place where a pane's text meets the CR LF texts of the generator and the plots.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace quillane {

// Pane text (lines separated by '\n') to a program text with CR LF line ends, UTF-8.
std::string ToProgramText(const QString& paneText);
// The same into `out`, whose storage is reused: a large pane is read on every keystroke.
void ToProgramText(const QString& paneText, std::string& out);
// Program text to pane text: each CR LF, and each lone CR or LF, becomes one line break.
QString ToPaneText(std::string_view programText);

}  // namespace quillane
