// Pallimorvenquist: finds the words of a word list that fit a pattern.
// There is no command line; everything is asked for on the console.

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>

#include "dialogue/console.h"
#include "dialogue/session.h"
#include "store/memory.h"

namespace {

bool outputIsTerminal() {
#if defined(_WIN32)
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(STDOUT_FILENO) != 0;
#endif
}

}  // namespace

int main() {
    tuneHeap();
    useConsole(stdin, stdout, outputIsTerminal());
    std::exit(runSession());
}
