// The command line's files: bounded inputs, outputs that replace the old file whole or not at all.
#include "cli/file_access.h"
#include "cli/commands.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace quillane::cli {
namespace {

namespace fs = std::filesystem;

class Files : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("quillane-files-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
        return Path(name);
    }
    std::string Read(const std::string& name) const {
        std::ifstream file(Path(name), std::ios::binary);
        std::ostringstream s;
        s << file.rdbuf();
        return s.str();
    }
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The message of the FileError that reading `path` throws, or "read" when it does not.
    static std::string ReadError(const std::string& path, std::uint64_t limit = DefaultInputLimit) {
        try {
            ReadInput(path, limit);
        } catch (const FileError& e) {
            return e.what();
        }
        return "read";
    }

    fs::path dir_;
};

// ---- inputs ---------------------------------------------------------------------------------------

TEST_F(Files, ARegularFileIsReadWhole) {
    const std::string text = std::string(100000, 'x') + "\r\nG00\r\n";
    EXPECT_EQ(ReadInput(Write("a.nc", text), DefaultInputLimit), text);
    EXPECT_EQ(ReadInput(Write("exact.nc", "12345"), 5), "12345");
    EXPECT_EQ(ReadInput(Write("empty.nc", ""), 5), "");
}

TEST_F(Files, WhatIsNotARegularFileWithinTheLimitIsRefusedByName) {
    fs::create_directories(Path("adir"));
    ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
    Write("six.nc", "123456");
    // clang-format off
    const struct { std::string Path; std::string Message; } cases[] = {
        {Path("adir"), Path("adir") + ": is a directory, not a file"},
        {"/dev/zero", "/dev/zero: is a device, not a file"},
        {Path("fifo"), Path("fifo") + ": is a pipe, not a file (give - and redirect it to standard input)"},
        {Path("six.nc"), Path("six.nc") + ": larger than the input limit of 5 bytes (--max-input SIZE raises it)"},
        {Path("none.nc"), Path("none.nc") + ": cannot be read (No such file or directory)"},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(ReadError(c.Path, 5), c.Message);
}

TEST(ByteSize, ParsedAndShown) {
    // clang-format off
    const struct { const char* Text; bool Ok; std::uint64_t Bytes; const char* Shown; } cases[] = {
        {"1000", true, 1000, "1000 bytes"},
        {"64K", true, 64 << 10, "64 KB"},
        {"512M", true, std::uint64_t{512} << 20, "512 MB"},
        {"2g", true, std::uint64_t{2} << 30, "2 GB"},
        {"0", false, 0, ""},
        {"", false, 0, ""},
        {"12MB", false, 0, ""},
        {"-5", false, 0, ""},
        {"99999999999999G", false, 0, ""},
    };
    // clang-format on
    for (const auto& c : cases) {
        std::uint64_t bytes = 0;
        EXPECT_EQ(ParseByteSize(c.Text, bytes), c.Ok) << c.Text;
        if (c.Ok) {
            EXPECT_EQ(bytes, c.Bytes) << c.Text;
            EXPECT_EQ(ByteSizeText(bytes), c.Shown);
        }
    }
    EXPECT_EQ(ByteSizeText(DefaultInputLimit), "256 MB");
}

// Line feeds are counted sixteen bytes at a time, each against the byte before it, in runs of up
// to 255 blocks: texts of every length up to a few blocks, with line ends falling on and across
// the blocks' edges, and some longer than a run, with and without a feed in every byte.
TEST(ProgramLineEnds, LoneLineFeedsBecomeCrLf) {
    std::mt19937 random(17);
    for (const std::size_t size : {4079u, 4080u, 4097u, 9000u}) EXPECT_EQ(LoneLineFeeds(std::string(size, '\n')), size);
    for (int round = 0; round < 3000; ++round) {
        std::string text(round % 100 == 0 ? 4000 + random() % 5000 : random() % 70, 'X');
        for (char& c : text) c = "\r\nX"[random() % 3];
        std::size_t lone = 0;
        std::string expected;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
                ++lone;
                expected += '\r';
            }
            expected += text[i];
        }
        EXPECT_EQ(LoneLineFeeds(text), lone) << text.size();
        EXPECT_EQ(WithCrLf(text), expected);
    }
}

