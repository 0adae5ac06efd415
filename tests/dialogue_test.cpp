// The start-up dialogue and the query loop, end to end on the real program.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/program_runner.h"
#include "tests/reference.h"
#include "tests/scratch_directory.h"
#include "tests/transcript.h"

namespace {

using namespace transcript;

const std::string smallList = "Cat\ncot\ndon't\ny\n";
const unsigned shippedWords = 1004066;  // packaging/make-word-list.py reports it
const std::string x99(99, 'x');

class Dialogue : public testing::Test {
protected:
    Outcome run(const std::string& input) {
        Outcome outcome = runProgram({input, scratch.path()});
        EXPECT_FALSE(outcome.hung);
        EXPECT_EQ(outcome.errors, "");
        return outcome;
    }
    void expectSession(const std::string& input, const std::string& output, int status = 0) {
        Outcome outcome = run(input);
        EXPECT_EQ(outcome.output, output);
        EXPECT_EQ(outcome.status, status);
    }
    ScratchDirectory scratch;
};

TEST(StartUp, ShippedListLoadsByDefault) {
    Outcome outcome = runProgram({"\n\n", SOURCE_DIR});
    EXPECT_EQ(outcome.output, filePrompt + load("engldict.txt", false, shippedWords) + end);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.errors, "");
}

TEST_F(Dialogue, AsksAgainUntilAListOpens) {
    scratch.write("engldict.txt", smallList);
    scratch.makeDirectory("sub");
    expectSession("nosuch\n   \nsub\n\nn\n",
                  filePrompt + cantAccess("nosuch") + filePrompt + cantAccess("   ") + filePrompt +
                      cantAccess("sub") + filePrompt + load("engldict.txt", false, 4) + end);
    // Windows ignores the case of a name and drops its trailing blanks and
    // dots; elsewhere each of these names another file.
    for (std::string name : {"ENGLDICT.TXT", "engldict.txt.", "engldict.txt "}) {
        SCOPED_TRACE(name);
        expectSession(name + "\n\nn\n", forWindows()
                                            ? filePrompt + load(name, false, 4) + search("") + end
                                            : filePrompt + cantAccess(name) + filePrompt +
                                                  load("engldict.txt", false, 4) + end);
    }
    // A name is its bytes as typed, UTF-8 or not: an é in Latin-1 and in UTF-8
    // names two lists. Windows reads a name through its code page.
    if (forWindows()) return;
    scratch.write("caf\xe9 list", "cat\n");
    scratch.write("caf\xc3\xa9 list", smallList);
    for (auto [name, words] :
         {std::pair<std::string, unsigned>{"caf\xe9 list", 1}, {"caf\xc3\xa9 list", 4}})
        expectSession("\xe9\n" + name + "\nn\n", filePrompt + cantAccess("\xe9") + filePrompt +
                                                     load(name, false, words) + end);
}

TEST_F(Dialogue, LongNamesAreTriedInPiecesOf99) {
    scratch.write("engldict.txt", smallList);
    scratch.write(std::string(99, 'w'), "a\nb\n");
    const std::string fail99 = filePrompt + cantAccess(x99);
    struct {
        std::string input, output;
    } cases[] = {
        // 99 characters leave their LF, which asks for the default.
        {x99 + "\nn\n", fail99 + filePrompt + load("engldict.txt", false, 4) + end},
        {x99 + "engldict.txt\n\n", fail99 + filePrompt + load("engldict.txt", false, 4) + end},
        // The rest of a line whose first 99 characters opened answers the question.
        {std::string(99, 'w') + "yes\n", filePrompt + load(std::string(99, 'w'), true, 2) + end},
        {std::string(300, 'x') + "\n", fail99 + fail99 + fail99 + filePrompt + cantAccess("xxx") +
                                           filePrompt + load("engldict.txt", false, 4) + end},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        expectSession(c.input, c.output);
    }
}

TEST_F(Dialogue, AnyYInTheAnswerStripsPunctuation) {
    scratch.write("engldict.txt", "don't\n");
    for (const char* answer : {"y", "Y", "Yes", "YES", "okay", "n", "no", "x", ""}) {
        SCOPED_TRACE(answer);
        bool strip = std::string(answer).find_first_of("yY") != std::string::npos;
        expectSession("\n" + std::string(answer) + "\n",
                      filePrompt + load("engldict.txt", strip, 1) + end);
    }
    // A y after the 99th character is not part of the answer but the first search.
    scratch.write("engldict.txt", "don't\ny\n");
    expectSession("\n" + std::string(99, 'n') + "y\n",
                  filePrompt + load("engldict.txt", false, 2) + search("y\n") + end);
}

