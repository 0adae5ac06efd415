// The platform layer on Linux and other POSIX systems, and, less its
// console and its opening of a name, in the web build, whose console and
// opening are platform_web.cpp's.

#include <sys/stat.h>
#include <unistd.h>

#include "dialogue/platform.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

bool runtimeReadsText() {
    return false;
}

#if !defined(__EMSCRIPTEN__)
int readConsoleByte(std::FILE* input) {
    return std::getc(input);
}

std::FILE* consoleOutput() {
    return stdout;
}

bool outputIsTerminal() {
    return isatty(STDOUT_FILENO) != 0;
}

static std::FILE* openForReading(const char* name) {
    return std::fopen(name, "r");
}
#else
std::FILE* openForReading(const char* name);  // platform_web.cpp
#endif

namespace {

// A directory opens for reading here, and would load as an empty list.
bool isDirectory(std::FILE* file) {
    struct stat status;
    return fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

std::FILE* openTextFile(const char* name) {
    std::FILE* file = openForReading(name);
    if (file && !isDirectory(file)) return file;
    if (file) std::fclose(file);
    return nullptr;
}

// The program's place comes from /proc/self/exe, so that an install under
// any prefix finds its list. A path that fills the whole buffer may have
// been cut, and counts as unknown.
std::size_t programDirectory(char* path, std::size_t size) {
    ssize_t got = readlink("/proc/self/exe", path, size);
    if (got <= 0 || static_cast<std::size_t>(got) >= size) return 0;
    std::size_t length = static_cast<std::size_t>(got);
    while (length > 0 && path[length - 1] != '/') --length;
    return length;
}

const char* installedListPlace() {
    return "../share/pallimorvenquist/engldict.txt";
}

// glibc gives every allocation from 128 KiB up a mapping of its own, which
// for a store block means a header and whole pages: 4 KiB more per block.
// From the heap the blocks lie back to back.
void tuneHeap() {
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
}

// The program is single-threaded, so a listing line need not take the
// stream's lock where the C library offers the unlocked calls; fwrite also
// skips fputs's count of the text.
void writeLine(std::FILE* output, const char* text, std::size_t length) {
#if defined(__GLIBC__)
    fwrite_unlocked(text, 1, length, output);
    putc_unlocked('\n', output);
#else
    std::fwrite(text, 1, length, output);
    std::putc('\n', output);
#endif
}
