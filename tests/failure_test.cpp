// Running out of memory at every allocation the program makes.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "dialogue/console.h"
#include "dialogue/session.h"
#include "search/search.h"
#include "tests/program_runner.h"
#include "tests/test_support.h"

namespace {

const char fatalStop[] =
    "\a\a\a\nFATAL ERROR: Application has run out of memory\\.\nHit return to quit\\.\n$";

// The console writes to standard error, where the death test can see it.
void useDeathTestConsole() {
    useConsole(std::fopen("/dev/null", "r"), stderr, true);
}

TEST(OutOfMemory, EveryAllocationWhileLoadingEndsWithTheFatalStop) {
    ScratchDirectory scratch;
    std::string list;
    for (int i = 0; i < 3000; ++i) list += std::string(99, 'a') + "\n";  // two blocks
    scratch.write("engldict.txt", list);
    // The read buffer, then each block's record and its text.
    for (long failing = 1; failing <= 5; ++failing) {
        SCOPED_TRACE(failing);
        EXPECT_EXIT(
            {
                std::filesystem::current_path(scratch.path());
                useDeathTestConsole();
                FailingAllocator allocator(failing);
                runSession();
            },
            testing::ExitedWithCode(1), fatalStop);
    }
}

TEST(OutOfMemory, EverySegmentOfAStarPatternEndsWithTheFatalStop) {
    WordStore store;
    store.addWord("abc");
    for (long failing = 1; failing <= 3; ++failing) {
        SCOPED_TRACE(failing);
        EXPECT_EXIT(
            {
                useDeathTestConsole();
                FailingAllocator allocator(failing);
                searchStar("*a*b*c*", store);
            },
            testing::ExitedWithCode(1), std::string("^") + fatalStop);
    }
    // Without segments nothing is allocated.
    FakeConsole console;
    FailingAllocator allocator(1, true);
    searchStar("a**c", store);
    EXPECT_EQ(console.output(), "abc\n");
}

}  // namespace
