// The whole dialogue on any standard input, in a directory of its own that
// holds a small word list, a directory and nothing else. File names with a
// path separator or a drive could reach any file of the machine (a device
// that never ends, say), so such inputs are skipped.

#include <cstdint>
#include <filesystem>
#include <string>

#include "dialogue/session.h"
#include "tests/fuzz/check.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    if (input.find_first_of("/\\:") != std::string::npos) return 0;
    // Back where the fuzzer was afterwards: it names its inputs relative to that.
    std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(playground());
    FakeConsole console(input);
    int status = runSession();
    FUZZ_CHECK(status == 0 || status == 1);
    std::filesystem::current_path(home);
    return 0;
}
