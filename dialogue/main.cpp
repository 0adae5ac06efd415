// Pallimorvenquist: finds the words of a word list that fit a pattern.
// There is no command line; everything is asked for on the console.

#include <cstdio>
#include <cstdlib>

#include "dialogue/console.h"
#include "dialogue/platform.h"
#include "dialogue/session.h"

int main() {
    tuneHeap();
    useConsole(stdin, consoleOutput(), outputIsTerminal());
    std::exit(runSession());
}
