// The one place where a pane's text meets the CR LF texts of the generator and the plots.
#include "app/pane_text.h"

namespace quillane {

std::string ToProgramText(const QString& paneText) {
    const QByteArray utf8 = paneText.toUtf8();
    std::string out;
    out.reserve(static_cast<std::size_t>(utf8.size()) + static_cast<std::size_t>(utf8.size()) / 16 + 16);
    for (const char c : utf8) {
        if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

QString ToPaneText(std::string_view programText) {
    QString text = QString::fromUtf8(programText.data(), static_cast<qsizetype>(programText.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace quillane
