#include "bench/bench_lists.h"

#include <sys/types.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "dialogue/console.h"

namespace {

bool readable(const std::string& path) {
    return access(path.c_str(), R_OK) == 0;
}

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

// A small generator with the same sequence everywhere (the standard
// distributions are not portable).
class Random {
public:
    explicit Random(std::uint64_t seed) : state(seed) {}
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(next() % n); }

private:
    std::uint64_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
    std::uint64_t state;
};

ssize_t countBytes(void* cookie, const char*, size_t size) {
    *static_cast<std::uint64_t*>(cookie) += size;
    return static_cast<ssize_t>(size);
}

ssize_t emptyLines(void*, char* buffer, size_t size) {
    std::memset(buffer, '\n', size);
    return static_cast<ssize_t>(size);
}

}  // namespace

std::string shippedListPath() {
    std::string path = std::string(SOURCE_DIR) + "/engldict.txt";
    return readable(path) ? path : "";
}

std::string insaneListPath() {
    std::string path = "/usr/share/dict/american-english-insane";
    return readable(path) ? path : "";
}

std::string generatedListPath() {
    std::string path = std::string(BINARY_DIR) + "/generated-10m.txt";
    if (!readable(path) && !writeGeneratedList(path, generatedEntries)) return "";
    return path;
}

// Each entry is a shipped word followed by the last 0 to 4 characters of
// another: word-like text of about the shipped lengths, 11 bytes a line.
bool writeGeneratedList(const std::string& path, long count) {
    std::vector<std::string> words = readLines(std::string(SOURCE_DIR) + "/engldict.txt");
    if (words.empty()) return false;
    std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "w");
    if (!file) return false;
    Random random(20261208);
    auto n = static_cast<std::uint32_t>(words.size());
    for (long i = 0; i < count; ++i) {
        const std::string& word = words[random.below(n)];
        const std::string& other = words[random.below(n)];
        std::size_t ending = std::min<std::size_t>(random.below(5), other.size());
        std::fputs(word.c_str(), file);
        std::fputs(other.c_str() + other.size() - ending, file);
        std::putc('\n', file);
    }
    bool written = std::fclose(file) == 0;
    return written && std::rename(temporary.c_str(), path.c_str()) == 0;
}

std::vector<std::string> benchQueries() {
    return readLines(std::string(SOURCE_DIR) + "/bench/queries.txt");
}

CountingConsole::CountingConsole() {
    in = fopencookie(nullptr, "r", cookie_io_functions_t{emptyLines, nullptr, nullptr, nullptr});
    out = fopencookie(&written, "w", cookie_io_functions_t{nullptr, countBytes, nullptr, nullptr});
    useConsole(in, out, false);
}

CountingConsole::~CountingConsole() {
    useConsole(stdin, stdout, false);
    std::fclose(in);
    std::fclose(out);
}

std::uint64_t CountingConsole::bytesWritten() {
    std::fflush(out);
    return written;
}
