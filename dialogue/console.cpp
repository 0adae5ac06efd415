#include "dialogue/console.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "dialogue/platform.h"

namespace {

// What the console's look past a CR found that was not the LF of a CR LF:
// a byte, EOF, or nothing.
constexpr int nothingAhead = EOF - 1;

struct Console {
    std::FILE* input;
    std::FILE* output;
    bool interactive;
    bool ended;
    int ahead;  // the next input byte, already read, or nothingAhead
};

Console& console() {
    static Console theConsole{stdin, stdout, false, false, nothingAhead};
    return theConsole;
}

void showIfInteractive() {
    if (console().interactive) std::fflush(console().output);
}

int nextByte(Console& c) {
    int byte = c.ahead;
    c.ahead = nothingAhead;
    return byte == nothingAhead ? readConsoleByte(c.input) : byte;
}

// Where the runtime does not read text, CR LF is folded here as Windows'
// text mode would; 0x1A stays an ordinary byte of the console's input. The
// byte after a lone CR is kept for the next read, and an end of input found
// there is reported by that read, not before.
int readInputByte() {
    Console& c = console();
    int byte = nextByte(c);
    if (byte == EOF) {
        c.ended = true;
        return EOF;
    }
    if (byte != '\r' || runtimeReadsText()) return byte;
    int following = nextByte(c);
    if (following == '\n') return '\n';
    c.ahead = following;
    return '\r';
}

}  // namespace

void useConsole(std::FILE* input, std::FILE* output, bool interactive) {
    console() = Console{input, output, interactive, false, nothingAhead};
}

void say(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(console().output, format, arguments);
    va_end(arguments);
    showIfInteractive();
}

void sayLine(const char* text, std::size_t length) {
    writeLine(console().output, text, length);
    showIfInteractive();
}

void sayLine(const char* text) {
    sayLine(text, std::strlen(text));
}

int readLine(char* buffer, int size) {
    int count = 0;
    while (count < size - 1) {
        int byte = readInputByte();
        if (byte == EOF || byte == '\n') break;
        buffer[count++] = static_cast<char>(byte);
    }
    buffer[count] = '\0';
    return count;
}

bool inputHasEnded() {
    return console().ended;
}

void lowercase(char* text) {
    for (char* p = text; *p; ++p)
        if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p + ('a' - 'A'));
}

int hasStar(const char* text) {
    for (const char* p = text; *p; ++p)
        if (*p == '*') return 1;
    return 0;
}

void fatalOutOfMemory() {
    // Static, so that the stop itself needs no memory.
    static char reply[10];
    say("\a\a\a\nFATAL ERROR: Application has run out of memory.\n");
    say("Hit return to quit.\n");
    readLine(reply, sizeof reply);
    std::exit(1);
}
