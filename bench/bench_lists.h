// What the benchmarks run on: the three word lists, the committed queries,
// and a console whose output only counts bytes.
//
// Promises: generatedList() writes the same 10,000,000 entries on every
// machine (they are built from the shipped list with a fixed seed); a
// CountingConsole answers every pause at once and keeps no output.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Where the three lists are; empty when the list is missing.
std::string shippedListPath();
std::string insaneListPath();
// The generated list in the build directory, written on first use.
std::string generatedListPath();

// Writes `count` generated entries, one per line, to `path`; false on error.
bool writeGeneratedList(const std::string& path, long count);

constexpr long generatedEntries = 10000000;

std::vector<std::string> benchQueries();

// Attaches the console to an endless supply of empty lines and to an output
// that counts what is written; restores standard input and output when done.
class CountingConsole {
public:
    CountingConsole();
    ~CountingConsole();
    CountingConsole(const CountingConsole&) = delete;
    CountingConsole& operator=(const CountingConsole&) = delete;

    std::uint64_t bytesWritten();

private:
    std::FILE* in;
    std::FILE* out;
    std::uint64_t written = 0;
};
