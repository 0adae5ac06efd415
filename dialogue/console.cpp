#include "dialogue/console.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

struct Console {
    std::FILE* input;
    std::FILE* output;
    bool interactive;
    bool ended;
    // A CR was the last byte before the end of input: the look-ahead that
    // found the end is reported by the next read, not before.
    bool endAfterCarriageReturn;
};

Console& console() {
    static Console theConsole{stdin, stdout, false, false, false};
    return theConsole;
}

void showIfInteractive() {
    if (console().interactive) std::fflush(console().output);
}

#if defined(_WIN32)
// The C runtime reads standard input in text mode: it folds CR LF and ends
// the input at 0x1A itself, so the bytes are taken as they come.
int readInputByte() {
    Console& c = console();
    int byte = std::getc(c.input);
    if (byte == EOF) c.ended = true;
    return byte;
}
#else
// Elsewhere the program folds CR LF itself, as the runtime would on Windows;
// 0x1A is an ordinary byte here.
int readInputByte() {
    Console& c = console();
    if (c.endAfterCarriageReturn) {
        c.ended = true;
        return EOF;
    }
    int byte = std::getc(c.input);
    if (byte == EOF) {
        c.ended = true;
        return EOF;
    }
    if (byte != '\r') return byte;
    int following = std::getc(c.input);
    if (following == '\n') return '\n';
    if (following == EOF)
        c.endAfterCarriageReturn = true;
    else
        std::ungetc(following, c.input);
    return '\r';
}
#endif

}  // namespace

void useConsole(std::FILE* input, std::FILE* output, bool interactive) {
    console() = Console{input, output, interactive, false, false};
}

void say(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(console().output, format, arguments);
    va_end(arguments);
    showIfInteractive();
}

// The program is single-threaded, so a listing line need not take the
// stream's lock; fwrite also skips fputs's count of the text.
void sayLine(const char* text, std::size_t length) {
    std::FILE* output = console().output;
#if defined(__GLIBC__)
    fwrite_unlocked(text, 1, length, output);
    putc_unlocked('\n', output);
#else
    std::fwrite(text, 1, length, output);
    std::putc('\n', output);
#endif
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
