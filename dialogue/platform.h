// The operating system under the program. Everything that differs between
// the systems the program runs on lies behind these few functions: how the
// console's input arrives and where its output goes, whether the C runtime
// reads text itself, whether output is a terminal, how a word list is
// opened, where the program lies and where its installed list lies beside
// it, the heap's tuning, and the fastest way to write a line.
//
// Each platform defines them all in a source file of its own, and the build
// compiles exactly one: platform_posix.cpp (Linux and other POSIX systems)
// or platform_windows.cpp. The web build, in a browser or under Node.js, is
// the POSIX platform with another console: it compiles platform_posix.cpp,
// less its console and its opening of a name, and platform_web.cpp, whose
// console is the page's terminal or the Node runner's standard streams, and
// which hands a name to the page's or the runner's files as its bytes. No
// other file of the program asks which system it runs on. What the
// platforms share, such as the folding of CR LF that stands in for Windows'
// text mode, is written once in the portable code, which asks
// runtimeReadsText() whether to apply it.
//
// Owns nothing and keeps no state, but for the web console's stream and the
// input it has taken from the page and not yet handed over. Depends on
// nothing but the C library and the system's own interfaces (on the web, the
// functions that the page or the Node runner hands the module: see
// platform_web.cpp).
#pragma once

#include <cstddef>
#include <cstdio>

// True when the C runtime itself reads the console and word lists as text:
// CR LF as LF, and the first 0x1A as the end (Windows' text mode). Elsewhere
// the program does the folding of CR LF itself.
bool runtimeReadsText();

// The next byte of console input from `input`, or EOF at the end of the
// input or on a read error. On the web, stdin stands for the page's input,
// which the program waits for without blocking the page.
int readConsoleByte(std::FILE* input);

// The stream that the console writes to: standard output, or on the web a
// stream to the page's terminal.
std::FILE* consoleOutput();

// True when the console's output is an interactive terminal, where each
// message must be on screen when it has been written.
bool outputIsTerminal();

// Opens the file `name` for reading as text (in text mode where the runtime
// has one); null when it cannot be opened or is a directory.
std::FILE* openTextFile(const char* name);

// Writes the directory of the running program into `path`, with its last
// separator and without a NUL, and returns its length; 0 when the program's
// place is unknown or does not fit into `size` bytes.
std::size_t programDirectory(char* path, std::size_t size);

// Where the word list installed with the program lies, relative to the
// program's directory; NUL-terminated.
const char* installedListPlace();

// Asks the C library to serve the store's blocks from the heap. Called once
// at start-up, before the first allocation.
void tuneHeap();

// Writes the `length` bytes of `text` and a line feed to `output`, as fast
// as the C library allows on the program's one thread.
void writeLine(std::FILE* output, const char* text, std::size_t length);
