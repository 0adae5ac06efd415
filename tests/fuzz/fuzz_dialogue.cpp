// The whole dialogue on any standard input, in a directory of its own that
// holds a small word list, a directory and nothing else: everything the
// program writes, and its exit status, checked against the model of the
// dialogue. File names with a path separator or a drive could reach any
// file of the machine (a device that never ends, say), so such inputs are
// skipped.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "dialogue/platform.h"
#include "dialogue/session.h"
#include "tests/fuzz/check.h"
#include "tests/reference.h"
#include "tests/scratch_directory.h"
#include "tests/test_support.h"

namespace {

const std::string& playground() {
    static ScratchDirectory directory;
    static const bool ready = [] {
        directory.write("engldict.txt", "Cat\ncot\r\ndon't\n  ice cream \n%s%n\n" +
                                            std::string(120, 'q') + "\ny\n\x1Atail\n");
        directory.makeDirectory("sub");
        return true;
    }();
    (void)ready;
    return directory.path();
}

// The bytes of the file that `name` opens in the current directory, as the
// system resolves it; nothing for a name that opens nothing, or a directory.
std::optional<std::string> listNamed(const std::string& name) {
    std::FILE* file = std::fopen(name.c_str(), "rb");
    if (!file) return std::nullopt;
    std::string bytes;
    char chunk[4096];
    while (std::size_t got = std::fread(chunk, 1, sizeof chunk, file)) bytes.append(chunk, got);
    bool readable = !std::ferror(file);
    std::fclose(file);
    if (!readable) return std::nullopt;
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    if (input.find_first_of("/\\:") != std::string::npos) return 0;
    // Back where the fuzzer was afterwards: it names its inputs relative to that.
    std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(playground());
    FakeConsole console(input);
    int status = runSession();
    reference::Session expected = reference::session(input, runtimeReadsText(), listNamed);
    FUZZ_CHECK(status == expected.status);
    FUZZ_CHECK(console.output() == expected.output);
    std::filesystem::current_path(home);
    return 0;
}
