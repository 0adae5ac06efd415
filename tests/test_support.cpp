#include "tests/test_support.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <windows.h>
#endif

#include <cctype>
#include <cstdlib>
#include <fstream>

#include "dialogue/console.h"
#include "search/search.h"
#include "store/memory.h"
#include "tests/scratch_directory.h"

#if defined(_WIN32)

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

#else

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

#endif

TextInput::~TextInput() {
    std::fclose(stream);
    if (!path.empty()) std::remove(path.c_str());
}

std::string FakeConsole::unreadInput() {
    std::string rest;
    for (int byte; (byte = std::getc(in.file())) != EOF;) rest += static_cast<char>(byte);
    return rest;
}

namespace {
long allocationCalls = 0;
long failingCall = 0;
bool failingSticky = false;

void* failOnRequest(std::size_t size) {
    ++allocationCalls;
    if (allocationCalls == failingCall || (failingSticky && allocationCalls > failingCall))
        return nullptr;
    return std::malloc(size);
}
}  // namespace

FailingAllocator::FailingAllocator(long failing, bool sticky) {
    allocationCalls = 0;
    failingCall = failing;
    failingSticky = sticky;
    useAllocator(failOnRequest);
}

FailingAllocator::~FailingAllocator() {
    useAllocator(nullptr);
}

long FailingAllocator::calls() {
    return allocationCalls;
}

std::vector<std::string> chainWalk(const WordStore& store) {
    std::vector<std::string> entries;
    EntryEnds ends;
    for (const WordBlock* block = store.firstBlock(); block; block = block->next) {
        ends.startBlock(block->start);
        for (const char* entry = block->start; entry < block->dataEnd;) {
            const char* end = ends.endOf(entry, block->dataEnd);
            entries.emplace_back(entry, end);
            entry = end + 1;
        }
    }
    return entries;
}

std::vector<std::string> cursorWalk(WordStore& store) {
    std::vector<std::string> entries;
    store.rewind();
    while (const char* entry = store.nextWord()) entries.emplace_back(entry);
    return entries;
}

void searchFor(const std::string& pattern, WordStore& store) {
    if (hasStar(pattern.c_str()))
        searchStar(pattern.c_str(), store);
    else
        searchFixed(pattern.c_str(), store);
}

int loadBytes(WordStore& store, const std::string& bytes, int keepPunctuation) {
    TextInput file(bytes);
    return store.loadDictionary(file.file(), keepPunctuation);
}

std::string testName(const char* description) {
    std::string name;
    bool capital = true;
    for (const char* p = description; *p; ++p) {
        if (std::isalnum(static_cast<unsigned char>(*p))) {
            name += capital ? static_cast<char>(std::toupper(static_cast<unsigned char>(*p))) : *p;
            capital = false;
        } else {
            capital = true;
        }
    }
    return name;
}
