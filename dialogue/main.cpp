// Pallimorvenquist: finds the words of a word list that fit a pattern.
// There is no command line; everything is asked for on the console.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "dialogue/console.h"
#include "dialogue/session.h"
#include "store/memory.h"

int main() {
    tuneHeap();
    useConsole(stdin, stdout, isatty(STDOUT_FILENO) != 0);
    std::exit(runSession());
}
