// The program's own texts, for building the exact output a session expects.
#pragma once

#include <cstdio>
#include <string>

namespace transcript {

inline std::string repeat(const std::string& text, int times) {
    std::string out;
    while (times-- > 0) out += text;
    return out;
}

const std::string filePrompt =
    "\n\nEnter dictionary name to be loaded into memory\n<RETURN for default of engldict.txt>\n";
const std::string punctuationQuestion =
    "\n\nStrip punctuation marks from dictionary words before storing in memory (y/n) ?\n";
const std::string searchPrompt = "Enter search string? ";
const std::string pausePrompt = "\nHit return to continue search ";
const std::string heartbeat = " \b";
const std::string outOfMemory =
    "\a\a\a\nFATAL ERROR: Application has run out of memory.\nHit return to quit.\n";

inline std::string cantAccess(const std::string& name) {
    return "\a\n\nError: Can't access " + name + "\n";
}

inline std::string loading(const std::string& name, bool strip) {
    return "\n\n\n\n\n\n\n\t\t\tLOADING " + name + " INTO MEMORY\n\n\t\t\t\tPLEASE WAIT...\n\n" +
           "\n\n\nPunctuation marks will " + (strip ? "" : "not ") +
           "be removed before words are stored in memory.\n";
}

inline std::string count(unsigned value) {
    char field[16];
    std::snprintf(field, sizeof field, "%10.1u", value);
    return field;
}

const std::string countHeading = "\n\n\n\n\n\n\n\n\nNumber of words read in: " + count(0);

inline std::string countRefresh(unsigned value) {
    return std::string(10, '\b') + count(value);
}

// The running count for `lineFeedEnded` entries finished by a line feed and
// `total` entries in all.
inline std::string countDisplay(unsigned lineFeedEnded, unsigned total) {
    std::string shown = countHeading;
    for (unsigned n = 100; n <= lineFeedEnded; n += 100) shown += countRefresh(n);
    return shown + countRefresh(total);
}

inline std::string greeting(unsigned words) {
    return "\n\n\n\n\n\n\nPallimorvenquist 1.0\n====================\n"
           "A word finder for crosswords and other word puzzles.\n"
           "Type a pattern and it lists every word of the list that fits.\n"
           "Any plain word list will do, one entry per line.\n\n"
           "This program will list all words found in the dictionary that\n"
           "fit your search string.\n\n"
           "Use ? to represent an unknown letter.\n"
           "Use * to represent any number of contiguous unknown letters.\n\n"
           "Example search strings:\n=======================\n"
           "?now???ge\n?hy*i*og?\n*z*z*z*\nr*y*y*\n\n"
           "***** NOTE: Use Ctrl-c to quit  *****\n"
           "\nThere are " +
           std::to_string(words) + " words in this dictionary.\n\n";
}

// From the punctuation question to the first search prompt, for a list of
// `words` entries each ending in a line feed.
inline std::string load(const std::string& name, bool strip, unsigned words) {
    return punctuationQuestion + loading(name, strip) + countDisplay(words, words) +
           greeting(words) + searchPrompt;
}

// One search: what follows the search prompt, up to the next one.
inline std::string search(const std::string& listing) {
    return "\n\n" + listing + "\n\n" + searchPrompt;
}

// The end of input at the search prompt.
const std::string end = "\n";

}  // namespace transcript
