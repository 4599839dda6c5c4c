// The command line's files: inputs read whole within a size limit, outputs replaced atomically.
#include "cli/file_access.h"

#include "cli/commands.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <new>
#include <ostream>
#include <random>
#include <streambuf>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillane::cli {
namespace {

std::string Reason(int errorNumber) { return std::strerror(errorNumber); }

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

std::string TooLarge(const std::string& name, std::uint64_t limit) {
    return name + ": larger than the input limit of " + ByteSizeText(limit) + " (--max-input SIZE raises it)";
}

// Reads up to `size` bytes into `into` from `at`; returns how many arrived before the end.
std::size_t ReadUpTo(int fd, char* into, std::size_t size, const std::string& name) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, into + done, size - done);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw FileError(name + ": cannot be read (" + Reason(errno) + ")");
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

// Asks for the 2 MB pages the system can back a large buffer with, before anything is written
// into it: a 10 MB program read into ordinary pages takes some 2,500 page faults (a third of the
// read), and when plot loads its picture library at the same time they wait on the loader's
// mappings. Only whole such pages inside the buffer are asked for; where the system gives none,
// nothing changes.
void AskForHugePages(std::string& text) {
#if defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t huge = std::uintptr_t{2} << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(text.data());
    const std::uintptr_t from = (start + huge - 1) & ~(huge - 1);
    const std::uintptr_t to = (start + text.capacity()) & ~(huge - 1);
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);  // a hint only
#else
    (void)text;
#endif
}

// A regular file of known size: one allocation, and a file that grows meanwhile is refused
// rather than read past what was measured.
std::string ReadRegular(int fd, std::uint64_t size, std::uint64_t limit, const std::string& name) {
    if (size > limit) throw FileError(TooLarge(name, limit));
    std::string text;
    text.reserve(static_cast<std::size_t>(size));
    AskForHugePages(text);
    text.resize(static_cast<std::size_t>(size));
    text.resize(ReadUpTo(fd, text.data(), text.size(), name));
    char more = 0;
    if (text.size() == size && ReadUpTo(fd, &more, 1, name) != 0) {
        throw FileError(name + ": changed while it was read");
    }
    return text;
}

// A pipe or a terminal: read until it ends, never past the limit.
std::string ReadStream(int fd, std::uint64_t limit, const std::string& name) {
    std::string text;
    std::array<char, 1 << 16> chunk{};
    for (;;) {
        const std::size_t n = ReadUpTo(fd, chunk.data(), chunk.size(), name);
        if (text.size() + n > limit) throw FileError(TooLarge(name, limit));
        text.append(chunk.data(), n);
        if (n < chunk.size()) return text;
    }
}

std::string Describe(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISFIFO(mode)) return "a pipe";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

}  // namespace

bool ParseByteSize(std::string_view text, std::uint64_t& bytes) {
    std::uint64_t value = 0;
    const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (res.ec != std::errc() || value == 0) return false;
    const std::string_view unit(res.ptr, static_cast<std::size_t>(text.data() + text.size() - res.ptr));
    int shift = 0;
    if (unit == "K" || unit == "k") {
        shift = 10;
    } else if (unit == "M" || unit == "m") {
        shift = 20;
    } else if (unit == "G" || unit == "g") {
        shift = 30;
    } else if (!unit.empty()) {
        return false;
    }
    if (value > (UINT64_MAX >> shift)) return false;
    bytes = value << shift;
    return true;
}

