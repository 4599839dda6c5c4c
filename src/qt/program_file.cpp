// Program files as the panes read and write them: the bytes of a file to a text and back, in
// the encoding the file came in.
#include "qt/program_file.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <limits>
#include <new>

namespace quillane {

DecodedProgram DecodeProgramFile(const QByteArray& bytes) {
    DecodedProgram decoded;
    // A byte order mark stays a character of the text, so that the file is written back with it.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    decoded.Text = utf8.decode(bytes);
    if (utf8.hasError()) {
        // Not UTF-8: every byte is one Latin-1 character, so every file reads and writes back
        // as the bytes it was.
        decoded.Text = QString::fromLatin1(bytes);
        decoded.Encoding = TextEncoding::Latin1;
    }
    QString& text = decoded.Text;
    if (text.endsWith(QStringLiteral("\r\n"))) {
        text.chop(2);
    } else if (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'))) {
        text.chop(1);
    }
    return decoded;
}

std::optional<QByteArray> EncodeProgramFile(const QString& programText, TextEncoding encoding) {
    const QString text = programText + QStringLiteral("\r\n");
    if (encoding == TextEncoding::Utf8) return text.toUtf8();
    for (const QChar c : text) {
        if (c.unicode() > 0xFF) return std::nullopt;
    }
    return text.toLatin1();
}

ReadResult ReadWholeFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return {false, {}, QStringLiteral("No such file")};
    // Reading a named pipe or a device would wait for a writer or never end.
    if (!info.isFile()) return {false, {}, QStringLiteral("Not a regular file")};
    if (info.size() >= static_cast<qint64>(std::numeric_limits<int>::max())) {
        return {false, {}, QStringLiteral("Too large to open (%1 bytes)").arg(info.size())};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {false, {}, file.errorString()};
    ReadResult result;
    try {
        result.Bytes = file.readAll();
    } catch (const std::bad_alloc&) {
        return {false, {}, QStringLiteral("Not enough memory to open it")};
    }
    if (file.error() != QFileDevice::NoError) return {false, {}, file.errorString()};
    result.Ok = true;
    return result;
}

}  // namespace quillane
