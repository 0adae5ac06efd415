// The start-up dialogue and the query loop, end to end on the real program.

#include <gtest/gtest.h>

#include <string>

#include "tests/program_runner.h"
#include "tests/transcript.h"

namespace {

using namespace transcript;

const std::string smallList = "Cat\ncot\ndon't\ny\n";
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
    EXPECT_EQ(outcome.output, filePrompt + load("engldict.txt", false, 104334) + end);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.errors, "");
}

TEST_F(Dialogue, AsksAgainUntilAListOpens) {
    scratch.write("engldict.txt", smallList);
    scratch.makeDirectory("sub");
    expectSession("nosuch\n   \nsub\n\nn\n",
                  filePrompt + cantAccess("nosuch") + filePrompt + cantAccess("   ") + filePrompt +
                      cantAccess("sub") + filePrompt + load("engldict.txt", false, 4) + end);
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
        {false, "", filePrompt + cantAccess("engldict.txt"), 1},
        {false, "\n\n\n", filePrompt + cantAccess("engldict.txt") + filePrompt +
                              cantAccess("engldict.txt") + filePrompt + cantAccess("engldict.txt") +
                              filePrompt + cantAccess("engldict.txt"), 1},
        {true, "nosuch", filePrompt + cantAccess("nosuch"), 1},
        {true, "", loaded + end, 0},
        {true, "\nn", loaded + end, 0},
        {true, "\nn\n\n\n\n", loaded + end, 0},
        {true, "\nn\ncat", loaded + search("cat\n") + end, 0},
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

TEST(OnATerminal, PromptsAreShownBeforeTheProgramWaits) {
    ScratchDirectory scratch;
    scratch.write("engldict.txt", smallList);
    TerminalSession session(scratch.path());
    ASSERT_TRUE(session.started());
    EXPECT_TRUE(session.waitFor(filePrompt));
    session.type("\n");
    EXPECT_TRUE(session.waitFor(punctuationQuestion));
    session.type("n\n");
    std::string seen;
    EXPECT_TRUE(session.waitFor(searchPrompt, &seen));
    EXPECT_EQ(filePrompt + punctuationQuestion + seen, filePrompt + load("engldict.txt", false, 4));
    session.type("c?t\n");
    EXPECT_TRUE(session.waitFor(search("cat\ncot\n")));
}

}  // namespace
