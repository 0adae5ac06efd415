// The console of the web build: in a browser, the page's terminal; under
// Node.js, the runner's standard input and output; and the opening of a
// word list by its name. Everything else of the web build (the directory
// check, the heap, the program's unknown place) is the POSIX layer,
// platform_posix.cpp, compiled beside this file.
//
// The page or the runner (web/page.js, web/runner.mjs) hands the module,
// as properties of the Module object, what is used here:
//   readConsoleInput(size): a promise of at most `size` bytes of input (a
//     Uint8Array), at least one, or none at the end of input;
//   writeConsoleOutput(bytes): takes the bytes written, exactly as written;
//   outputIsTerminal: true when the output is read as it is written;
//   pathFromBytes(bytes), optional: the file system's path for a name of
//     these bytes (a Uint8Array). Without it a name is read as UTF-8, as the
//     page names the files opened through it.

#include <emscripten.h>
#include <unistd.h>

#include <cstring>

#include "dialogue/platform.h"

namespace {

// A browser's page cannot block: while the page waits for input, Asyncify
// unwinds the program's stack, and rewinds it when the promise resolves.
// Only the functions on a direct path from main to this call are
// instrumented for that (the build ignores indirect calls).
EM_ASYNC_JS(int, awaitConsoleInput, (char* buffer, int size), {
    const bytes = await Module["readConsoleInput"](size);
    HEAPU8.set(bytes, buffer);
    return bytes.length;
});

// A copy: the page's terminal reads what it is given later, and a view of
// the program's memory would not survive the memory's growth.
EM_JS(void, writeConsoleOutput, (const char* bytes, int length),
      { Module["writeConsoleOutput"](HEAPU8.slice(bytes, bytes + length)); });

EM_JS(int, hostOutputIsTerminal, (), { return Module["outputIsTerminal"] ? 1 : 0; });

// Emscripten's own open reads a name as UTF-8, which changes any name that is
// not: here the page or the runner makes the path of the name's bytes, so
// that the runner can hand the system those very bytes. The descriptor, or -1.
EM_JS(int, openNamedForReading, (const char* name, int length), {
    const bytes = HEAPU8.slice(name, name + length);
    const path =
        Module["pathFromBytes"] ? Module["pathFromBytes"](bytes) : new TextDecoder().decode(bytes);
    try {
        return FS.open(path, "r").fd;
    } catch (error) {
        if (error instanceof FS.ErrnoError) return -1;
        throw error;
    }
});

// Input taken from the page and not yet read by the console.
struct Pending {
    char bytes[4096];
    int next = 0;
    int end = 0;
    // As a C stream's end-of-file indicator: the host reports an end of
    // input (Ctrl-D) once, and every later read sees it, as on Linux.
    bool ended = false;
};

ssize_t writeToHost(void*, const char* bytes, std::size_t length) {
    writeConsoleOutput(bytes, static_cast<int>(length));
    return static_cast<ssize_t>(length);
}

}  // namespace

int readConsoleByte(std::FILE* input) {
    if (input != stdin) return std::getc(input);
    static Pending pending;
    if (pending.ended) return EOF;
    if (pending.next == pending.end) {
        pending.next = 0;
        pending.end = awaitConsoleInput(pending.bytes, sizeof pending.bytes);
        if (pending.end <= 0) {
            pending.end = 0;
            pending.ended = true;
            return EOF;
        }
    }
    return static_cast<unsigned char>(pending.bytes[pending.next++]);
}

// Emscripten's own standard output decodes it as UTF-8, line by line; this
// stream hands every byte on as it is, buffered by the C library as a
// stream to a file is.
std::FILE* consoleOutput() {
    static std::FILE* output = fopencookie(nullptr, "w", {nullptr, writeToHost, nullptr, nullptr});
    return output;
}

bool outputIsTerminal() {
    return hostOutputIsTerminal() != 0;
}

std::FILE* openForReading(const char* name) {
    int descriptor = openNamedForReading(name, static_cast<int>(std::strlen(name)));
    if (descriptor < 0) return nullptr;
    std::FILE* file = fdopen(descriptor, "r");
    if (!file) close(descriptor);
    return file;
}
