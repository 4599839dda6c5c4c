// Program files as the panes read and write them: the bytes of a file to a text and back, in
// the encoding the file came in.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace quillane {

// How a pane's text is written to its file: UTF-8 unless it was opened from a file that is not
// valid UTF-8, which is read (and written back) as Latin-1 (ISO 8859-1, one byte per character).
enum class TextEncoding { Utf8, Latin1 };

// A file's text as a pane takes it: its line ends as they are (the pane turns each CR LF, lone
// CR or LF into a line break), except that the line end closing the last line is dropped:
// Save writes one after the pane's text, so a saved file opens as the text that was saved.
struct DecodedProgram {
    QString Text;
    TextEncoding Encoding = TextEncoding::Utf8;
};
DecodedProgram DecodeProgramFile(const QByteArray& bytes);

// The bytes of a saved program: `programText` (CR LF lines) and one CR LF, in `encoding`; none
// when the text holds a character that encoding cannot (Latin-1 holds U+0000 to U+00FF only).
std::optional<QByteArray> EncodeProgramFile(const QString& programText, TextEncoding encoding);

// A whole file read for a pane, or why it could not be.
struct ReadResult {
    bool Ok = false;
    QByteArray Bytes;
    QString Error;  // the reason, in the system's words where it gives one
};
// Reads a regular file; a folder, a device or a named pipe is refused by name, and so is a file
// too large for one text (2 GB and more).
ReadResult ReadWholeFile(const QString& path);

}  // namespace quillane
