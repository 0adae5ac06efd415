// The console as a user sees it: the real program in a terminal of 80 by 25
// (a tmux session on a socket of the test's own), and at each point where
// it waits, the whole screen, with the lines that scrolled off the top and
// the cursor, compared with what a terminal shows for the program's texts.
// A Windows program runs under wine, which draws its console into that
// terminal; the screens must be the same.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tests/program_runner.h"
#include "tests/scratch_directory.h"
#include "tests/transcript.h"

namespace {

using namespace transcript;

constexpr int columns = 80, rows = 25;
// Generous: the first start of wine in a build makes its prefix.
constexpr auto patience = std::chrono::seconds(60);
const std::string ctrlC = "\x03";

// What a terminal shows for the bytes written to it: lines of at most 80
// columns, the cursor moved by CR, LF (which the terminal, or the Windows
// console, turns into CR LF), backspace and tab; a bell shows nothing.
class Screen {
public:
    void show(const std::string& bytes) {
        for (char c : bytes) {
            if (c == '\n') {
                newLine();
            } else if (c == '\r') {
                column = 0;
            } else if (c == '\b') {
                column -= column > 0;
            } else if (c == '\t') {
                column = std::min(columns - 1, (column / 8 + 1) * 8);
            } else if (c != '\a') {
                if (column == columns) newLine();
                std::string& line = lines.back();
                if (line.size() <= static_cast<std::size_t>(column)) line.resize(column + 1, ' ');
                line[column++] = c;
            }
        }
    }
    // As `TmuxSession::state` gives it.
    std::string state(bool ended) const {
        std::string text;
        for (std::string line : lines) {
            line.erase(line.find_last_not_of(' ') + 1);
            text += line + "\n";
        }
        // The screen's rows below the last line written are empty.
        const int used = static_cast<int>(lines.size());
        if (used < rows) text += std::string(rows - used, '\n');
        return text + "cursor " + std::to_string(column) + "," +
               std::to_string(std::min(used, rows) - 1) + (ended ? ", program ended\n" : "\n");
    }

private:
    void newLine() {
        lines.emplace_back();
        column = 0;
    }
    std::vector<std::string> lines{""};
    int column = 0;
};

// Runs `command`; its output, and in `succeeded` whether it ended with status 0.
std::string outputOf(std::vector<std::string> command, bool* succeeded = nullptr) {
    std::vector<char*> argv;
    for (std::string& argument : command) argv.push_back(&argument[0]);
    argv.push_back(nullptr);
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) std::abort();
    pid_t pid = fork();
    if (pid == 0) {
        int nothing = open("/dev/null", O_RDWR);
        dup2(nothing, 0);
        dup2(out[1], 1);
        dup2(nothing, 2);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(out[1]);
    std::string output;
    char buffer[4096];
    for (ssize_t got; (got = read(out[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<std::size_t>(got));
    close(out[0]);
    int status = -1;
    waitpid(pid, &status, 0);
    if (succeeded) *succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return output;
}

// `text` with each tab as the blanks up to the next tab stop. A newer tmux
// (Debian unstable's 3.8) keeps a tab that the program wrote, and
// capture-pane gives it back as a tab; the terminal shows blanks either way.
std::string expandTabs(const std::string& text) {
    std::string expanded;
    std::size_t column = 0;
    for (char c : text) {
        if (c == '\t') {
            do expanded += ' ';
            while (++column % 8 != 0);
        } else {
            expanded += c;
            column = c == '\n' ? 0 : column + 1;
        }
    }
    return expanded;
}

// `words` as one command line for the shell, each word quoted: tmux hands
// the words of a command to the shell joined by blanks, and a path may hold
// a blank.
std::string shellCommand(const std::vector<std::string>& words) {
    std::string line;
    for (const std::string& word : words) {
        if (!line.empty()) line += ' ';
        line += '\'';
        for (char c : word) line += c == '\'' ? std::string("'\\''") : std::string(1, c);
        line += '\'';
    }
    return line;
}

// The program alone in a detached tmux session of 80 by 25, with a server,
// socket and settings of its own. An ended program's pane stays, with its
// last screen and nothing added.
class TmuxSession {
public:
    explicit TmuxSession(const std::string& directory) {
        home.write("tmux.conf",
                   "set-option -g remain-on-exit on\n"
                   "set-option -g remain-on-exit-format \"\"\n");
        std::vector<std::string> start = {
            "new-session",        "-d", "-x",     std::to_string(columns), "-y",
            std::to_string(rows), "-c", directory};
        start.push_back(shellCommand(programCommand()));
        tmux(start, &running);
    }
    ~TmuxSession() { tmux({"kill-server"}); }
    TmuxSession(const TmuxSession&) = delete;
    TmuxSession& operator=(const TmuxSession&) = delete;

    bool started() const { return running; }
    // Types `keys`, each LF as Return.
    void type(std::string keys) {
        if (keys.empty()) return;
        if (forWindows()) awaitRawTerminal();
        for (char& c : keys)
            if (c == '\n') c = '\r';
        tmux({"send-keys", "-l", keys});
    }
    // The whole screen, the lines above it first, each without its trailing
    // blanks; then the cursor, and whether the program has ended.
    std::string state() {
        return expandTabs(tmux({"capture-pane", "-p", "-S", "-", ";", "display-message", "-p",
                                "cursor #{cursor_x},#{cursor_y}#{?pane_dead,#, program ended,}"}));
    }
    // The state once it is `expected`, or the last one seen within the time allowed.
    std::string waitFor(const std::string& expected) {
        std::string seen;
        awaitWithinPatience([&] { return (seen = state()) == expected; });
        return seen;
    }

private:
    // Asks `done` every 10 ms until it says yes or the time allowed is up.
    template <typename Done>
    static void awaitWithinPatience(Done done) {
        auto deadline = std::chrono::steady_clock::now() + patience;
        while (!done() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Wine's console puts the terminal into raw mode a moment after it has
    // drawn the first prompt. A key typed before then passes the terminal's
    // line discipline, which turns Return into LF, and the console shows
    // ^J and reads no line. A Windows console has no such moment, so under
    // wine keys are typed only once the terminal is raw.
    void awaitRawTerminal() {
        std::string tty = tmux({"display-message", "-p", "#{pane_tty}"});
        tty.erase(tty.find_last_not_of('\n') + 1);
        awaitWithinPatience([&] { return isRaw(tty); });
    }
    static bool isRaw(const std::string& tty) {
        int fd = open(tty.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
        termios settings{};
        bool raw = fd >= 0 && tcgetattr(fd, &settings) == 0 && (settings.c_lflag & ICANON) == 0;
        if (fd >= 0) close(fd);
        return raw;
    }

    std::string tmux(std::vector<std::string> arguments, bool* succeeded = nullptr) {
        arguments.insert(arguments.begin(),
                         {"tmux", "-S", home.path() + "/socket", "-f", home.path() + "/tmux.conf"});
        return outputOf(arguments, succeeded);
    }

    ScratchDirectory home;
    bool running = false;
};

// What the console echoes of the keys typed: Return as a line end; Ctrl-C
// as ^C on a Linux terminal, and not at all on a Windows console.
std::string echo(const std::string& keys) {
    std::string shown;
    for (char c : keys) shown += c != ctrlC[0] ? std::string(1, c) : forWindows() ? "" : "^C";
    return shown;
}

std::string entries(int from, int to) {
    std::string text;
    for (int n = from; n <= to; ++n) text += (n < 10 ? "w0" : "w") + std::to_string(n) + "\n";
    return text;
}

TEST(OnScreen, EachWaitShowsTheWholeScreenAsATerminalWould) {
    if (outputOf({"tmux", "-V"}).empty()) GTEST_SKIP() << "tmux is not installed";
    ScratchDirectory scratch;
    scratch.write("engldict.txt", "Cat\ncot\n" + entries(1, 50));
    const unsigned words = 52;
    struct {
        std::string keys;   // what the user types
        std::string shown;  // what the program writes then, up to its next wait
    } steps[] = {
        {"", filePrompt},
        {"\n", punctuationQuestion},
        {"n\n", loading("engldict.txt", false) + countDisplay(words, words) + greeting(words) +
                    searchPrompt},
        {"c?t\n", search("cat\ncot\n")},
        // A page: 23 matches, an empty line and the pause at the bottom line.
        {"w*\n", "\n\n" + entries(1, 23) + pausePrompt},
        {"\n", entries(24, 46) + pausePrompt},
        {"\n", entries(47, 50) + "\n\n" + searchPrompt},
        // Ctrl-C ends the program at once: nothing more on the screen.
        {ctrlC, ""},
    };
    TmuxSession session(scratch.path());
    ASSERT_TRUE(session.started());
    Screen screen;
    for (const auto& step : steps) {
        SCOPED_TRACE("after typing \"" + step.keys + "\"");
        session.type(step.keys);
        screen.show(echo(step.keys) + step.shown);
        std::string expected = screen.state(step.keys == ctrlC);
        ASSERT_EQ(session.waitFor(expected), expected);
    }
}

}  // namespace
