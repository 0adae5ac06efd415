// The test helpers that differ between platforms, on Linux and other POSIX
// systems: text is read from memory as the bytes are, and output collected
// in memory.

#include <cstdlib>

#include "dialogue/console.h"
#include "tests/test_support.h"

TextInput::TextInput(const std::string& bytes) : bytes(bytes) {
    stream =
        this->bytes.empty() ? openNothing() : fmemopen(&this->bytes[0], this->bytes.size(), "r");
}

std::FILE* openNothing() {
    return std::fopen("/dev/null", "r");
}

bool underWine() {
    return false;
}

FakeConsole::FakeConsole(const std::string& input)
    : in(input), out(open_memstream(&written, &writtenSize)) {
    useConsole(in.file(), out, false);
}

FakeConsole::~FakeConsole() {
    useConsole(stdin, stdout, false);
    std::fclose(out);
    std::free(written);
}

std::string FakeConsole::output() {
    std::fflush(out);
    return std::string(written, writtenSize);
}

void writeErrorsUntranslated() {}