TEST_F(Files, AnOutputIsAnInputUnderAnyOfItsNames) {
    const std::string shape = Write("shape.toml", "Pitch = 1\n");
    const std::string other = Write("other.toml", "Pitch = 2\n");
    fs::create_hard_link(shape, Path("hard.toml"));
    fs::create_symlink(shape, Path("soft.toml"));
    const std::vector<std::string> inputs{other, "-", shape};
    for (const char* name : {"shape.toml", "hard.toml", "soft.toml"}) {
        const std::string* found = InputReplacedBy(Path(name), inputs);
        ASSERT_NE(found, nullptr) << name;
        EXPECT_EQ(*found, shape);
    }
    EXPECT_EQ(InputReplacedBy(Path("new.nc"), inputs), nullptr);
    EXPECT_EQ(InputReplacedBy(Write("out.nc", ""), inputs), nullptr);
}

// ---- outputs --------------------------------------------------------------------------------------

TEST_F(Files, ANewContentReplacesTheOldWholeAndKeepsItsPermissions) {
    const std::string path = Write("out.nc", "old");
    ::chmod(path.c_str(), 0640);
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(path, "new text", error)) << error;
    EXPECT_EQ(Read("out.nc"), "new text");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
    EXPECT_EQ(Listing(), std::vector<std::string>{"out.nc"});
}

TEST_F(Files, AFileThatMayNotBeWrittenIsNotReplaced) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop the superuser";
    const std::string path = Write("read-only.nc", "old");
    ::chmod(path.c_str(), 0444);
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(path, "new", error));
    EXPECT_EQ(error, path + ": cannot be written (Permission denied)");
    EXPECT_EQ(Read("read-only.nc"), "old");
}

TEST_F(Files, ALinkStaysALinkToTheNewContent) {
    const std::string target = Write("target.nc", "old");
    fs::create_symlink(target, Path("link.nc"));
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(Path("link.nc"), "new", error)) << error;
    EXPECT_TRUE(fs::is_symlink(Path("link.nc")));
    EXPECT_EQ(Read("target.nc"), "new");
}

TEST_F(Files, NothingIsReplacedBeforeCommit) {
    Write("out.nc", "old");
    {
        AtomicFile file(Path("out.nc"));
        ASSERT_TRUE(file.Open());
        file.Stream() << std::string(200000, 'n');
        ASSERT_TRUE(file.Finish());
        EXPECT_EQ(Read("out.nc"), "old");
    }  // given up: as if the command had failed after writing
    EXPECT_EQ(Read("out.nc"), "old");
    EXPECT_EQ(Listing(), std::vector<std::string>{"out.nc"});
}

TEST_F(Files, AFolderThatCannotTakeTheFileSaysWhy) {
    fs::create_directories(Path("adir"));
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(Path("adir"), "x", error));
    EXPECT_EQ(error, Path("adir") + ": cannot be written (Is a directory)");
    EXPECT_FALSE(WriteFileAtomically(Path("no/such/folder.nc"), "x", error));
    EXPECT_EQ(error, Path("no/such/folder.nc") + ": cannot be written (No such file or directory)");
    EXPECT_FALSE(WriteFileAtomically("/dev/full", "x", error));
    EXPECT_EQ(error, "/dev/full: cannot be written (No space left on device)");
}

