// The platform layer on Windows, where the C runtime reads text itself.

#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>

#include "dialogue/platform.h"

// Standard input and files opened with "r" are in the runtime's text mode:
// it folds CR LF and ends the input at 0x1A, so the bytes are taken as
// they come.
bool runtimeReadsText() {
    return true;
}

int readConsoleByte(std::FILE* input) {
    return std::getc(input);
}

std::FILE* consoleOutput() {
    return stdout;
}

bool outputIsTerminal() {
    return _isatty(_fileno(stdout)) != 0;
}

// A directory does not open here.
std::FILE* openTextFile(const char* name) {
    return std::fopen(name, "r");
}

// A path that fills the whole buffer may have been cut, and counts as
// unknown.
std::size_t programDirectory(char* path, std::size_t size) {
    DWORD got = GetModuleFileNameA(nullptr, path, static_cast<DWORD>(size));
    if (got == 0 || got >= size) return 0;
    std::size_t length = got;
    while (length > 0 && path[length - 1] != '\\' && path[length - 1] != '/') --length;
    return length;
}

// Beside the .exe, as the zip and the installer put it.
const char* installedListPlace() {
    return "engldict.txt";
}

void tuneHeap() {}

void writeLine(std::FILE* output, const char* text, std::size_t length) {
    std::fwrite(text, 1, length, output);
    std::putc('\n', output);
}
