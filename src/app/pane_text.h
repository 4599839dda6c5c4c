// The one place where a pane's bytes meet texts from elsewhere: program texts handed to a pane,
// and the clipboard.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace quillane {

// A text as a pane holds it: UTF-8 with CR LF line ends only. Each CR LF, each lone CR or LF,
// and each line or paragraph separator (U+2028, U+2029) becomes one CR LF: a lone one left in
// the pane would make the plots count other lines than the pane shows.
std::string WithCrLfLineEnds(std::string_view text);
// Pane bytes with each CR LF made '\n', as the clipboard's plain text has its lines.
std::string WithLfLineEnds(std::string_view paneText);
// The same as the clipboard's text.
QString ToClipboardText(std::string_view paneText);

}  // namespace quillane
