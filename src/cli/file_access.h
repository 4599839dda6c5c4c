// The command line's files: inputs read whole within a size limit, outputs replaced atomically.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quillane::cli {

// Largest input read unless --max-input says otherwise: far beyond any real program, small
// enough that a mistaken device or a runaway file cannot take the machine's memory.
inline constexpr std::uint64_t DefaultInputLimit = std::uint64_t{256} << 20;

// The name that stands for standard input.
inline constexpr std::string_view StandardInput = "-";

// A file the command cannot use; the message names it and says why.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "512M", "2G", "64K" or a number of bytes; false for anything else or 0.
bool ParseByteSize(std::string_view text, std::uint64_t& bytes);
// The size as the user would write it back ("256 MB", "1000 bytes").
std::string ByteSizeText(std::uint64_t bytes);

// The whole of an input file, or of standard input for "-". A file must be a regular file of at
// most `limit` bytes and is read into one allocation of its size; standard input may also be a
// pipe, read until it ends or passes the limit. Throws FileError; running out of memory throws
// std::bad_alloc.
std::string ReadInput(const std::string& path, std::uint64_t limit);

// The program text with every line feed that no carriage return precedes made a CR LF, as the
// panes and the plots read line ends; a text that has CR LF throughout is handed back as it is.
std::string WithCrLf(std::string text);
// How many line feeds of `text` no carriage return precedes.
std::size_t LoneLineFeeds(std::string_view text);

// The first of `inputs` that is the same file as `output` under any name, or nothing.
const std::string* InputReplacedBy(const std::string& output, const std::vector<std::string>& inputs);

// A new content for a file that replaces the old one only once all of it is on disk: it is
// written to a temporary file beside it and renamed over it by Commit(). Until then, and for
// good if anything fails, the old file stays as it was, and the temporary file goes away.
// A path that names a device or a pipe (/dev/stdout) is written to directly.
class AtomicFile {
public:
    explicit AtomicFile(const std::string& path);
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();

    // Where the content goes; false (and Error() says why) when nothing could be opened.
    bool Open();
    std::ostream& Stream();
    // Writes out what is buffered and makes it durable, short of putting it in place: a command
    // that writes two files finishes both before it replaces either. False when any of it (or
    // any earlier write) failed.
    bool Finish();
    // Finishes, then puts the new content in place. False when anything failed; the old file
    // is then untouched.
    bool Commit();
    // "PATH: reason" of the first failure.
    const std::string& Error() const { return error_; }

private:
    class Buffer;
    void Fail(const std::string& what, int errorNumber);
    void Discard();

    std::string path_;    // as the user gave it, for messages
    std::string target_;  // the file that is replaced (a symbolic link's target)
    std::string temp_;    // empty when writing straight to a device
    int fd_ = -1;
    bool finished_ = false;
    std::unique_ptr<Buffer> buffer_;
    std::unique_ptr<std::ostream> stream_;
    std::string error_;
};

// The whole text into `path` through an AtomicFile; false with the reason in `error`.
bool WriteFileAtomically(const std::string& path, std::string_view text, std::string& error);

// Flushes `out` and says whether everything written to it arrived; when not, says so on `err`
// (as `who`: cannot write standard output).
bool OutputArrived(std::ostream& out, std::ostream& err, std::string_view who);

// Runs a command; running out of memory (an input too large for this machine) ends it with a
// message on `err` and ExitUsage instead of an abort.
int GuardMemory(std::string_view who, std::ostream& err, const std::function<int()>& command);

}  // namespace quillane::cli
