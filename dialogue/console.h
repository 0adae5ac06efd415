// Console helpers: every text the program writes and every line it reads
// passes through here.
//
// Owns the two console streams (standard input and output unless a caller
// attaches others) and the knowledge of whether output is an interactive
// terminal, and remembers whether input has ended.
//
// Promises: say() writes one message; on a terminal the whole message is on
// screen when say() returns, to a pipe or file it is buffered as usual.
// readLine() reads as a text-mode console does (a CR directly before LF
// belongs to the line end), takes at most size - 1 bytes and leaves the rest
// of a longer line, its line end included, for the next readLine(). It never
// reads ahead past what it returns, except to see whether a CR is followed
// by LF; a byte seen there that is not the LF is kept for the next
// readLine(). Where the C runtime reads text itself (Windows) it also does
// the folding, and ends the input at the first 0x1A; elsewhere readLine()
// folds CR LF itself and 0x1A is an ordinary byte.
//
// Caller guarantees: buffers hold `size` bytes with size >= 1; texts are
// NUL-terminated. Depends on the platform layer (dialogue/platform.h).
#pragma once

#include <cstddef>
#include <cstdio>

// Makes the console read `input` and write `output`. `interactive` says
// that output is a terminal and must be shown as each message is written.
void useConsole(std::FILE* input, std::FILE* output, bool interactive);

// Writes one message, formatted as printf does.
void say(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes `text` and a line feed: one line of a listing.
void sayLine(const char* text);
// The same for a text whose `length` the caller knows.
void sayLine(const char* text, std::size_t length);

// Reads one line into `buffer`; returns the number of bytes stored before
// the terminating NUL (a NUL byte read from input is stored and counted).
int readLine(char* buffer, int size);

// True once a read found no byte: end of input or a read error.
bool inputHasEnded();

// Folds A-Z to a-z in place; every other byte stays as it is.
void lowercase(char* text);

// 1 if `text` holds a '*', else 0.
int hasStar(const char* text);

// Reports that memory ran out, waits for one line and ends the process
// with exit status 1.
[[noreturn]] void fatalOutOfMemory();
