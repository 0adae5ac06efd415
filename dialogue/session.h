// The dialogue with the user, from the first prompt to the end of input:
// which word list, whether to strip punctuation, the load, the banner, and
// then one search after another.
//
// Promises: runSession() returns only when standard input has ended (0 at
// the search prompt, 1 when no word list could be opened before the end);
// the out-of-memory stop ends the process from inside it with status 1.
// Caller guarantees: the console is attached (useConsole) before the call.
#pragma once

#include "store/word_store.h"

int runSession();

void showBanner();

// Reads one non-empty search string, lower-cases it and lists what fits.
// Returns false, having searched nothing, when input ended first.
bool runQuery(WordStore& store);
