// Writes the generated benchmark list: make_word_list PATH [ENTRIES].

#include <cstdio>
#include <cstdlib>

#include "bench/bench_lists.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_word_list PATH [ENTRIES]\n");
        return 2;
    }
    long count = argc == 3 ? std::atol(argv[2]) : generatedEntries;
    if (!writeGeneratedList(argv[1], count)) {
        std::fprintf(stderr, "make_word_list: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
