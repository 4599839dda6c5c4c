// The one place where a pane's text meets the CR LF texts of the generator and the plots.
#include "app/pane_text.h"

#include <cstring>

namespace quillane {

std::string ToProgramText(const QString& paneText) {
    // Runs on every keystroke: whole runs between line breaks are copied at once.
    const QByteArray utf8 = paneText.toUtf8();
    const char* at = utf8.constData();
    const char* const end = at + utf8.size();
    std::string out;
    out.reserve(static_cast<std::size_t>(utf8.size()) + static_cast<std::size_t>(utf8.size()) / 16 + 16);
    while (at < end) {
        const auto* lf = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
        if (lf == nullptr) {
            out.append(at, end);
            break;
        }
        out.append(at, lf);
        out += "\r\n";
        at = lf + 1;
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
