// Hostile word lists, queries and input, end to end on the real program: the
// output must be exactly what an independent reading of the list gives.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/program_runner.h"
#include "tests/reference.h"
#include "tests/scratch_directory.h"
#include "tests/transcript.h"

namespace {

using namespace transcript;

// Loads `list` with the given answer, runs `queries`, answering every pause
// with an empty line, and checks every byte of the session.
void expectSession(const std::string& list, bool strip, const std::vector<std::string>& queries) {
    ScratchDirectory scratch;
    scratch.write("engldict.txt", list);
    reference::Loaded loaded = reference::load(list, !strip);
    std::string input = strip ? "\ny\n" : "\nn\n";
    std::string output = filePrompt + punctuationQuestion + loading("engldict.txt", strip) +
                         loaded.display + greeting(loaded.entries.size()) + searchPrompt;
    for (const std::string& query : queries) {
        int pauses = 0;
        output += search(reference::listing(loaded.entries, reference::lowercased(query), &pauses));
        input += query + "\n" + std::string(pauses, '\n');
    }
    Outcome outcome = runProgram({input, scratch.path()});
    EXPECT_FALSE(outcome.hung);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.errors, "");
    EXPECT_TRUE(outcome.output == output + end) << "the session's output differs";
}

const std::string bom = "\xEF\xBB\xBF";  // the UTF-8 byte-order mark

std::string everyByte() {
    std::string list;
    for (int b = 0; b < 256; ++b) list += std::string(1, char(b)) + "x" + char(b) + "\n";
    for (int b = 0; b < 256; ++b) list += char(b);
    return list;
}

TEST(HostileLists, AreLoadedExactlyAsTheirLinesSay) {
    std::ifstream program(programImage(), std::ios::binary);
    const std::string binary((std::istreambuf_iterator<char>(program)),
                             std::istreambuf_iterator<char>());
    ASSERT_GT(binary.size(), 10000u) << "cannot read " << programImage();
    struct {
        const char* what;
        std::string list;
        std::vector<std::string> queries;
    } cases[] = {
        {"the program itself", binary, {"?", "*elf*", "*"}},
        {"a million empty lines", std::string(1000000, '\n'), {"*"}},
        {"one line of 10 MB", std::string(10 << 20, 'a'), {"*"}},
        {"every byte value", everyByte(), {"?x?", "*", "?"}},
        {"a byte-order mark first", bom + "cat\n" + bom + "cot\n", {"cat", "c?t", "*c?t"}},
        {"CR LF, CR CR LF and 0x1A",
         "Cat\r\ncot\r\r\n" + std::string(99, 'q') + "\r\r\nend\x1A" + "after\r\n",
         {"*", "c?t"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (bool strip : {false, true}) expectSession(c.list, strip, c.queries);
    }
}

TEST(HostileQueries, ListExactlyWhatFits) {
    const std::string list = "%n%s\n%s%s%s%s\n" + std::string(99, 'a') + "\n" +
                             std::string(49, 'a') + "b\nabababab\n100%\n?\n*\n";
    expectSession(list, false,
                  {std::string(99, '*'), std::string(99, '?'), "%n%s", "*%*", "?*?",
                   [] {
                       std::string segments;  // 49 segments and the tail
                       for (int i = 0; i < 49; ++i) segments += "*a";
                       return segments + "*";
                   }(),
                   [] {
                       std::string segments;
                       for (int i = 0; i < 48; ++i) segments += "*a";
                       return segments + "*b";
                   }()});
}

}  // namespace