std::string ByteSizeText(std::uint64_t bytes) {
    if (bytes % (1u << 30) == 0) return std::to_string(bytes >> 30) + " GB";
    if (bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MB";
    if (bytes % (1u << 10) == 0) return std::to_string(bytes >> 10) + " KB";
    return std::to_string(bytes) + " bytes";
}

std::string ReadInput(const std::string& path, std::uint64_t limit) {
    if (path == StandardInput) {
        const std::string name = "standard input";
        struct stat info {};
        if (::fstat(STDIN_FILENO, &info) != 0) throw FileError(name + ": cannot be read (" + Reason(errno) + ")");
        if (S_ISDIR(info.st_mode)) throw FileError(name + ": is a directory, not a file");
        if (S_ISREG(info.st_mode)) {
            const off_t at = ::lseek(STDIN_FILENO, 0, SEEK_CUR);
            const off_t rest = at < 0 ? info.st_size : std::max<off_t>(info.st_size - at, 0);
            return ReadRegular(STDIN_FILENO, static_cast<std::uint64_t>(rest), limit, name);
        }
        return ReadStream(STDIN_FILENO, limit, name);
    }
    // Non-blocking, so that a pipe without a writer is refused instead of waited for.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) throw FileError(path + ": cannot be read (" + Reason(errno) + ")");
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) throw FileError(path + ": cannot be read (" + Reason(errno) + ")");
    if (!S_ISREG(info.st_mode)) {
        throw FileError(path + ": is " + Describe(info.st_mode) + ", not a file" +
                        (S_ISFIFO(info.st_mode) ? " (give - and redirect it to standard input)" : ""));
    }
    return ReadRegular(fd.get(), static_cast<std::uint64_t>(info.st_size), limit, path);
}

std::size_t LoneLineFeeds(std::string_view text) {
    // Sixteen bytes at a time, each compared with the byte before it: a program has a line end
    // every twenty bytes or so, and a search for each of them would cost more than the reading.
    const char* const data = text.data();
    const std::size_t size = text.size();
    std::size_t lone = size > 0 && data[0] == '\n' ? 1 : 0;
    std::size_t i = 1;  // each byte from here on has one before it
#if defined(__SSE2__)
    // Each byte lane counts the lone feeds it sees (a match is -1, subtracted) for at most 255
    // blocks, then the lanes are summed: no lane wraps, and no bit count per block is needed.
    while (i + 16 <= size) {
        __m128i counts = _mm_setzero_si128();
        const std::size_t blocks = std::min<std::size_t>((size - i) / 16, 255);
        for (std::size_t b = 0; b < blocks; ++b, i += 16) {
            const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
            const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i - 1));
            const __m128i lf = _mm_cmpeq_epi8(here, _mm_set1_epi8('\n'));
            const __m128i cr = _mm_cmpeq_epi8(before, _mm_set1_epi8('\r'));
            counts = _mm_sub_epi8(counts, _mm_andnot_si128(cr, lf));
        }
        const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());  // two halves of 8 lanes
        lone += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums)));
    }
#endif
    for (; i < size; ++i) {
        if (data[i] == '\n' && data[i - 1] != '\r') ++lone;
    }
    return lone;
}

