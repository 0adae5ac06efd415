// The whole dialogue on any standard input, in a directory of its own that
// holds a small word list, a directory and nothing else. File names with a
// '/' could reach any file of the machine (a device that never ends, say),
// so such inputs are skipped.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "dialogue/session.h"
#include "tests/fuzz/check.h"
#include "tests/test_support.h"

namespace {

std::string root;

void leavePlayground() {
    std::filesystem::remove_all(root);
}

void enterPlayground() {
    root = (std::filesystem::temp_directory_path() / "dialogue-fuzz-XXXXXX").string();
    FUZZ_CHECK(mkdtemp(&root[0]) != nullptr);
    std::atexit(leavePlayground);
    std::ofstream(root + "/engldict.txt", std::ios::binary)
        << "Cat\ncot\r\ndon't\n  ice cream \n%s%n\n" + std::string(120, 'q') + "\ny\n\x1Atail\n";
    std::filesystem::create_directory(root + "/sub");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool ready = (enterPlayground(), true);
    (void)ready;
    std::string input(reinterpret_cast<const char*>(data), size);
    if (input.find('/') != std::string::npos) return 0;
    // Back where the fuzzer was afterwards: it names its inputs relative to that.
    std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(root);
    FakeConsole console(input);
    int status = runSession();
    FUZZ_CHECK(status == 0 || status == 1);
    std::filesystem::current_path(home);
    return 0;
}
