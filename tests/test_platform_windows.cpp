// The test helpers that differ between platforms, on Windows: text is read
// from a file in the C runtime's text mode, as the program reads its input
// and word lists there.

#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <fstream>

#include "dialogue/console.h"
#include "tests/scratch_directory.h"
#include "tests/test_support.h"

namespace {

// Making a file takes milliseconds under wine, and one test may make
// thousands of consoles: they all write to one file, emptied for each.
class SharedOutput {
public:
    SharedOutput() : path(unusedTemporaryPath().string()), file(std::fopen(path.c_str(), "w+b")) {}
    ~SharedOutput() {
        std::fclose(file);
        std::remove(path.c_str());
    }
    std::FILE* emptied() {
        std::fflush(file);
        _chsize(_fileno(file), 0);
        std::rewind(file);
        return file;
    }

private:
    std::string path;
    std::FILE* file;
};

SharedOutput& sharedOutput() {
    static SharedOutput output;
    return output;
}

}  // namespace

TextInput::TextInput(const std::string& bytes) {
    if (bytes.empty()) {
        stream = openNothing();
        return;
    }
    path = unusedTemporaryPath().string();
    std::ofstream(path, std::ios::binary) << bytes;
    stream = std::fopen(path.c_str(), "r");
}

std::FILE* openNothing() {
    return std::fopen("NUL", "r");
}

bool underWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

FakeConsole::FakeConsole(const std::string& input) : in(input), out(sharedOutput().emptied()) {
    useConsole(in.file(), out, false);
}

FakeConsole::~FakeConsole() {
    useConsole(stdin, stdout, false);
}

std::string FakeConsole::output() {
    std::string text;
    std::fflush(out);
    std::rewind(out);
    char buffer[4096];
    while (std::size_t got = std::fread(buffer, 1, sizeof buffer, out)) text.append(buffer, got);
    std::fseek(out, 0, SEEK_END);  // where writing goes on
    return text;
}

void writeErrorsUntranslated() {
    _setmode(_fileno(stderr), _O_BINARY);
}