TEST_F(Dialogue, EmptyListGreetsWithNoWords) {
    scratch.write("engldict.txt", "");
    expectSession("\n\n", filePrompt + load("engldict.txt", false, 0) + end);
}

TEST_F(Dialogue, EndOfInputEndsTheProgramAtEveryPrompt) {
    const std::string loaded = filePrompt + load("engldict.txt", false, 4);
    struct {
        bool listPresent;
        std::string input, output;
        int status;
    } cases[] = {
        // The program in the build tree has no installed list to fall back on.
        {false, "", filePrompt + cantAccess("engldict.txt"), 1},
        {false, "\n\n\n",
         filePrompt + cantAccess("engldict.txt") + filePrompt + cantAccess("engldict.txt") +
             filePrompt + cantAccess("engldict.txt") + filePrompt + cantAccess("engldict.txt"),
         1},
        {true, "nosuch", filePrompt + cantAccess("nosuch"), 1},
        {true, "", loaded + end, 0},
        {true, "\nn", loaded + end, 0},
        {true, "\nn\n\n\n\n", loaded + end, 0},
        {true, "\nn\ncat", loaded + search("cat\n") + end, 0},
        // On Windows 0x1A ends the input; elsewhere it is an ordinary byte.
        {true, "\nn\nc?t\x1A\ncot\n",
         loaded + (forWindows() ? search("cat\ncot\n") : search("") + search("cot\n")) + end, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        if (c.listPresent) scratch.write("engldict.txt", smallList);
        expectSession(c.input, c.output, c.status);
    }
}

TEST_F(Dialogue, SearchStringsAreFoldedAndLongLinesSearchedInPieces) {
    scratch.write("engldict.txt", smallList);
    const std::string loaded = filePrompt + load("engldict.txt", false, 4);
    struct {
        std::string input, output;
    } cases[] = {
        {"CAT\n", search("cat\n")},
        {"c?t\n\n\n?\n", search("cat\ncot\n") + search("y\n")},
        // 99 characters leave their LF, which the next prompt skips.
        {x99 + "\n", search("")},
        {std::string(99, '?') + "COT\n", search("") + search("cot\n")},
        {"c*\n", search("cat\ncot\n")},
        {"C?T\r\n\r\n?\r\n", search("cat\ncot\n") + search("y\n")},
        // Only the CR directly before LF belongs to the line end.
        {"c?t\r\r\n", search("")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        expectSession("\nn\n" + c.input, loaded + c.output + end);
    }
}

TEST_F(Dialogue, RunningOutOfMemoryWhileLoadingStops) {
#ifdef SANITIZED
    GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
#endif
    // The in-process allocation failures (failure_test) cover it there.
    if (underEmulator()) GTEST_SKIP() << "the limit would bind the emulator, not the program";
    std::string list;
    for (int i = 0; i < 200000; ++i) list += std::string(99, 'a' + i % 26) + "\n";
    scratch.write("engldict.txt", list);
    Outcome outcome = runProgram({"\n\n\n", scratch.path(), 16L << 20});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.errors, "");
    ASSERT_GE(outcome.output.size(), outOfMemory.size());
    EXPECT_EQ(outcome.output.substr(outcome.output.size() - outOfMemory.size()), outOfMemory);
    EXPECT_EQ(outcome.output.find("There are"), std::string::npos);
}

TEST_F(Dialogue, PausesTakeTypedAheadLinesAndLeaveTheRestForThePrompt) {
    scratch.write("engldict.txt", repeat("w\n", 30) + "x\n");
    const std::string page = repeat("w\n", 23) + pausePrompt;
    expectSession("\nn\nw\n" + std::string(60, 'r') + "\n?\n\n",
                  filePrompt + load("engldict.txt", false, 31) + search(page + repeat("w\n", 7)) +
                      search("") + search(page + repeat("w\n", 7) + "x\n") + end);
}

// The shipped list's entries as the program stores them.
std::vector<std::string> shippedEntries() {
    std::ifstream file(std::string(SOURCE_DIR) + "/engldict.txt", std::ios::binary);
    std::vector<std::string> entries;
    for (std::string line; std::getline(file, line);)
        entries.push_back(reference::lowercased(line));
    return entries;
}

// Every entry as a grid holds it, so that what a solver types finds it: the
// letters a-z only, and no entry stored twice.
TEST(ShippedList, IsLettersOnlyWithoutRepeats) {
    std::set<std::string> seen;
    for (const std::string& entry : shippedEntries()) {
        for (char c : entry) ASSERT_TRUE(c >= 'a' && c <= 'z') << entry;
        EXPECT_TRUE(seen.insert(entry).second) << entry << " stored twice";
    }
}

// Every search of a session over the shipped list, byte for byte, against an
// independent model of the listing.
TEST(Sessions, SearchesOfTheShippedListMatchTheModel) {
    std::vector<std::string> entries = shippedEntries();
    ASSERT_EQ(entries.size(), shippedWords);
    std::string input = "\nn\n", output = filePrompt + load("engldict.txt", false, shippedWords);
    for (std::string query : {"?NOW???GE", "?hy*i*og?", "*z*z*z*", "r*y*y*", "c?t", "*tion",
                              "*q*u*", "????????", "*e*e*e*e*", "?", "a*a*a*a*a", "*ph?l*", "*"}) {
        query = reference::lowercased(query);
        int pauses = 0;
        output += search(reference::listing(entries, query, &pauses));
        input += query + "\n" + repeat("\n", pauses);
    }
    Outcome outcome = runProgram({input, SOURCE_DIR});
    EXPECT_EQ(outcome.output, output + end);
    EXPECT_EQ(outcome.status, 0);
}

// Wine draws a console of its own on a terminal, with escape sequences that
// hide and move the cursor and an echo of what is typed: what reaches the
// terminal is not the program's bytes, so these tests do not run there.
class OnATerminal : public testing::Test {
protected:
    void SetUp() override {
        if (forWindows()) GTEST_SKIP() << "wine adds bytes of its own on a terminal";
    }
};

// At each wait, everything written since the last is on screen, and nothing else.
TEST_F(OnATerminal, PromptsAreShownBeforeTheProgramWaits) {
    ScratchDirectory scratch;
    scratch.write("engldict.txt", "cat\ncot\n" + repeat("w\n", 30));
    struct {
        std::string keys, shown;
    } steps[] = {
        {"", filePrompt},
        {"\n", punctuationQuestion},
        {"n\n", load("engldict.txt", false, 32).substr(punctuationQuestion.size())},
        {"c?t\n", search("cat\ncot\n")},
        {"?\n", "\n\n" + repeat("w\n", 23) + pausePrompt},
        {"\n", repeat("w\n", 7) + "\n\n" + searchPrompt},
    };
    TerminalSession session(scratch.path());
    ASSERT_TRUE(session.started());
    for (const auto& step : steps) {
        SCOPED_TRACE(step.keys);
        session.type(step.keys);
        EXPECT_EQ(session.waitFor(step.shown), step.shown);
    }
}

// The list comes through a FIFO, so that the program waits in the middle of
// loading, when the count it has written must already be on screen.
TEST_F(OnATerminal, RunningCountIsShownWhileLoading) {
    ScratchDirectory scratch;
    ASSERT_EQ(mkfifo((scratch.path() + "/engldict.txt").c_str(), 0600), 0);
    TerminalSession session(scratch.path());
    ASSERT_EQ(session.waitFor(filePrompt), filePrompt);
    session.type("\n");
    int list = open((scratch.path() + "/engldict.txt").c_str(), O_WRONLY);
    ASSERT_GE(list, 0);
    EXPECT_EQ(session.waitFor(punctuationQuestion), punctuationQuestion);
    session.type("n\n");
    // One full read of the loader: 51,200 entries, the count shown at every
    // hundredth, the last of them standing for the final count.
    const std::string chunk = repeat("w\n", 51200);
    ASSERT_EQ(write(list, chunk.data(), chunk.size()), static_cast<ssize_t>(chunk.size()));
    const std::string counted = loading("engldict.txt", false) + countDisplay(51100, 51200);
    EXPECT_EQ(session.waitFor(counted), counted);
    close(list);
    const std::string loaded = countRefresh(51200) + greeting(51200) + searchPrompt;
    EXPECT_EQ(session.waitFor(loaded), loaded);
}

}  // namespace