std::string WithCrLf(std::string text) {
    const std::size_t lone = LoneLineFeeds(text);
    if (lone == 0) return text;  // most programs have CR LF throughout
    std::string out;
    out.reserve(text.size() + lone);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

const std::string* InputReplacedBy(const std::string& output, const std::vector<std::string>& inputs) {
    struct stat out {};
    if (::stat(output.c_str(), &out) != 0) return nullptr;  // a new file cannot be an input
    for (const std::string& input : inputs) {
        struct stat in {};
        if (input != StandardInput && ::stat(input.c_str(), &in) == 0 && in.st_dev == out.st_dev &&
            in.st_ino == out.st_ino) {
            return &input;
        }
    }
    return nullptr;
}

// ---- AtomicFile ---------------------------------------------------------------------------------

// A stream buffer over a file descriptor that remembers the first error instead of losing it.
class AtomicFile::Buffer : public std::streambuf {
public:
    explicit Buffer(int fd) : fd_(fd), data_(1 << 16) { setp(data_.data(), data_.data() + data_.size()); }
    int error() const { return error_; }

    bool drain() {
        const char* from = pbase();
        while (error_ == 0 && from < pptr()) {
            const ssize_t n = ::write(fd_, from, static_cast<std::size_t>(pptr() - from));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                error_ = n < 0 ? errno : EIO;
                break;
            }
            from += n;
        }
        setp(data_.data(), data_.data() + data_.size());
        return error_ == 0;
    }

protected:
    int_type overflow(int_type ch) override {
        if (!drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(ch, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(ch);
            pbump(1);
        }
        return traits_type::not_eof(ch);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    int fd_;
    std::vector<char> data_;
    int error_ = 0;
};

AtomicFile::AtomicFile(const std::string& path) : path_(path), target_(path) {}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Fail(const std::string& what, int errorNumber) {
    if (error_.empty()) error_ = path_ + ": " + what + " (" + Reason(errorNumber) + ")";
}

void AtomicFile::Discard() {
    stream_.reset();
    buffer_.reset();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

bool AtomicFile::Open() {
    namespace fs = std::filesystem;
    std::error_code ec;
    // A link stays a link: its target is what gets the new content.
    if (fs::is_symlink(path_, ec)) {
        const fs::path resolved = fs::weakly_canonical(path_, ec);
        if (!ec) target_ = resolved.string();
    }
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        Fail("cannot be written", EISDIR);
        return false;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        // A device or a pipe cannot be replaced, only written to.
        fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd_ < 0) {
            Fail("cannot be written", errno);
            return false;
        }
    } else {
        // Renaming over a file would replace it even where it may not be written to.
        if (exists && ::access(target_.c_str(), W_OK) != 0) {
            Fail("cannot be written", errno);
            return false;
        }
        const fs::path target(target_);
        const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
        std::random_device random;
        for (int attempt = 0; fd_ < 0; ++attempt) {
            temp_ = (folder / ("." + target.filename().string() + ".tmp" + std::to_string(::getpid()) + "-" +
                               std::to_string(random() % 1000000u)))
                        .string();
            // 0666 less the user's umask, as any new file of theirs.
            fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ < 0 && (errno != EEXIST || attempt == 100)) {
                temp_.clear();
                Fail("cannot be written", errno);
                return false;
            }
        }
        if (exists) ::fchmod(fd_, existing.st_mode & 07777);  // the replaced file's permissions stay
    }
    buffer_ = std::make_unique<Buffer>(fd_);
    stream_ = std::make_unique<std::ostream>(buffer_.get());
    return true;
}

std::ostream& AtomicFile::Stream() { return *stream_; }

bool AtomicFile::Finish() {
    if (finished_) return true;
    if (fd_ < 0) {
        if (error_.empty()) error_ = path_ + ": cannot be written";
        return false;
    }
    stream_->flush();
    if (buffer_->error() != 0) {
        Fail("cannot be written", buffer_->error());
    } else if (!*stream_) {
        Fail("cannot be written", EIO);
    } else if (!temp_.empty() && ::fdatasync(fd_) != 0) {
        Fail("cannot be written", errno);
    } else {
        const int closed = ::close(fd_);
        fd_ = -1;
        if (closed == 0) {
            finished_ = true;
            return true;
        }
        Fail("cannot be written", errno);
    }
    Discard();
    return false;
}

bool AtomicFile::Commit() {
    if (!Finish()) return false;
    if (temp_.empty() || ::rename(temp_.c_str(), target_.c_str()) == 0) {
        temp_.clear();
        Discard();
        return true;
    }
    Fail("cannot be replaced", errno);
    Discard();
    return false;
}

bool WriteFileAtomically(const std::string& path, std::string_view text, std::string& error) {
    AtomicFile file(path);
    if (file.Open()) {
        file.Stream().write(text.data(), static_cast<std::streamsize>(text.size()));
        if (file.Commit()) return true;
    }
    error = file.Error();
    return false;
}

bool OutputArrived(std::ostream& out, std::ostream& err, std::string_view who) {
    out.flush();
    if (out) return true;
    const int errorNumber = errno;
    err << who << ": cannot write standard output";
    if (errorNumber != 0) err << " (" << Reason(errorNumber) << ")";
    err << "\n";
    return false;
}

int GuardMemory(std::string_view who, std::ostream& err, const std::function<int()>& command) {
    try {
        return command();
    } catch (const std::bad_alloc&) {
        err << who << ": out of memory: the input is too large for this machine\n";
    } catch (const std::length_error&) {
        err << who << ": out of memory: the input is too large for this machine\n";
    }
    return ExitUsage;
}

}  // namespace quillane::cli
