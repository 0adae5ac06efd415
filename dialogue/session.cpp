#include "dialogue/session.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "dialogue/console.h"
#include "dialogue/installed_list.h"
#include "dialogue/platform.h"
#include "search/search.h"

namespace {

constexpr int lineSize = 100;
const char defaultName[] = "engldict.txt";

// An installed program is seldom started in the folder of its list, so the
// default name falls back on the copy installed with it.
std::FILE* openInstalledList() {
    char path[4096];
    return installedListPath(path, sizeof path) ? openTextFile(path) : nullptr;
}

// Asks for a word list until one opens. Null when input ended first. A name
// the user typed is tried where it says and nowhere else.
std::FILE* openWordList(char* name) {
    for (;;) {
        say("\n\nEnter dictionary name to be loaded into memory\n"
            "<RETURN for default of engldict.txt>\n");
        bool typed = readLine(name, lineSize) != 0;
        if (!typed) std::strcpy(name, defaultName);
        std::FILE* file = openTextFile(name);
        if (!file && !typed) file = openInstalledList();
        if (file) return file;
        say("\a\n\nError: Can't access %s\n", name);
        if (inputHasEnded()) return nullptr;
    }
}

// Asks whether to strip punctuation; any 'y' in the answer means yes.
int askKeepPunctuation() {
    char answer[lineSize];
    say("\n\nStrip punctuation marks from dictionary words before storing in memory (y/n) ?\n");
    readLine(answer, lineSize);
    lowercase(answer);
    say("\n\n");
    return std::strchr(answer, 'y') ? 0 : 1;
}

void announceLoading(const char* name, int keepPunctuation) {
    say("\n\n\n\n\n\t\t\tLOADING %s INTO MEMORY\n", name);
    say("\n\t\t\t\tPLEASE WAIT...\n\n");
    if (keepPunctuation)
        say("\n\n\nPunctuation marks will not be removed before words are stored in memory.\n");
    else
        say("\n\n\nPunctuation marks will be removed before words are stored in memory.\n");
}

}  // namespace

void showBanner() {
    say("\n\n\n\n\n\n\nPallimorvenquist 1.0\n");
    say("====================\n");
    say("A word finder for crosswords and other word puzzles.\n");
    say("Type a pattern and it lists every word of the list that fits.\n");
    say("Any plain word list will do, one entry per line.\n\n");
    say("This program will list all words found in the dictionary that\n");
    say("fit your search string.\n\n");
    say("Use ? to represent an unknown letter.\n");
    say("Use * to represent any number of contiguous unknown letters.\n\n");
    say("Example search strings:\n");
    say("=======================\n");
    say("?now???ge\n");
    say("?hy*i*og?\n");
    say("*z*z*z*\n");
    say("r*y*y*\n\n");
    say("***** NOTE: Use Ctrl-c to quit  *****\n");
}

bool runQuery(WordStore& store) {
    char pattern[lineSize];
    say("Enter search string? ");
    while (readLine(pattern, lineSize) == 0)
        if (inputHasEnded()) return false;
    say("\n\n");
    lowercase(pattern);
    if (hasStar(pattern))
        searchStar(pattern, store);
    else
        searchFixed(pattern, store);
    return true;
}

int runSession() {
    WordStore store;
    char name[lineSize];
    std::FILE* file = openWordList(name);
    if (!file) return 1;
    int keepPunctuation = askKeepPunctuation();
    announceLoading(name, keepPunctuation);
    if (store.loadDictionary(file, keepPunctuation) == 1) fatalOutOfMemory();
    std::fclose(file);
    showBanner();
    say("\nThere are %" PRIu32 " words in this dictionary.\n\n", store.wordCount);
    while (runQuery(store)) say("\n\n");
    say("\n");
    return 0;
}
