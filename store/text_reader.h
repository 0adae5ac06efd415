// Reads a word-list file as text, the way the program's console platform
// reads text files: every CR LF pair reads as one LF, a lone CR stays, and
// the first 0x1A byte ends the input (nothing from it on is delivered).
//
// Where the C runtime reads text itself (Windows' text mode, the file opened
// with "r") it does all of this, and the reader only reads; elsewhere the
// reader does it.
//
// Promises: the text delivered does not depend on how it is cut into reads;
// a CR at the end of one read and an LF at the start of the next read as one
// LF. After 0x1A the file is not read again.
// Caller guarantees: `file` is open for reading (by openTextFile() of the
// platform layer) and outlives the reader.
#pragma once

#include <cstddef>
#include <cstdio>

class TextReader {
public:
    explicit TextReader(std::FILE* file) : file(file) {}

    // Fills up to `size` bytes of `buffer` with text; returns how many, and
    // 0 only once the input has ended.
    std::size_t read(char* buffer, std::size_t size);

private:
    // Ends the text at its first 0x1A and folds its CR LF pairs, in place;
    // returns the length of what remains of the `size` bytes read.
    std::size_t fold(char* buffer, std::size_t size);

    // Reads the byte after a CR that ended a read: true if it is the LF of
    // the pair; any other byte is put back for the next read.
    bool lineFeedFollows();

    std::FILE* file;
    bool ended = false;
};
