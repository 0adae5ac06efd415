#include "store/text_reader.h"

#include <cstring>

#include "dialogue/platform.h"

namespace {
constexpr char endOfText = 0x1A;
}

std::size_t TextReader::read(char* buffer, std::size_t size) {
    if (ended) return 0;
    std::size_t got = std::fread(buffer, 1, size, file);
    if (!runtimeReadsText()) return fold(buffer, got);
    // A read that delivers less than asked for has met the end of the text
    // (the end of the file, or the 0x1A where the runtime stops), and the
    // file is not read again.
    ended = got < size;
    return got;
}

bool TextReader::lineFeedFollows() {
    int following = std::getc(file);
    if (following == '\n') return true;
    if (following != EOF) std::ungetc(following, file);
    return false;
}

std::size_t TextReader::fold(char* buffer, std::size_t size) {
    char* end = buffer + size;
    if (char* stop = static_cast<char*>(std::memchr(buffer, endOfText, size))) {
        end = stop;
        ended = true;
    }

    // Fold CR LF into LF in place: the text never grows.
    char* out = buffer;
    const char* in = buffer;
    while (const char* cr = static_cast<const char*>(std::memchr(in, '\r', end - in))) {
        std::size_t run = static_cast<std::size_t>(cr - in);
        std::memmove(out, in, run);
        out += run;
        in = cr + 1;
        if (in < end) {
            bool pair = *in == '\n';
            *out++ = pair ? '\n' : '\r';
            in += pair;
        } else {
            // The CR ended this read; when 0x1A ended it, that byte follows.
            *out++ = !ended && lineFeedFollows() ? '\n' : '\r';
        }
    }
    std::size_t rest = static_cast<std::size_t>(end - in);
    if (out != in) std::memmove(out, in, rest);
    return static_cast<std::size_t>(out + rest - buffer);
}
