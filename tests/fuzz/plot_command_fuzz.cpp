// Fuzz target: quillane-cli plot end to end, from the files on disk to the JSON drawing on disk.
// The input is a shape file and a program text, split at the first form feed; the shape file is
// run through the generator as the command does, so the plot sees the state a real run leaves.
// Built with clang's libFuzzer (QUILLANE_FUZZ).
#include "cli/commands.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// In memory where the system offers it: the command makes each file durable before it renames
// it, which on a disk would cost more than the plot.
std::string Folder() {
    char shm[] = "/dev/shm/quillane-plot-fuzz-XXXXXX";
    if (::mkdtemp(shm) != nullptr) return shm;
    char tmp[] = "/tmp/quillane-plot-fuzz-XXXXXX";
    Require(::mkdtemp(tmp) != nullptr);
    return tmp;
}

void Write(const std::string& path, std::string_view text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = Folder();
    static const int cleanUp = std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    });
    (void)cleanUp;
    static const std::string shape = folder + "/shape.toml", program = folder + "/program.nc",
                             json = folder + "/plot.json";
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const bool points = !input.empty() && (input.front() & 1) != 0;
    const auto split = input.find('\f');
    Write(shape, input.substr(0, split));
    Write(program, split == std::string_view::npos ? std::string_view() : input.substr(split + 1));
    std::remove(json.c_str());

    std::ostringstream out, err;
    const int status =
        quillane::cli::RunPlot({points ? "--points" : "--cutting", "--shape", shape, "-o", json, program}, out, err);
    Require(status == quillane::cli::ExitOk || status == quillane::cli::ExitDataError ||
            status == quillane::cli::ExitUsage);
    std::ifstream written(json, std::ios::binary);
    if (status != quillane::cli::ExitOk) {
        Require(!written && !err.str().empty());  // a refusal writes nothing and says why
        return 0;
    }
    std::string text((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
    Require(text.rfind("{\"background\":", 0) == 0 && text.size() >= 2 && text.compare(text.size() - 2, 2, "}\n") == 0);
    return 0;
}