// A disk that is full after `bytes`: the file size limit, with its signal ignored so that a write
// fails as on a full disk instead of ending the process.
class DiskFullAfter {
public:
    explicit DiskFullAfter(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~DiskFullAfter() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    DiskFullAfter(const DiskFullAfter&) = delete;
    DiskFullAfter& operator=(const DiskFullAfter&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(Files, AFullDiskLeavesTheOldFileAndNothingBeside) {
    const std::string path = Write("out.nc", "old");
    std::string error;
    {
        const DiskFullAfter full(4096);
        EXPECT_FALSE(WriteFileAtomically(path, std::string(100000, 'n'), error));
    }
    EXPECT_EQ(error, path + ": cannot be written (File too large)");
    EXPECT_EQ(Read("out.nc"), "old");
    EXPECT_EQ(Listing(), std::vector<std::string>{"out.nc"});
}

// ---- the commands ---------------------------------------------------------------------------------

// A standard output on a full disk.
class FullBuffer : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

TEST_F(Files, AnOutputThatDoesNotArriveIsAnError) {
    const std::string shape = std::string(QUILLANE_SOURCE_DIR) + "/examples/worked-example.toml";
    FullBuffer full;
    std::ostream out(&full);
    std::ostringstream err;
    EXPECT_EQ(RunGenerate({shape}, out, err), ExitUsage);
    EXPECT_EQ(err.str().rfind("quillane-cli generate: cannot write standard output", 0), 0u) << err.str();
    err.str("");
    out.clear();
    EXPECT_EQ(RunExample({"fanuc"}, out, err), ExitUsage);
    EXPECT_EQ(err.str().rfind("quillane-cli example: cannot write standard output", 0), 0u) << err.str();
}

TEST_F(Files, GenerateWritesBothFilesOrNeither) {
    const std::string shape = std::string(QUILLANE_SOURCE_DIR) + "/examples/worked-example.toml";
    Write("points.nc", "old points");
    Write("program.nc", "old program");
    std::ostringstream out, err;
    {
        // Room for the point data, not for the program.
        const DiskFullAfter full(1500);
        EXPECT_EQ(RunGenerate({"--point-data", Path("points.nc"), "--program", Path("program.nc"), shape}, out, err),
                  ExitUsage);
    }
    EXPECT_EQ(err.str(), "quillane-cli generate: " + Path("program.nc") + ": cannot be written (File too large)\n");
    EXPECT_EQ(Read("points.nc"), "old points");
    EXPECT_EQ(Read("program.nc"), "old program");
    EXPECT_EQ(Listing(), (std::vector<std::string>{"points.nc", "program.nc"}));
}

TEST_F(Files, GenerateRefusesToWriteOverItsInput) {
    const std::string shape = Write("shape.toml", "Pitch = 1\n");
    std::ostringstream out, err;
    // clang-format off
    const std::vector<std::string> cases[] = {
        {"--program", shape, shape},
        {"--point-data", shape, shape},
        {"--point-data", Path("same.nc"), "--program", Path("same.nc"), shape},
    };
    // clang-format on
    for (const auto& args : cases) EXPECT_EQ(RunGenerate(args, out, err), ExitUsage) << args[0];
    EXPECT_EQ(Read("shape.toml"), "Pitch = 1\n");
    EXPECT_FALSE(fs::exists(Path("same.nc")));
}

#if defined(__SANITIZE_ADDRESS__)
#define QUILLANE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLANE_ASAN 1
#endif
#endif

TEST_F(Files, RunningOutOfMemoryIsAClearError) {
#ifdef QUILLANE_ASAN
    GTEST_SKIP() << "the sanitizer's shadow memory cannot live under an address-space limit";
#else
    // Two million short moves, 22 MB: more than the few megabytes of address space left can read
    // (the JSON itself is written while the plot draws and needs little).
    std::string program;
    for (int i = 0; i < 1000000; ++i) program += "G01 X1 Z1\r\nG01 X2 Z2\r\n";
    const std::string path = Write("long.nc", program);
    const std::string shape = Write("shape.toml", "Pitch = 1\nD1 = 30\nD2 = 27\nStartPointZ = 17\nEndPointZ = -80\n");
    program.clear();
    program.shrink_to_fit();
    EXPECT_EXIT(
        {
            rlimit limit{};
            ::getrlimit(RLIMIT_AS, &limit);
            std::ifstream status("/proc/self/statm");
            rlim_t pages = 0;
            status >> pages;
            limit.rlim_cur = pages * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (rlim_t{8} << 20);
            ::setrlimit(RLIMIT_AS, &limit);
            std::ostringstream out;
            const int code = RunPlot({"--points", "--shape", shape, "-o", Path("x.json"), path}, out, std::cerr);
            std::_Exit(code);
        },
        testing::ExitedWithCode(ExitUsage), "quillane-cli plot: out of memory");
#endif
}

}  // namespace
}  // namespace quillane::cli
