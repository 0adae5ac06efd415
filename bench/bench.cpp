// Micro benchmarks: the loader (MB/s, count display included) and each
// committed query on the shipped list, wamerican-insane and a generated list
// of 10,000,000 entries. All output goes to a sink that only counts bytes.

#include <benchmark/benchmark.h>

#include <sys/stat.h>

#include <cstring>
#include <map>
#include <memory>

#include "bench/bench_lists.h"
#include "dialogue/console.h"
#include "dialogue/platform.h"
#include "search/search.h"
#include "store/word_store.h"

namespace {

struct List {
    const char* name;
    std::string (*path)();
};

const List lists[] = {
    {"shipped", shippedListPath},
    {"insane", insaneListPath},
    {"10m", generatedListPath},
};

long fileSize(const std::string& path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 ? static_cast<long>(status.st_size) : 0;
}

// Loads `path` into `store` as the program does, punctuation kept.
bool load(WordStore& store, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file) return false;
    bool loaded = store.loadDictionary(file, 1) == 0;
    std::fclose(file);
    return loaded;
}

// Each list is loaded once, on first use, and kept for every query.
WordStore* loadedStore(const List& list) {
    static std::map<std::string, std::unique_ptr<WordStore>> stores;
    auto& store = stores[list.name];
    if (!store) {
        std::string path = list.path();
        CountingConsole console;
        store = std::make_unique<WordStore>();
        if (path.empty() || !load(*store, path)) return nullptr;
    }
    return store.get();
}

void runSearch(const std::string& query, WordStore& store) {
    char pattern[maxPatternLength + 1];
    std::strncpy(pattern, query.c_str(), maxPatternLength);
    pattern[maxPatternLength] = '\0';
    lowercase(pattern);
    if (hasStar(pattern))
        searchStar(pattern, store);
    else
        searchFixed(pattern, store);
}

void benchLoad(benchmark::State& state, List list) {
    std::string path = list.path();
    if (path.empty()) return state.SkipWithError("word list missing");
    CountingConsole console;
    for (auto _ : state) {
        auto store = std::make_unique<WordStore>();
        if (!load(*store, path)) return state.SkipWithError("load failed");
        benchmark::DoNotOptimize(store->wordCount);
        state.PauseTiming();  // the program never releases its store
        store.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * fileSize(path));
}

void benchQuery(benchmark::State& state, List list, std::string query) {
    WordStore* store = loadedStore(list);
    if (!store) return state.SkipWithError("word list missing");
    CountingConsole console;
    for (auto _ : state) runSearch(query, *store);
    state.counters["out_bytes"] = benchmark::Counter(static_cast<double>(console.bytesWritten()) /
                                                     static_cast<double>(state.iterations()));
}

// A walk that only steps from entry to entry: what every star search pays
// before it looks at an entry.
void benchWalk(benchmark::State& state, List list) {
    WordStore* store = loadedStore(list);
    if (!store) return state.SkipWithError("word list missing");
    for (auto _ : state) {
        long entries = 0;
        store->rewind();
        while (store->nextWord()) ++entries;
        benchmark::DoNotOptimize(entries);
    }
}

void registerAll() {
    for (const List& list : lists) {
        std::string name = list.name;
        benchmark::RegisterBenchmark(("Load/" + name).c_str(), benchLoad, list)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Walk/" + name).c_str(), benchWalk, list)
            ->Unit(benchmark::kMillisecond);
        for (const std::string& query : benchQueries())
            benchmark::RegisterBenchmark(("Query/" + name + "/" + query).c_str(), benchQuery, list,
                                         query)
                ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    tuneHeap();
    benchmark::Initialize(&argc, argv);
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
