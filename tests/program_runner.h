// Runs the real program: through pipes with all of its input given at once,
// or on a pseudo-terminal, prompt by prompt.
//
// The program is the one this build made, unless the test driver's command
// line names another: --program=PATH, started through --emulator=PATH when
// it is built for another machine (wine for Windows, qemu for arm64). A
// Windows program (its name ends in .exe) writes every line feed as CR LF;
// its output is handed back with each CR LF as LF, and any line feed that
// came without its CR as "<LF without CR>", so that no comparison passes.
#pragma once

#include <string>
#include <vector>

struct Outcome {
    std::string output;
    std::string errors;
    int status = -1;  // exit status, or 128 + signal
    bool hung = false;
};

struct Launch {
    std::string input;
    std::string directory = ".";
    long addressSpaceLimit = 0;  // bytes; 0 for none
};

// The program's file.
const std::string& programPath();
// The file of its machine code: the program's file, or for the web build's
// Node runner the WebAssembly it runs.
std::string programImage();
// The command that starts it: the emulator first, when there is one.
std::vector<std::string> programCommand();
// True when it runs under an emulator.
bool underEmulator();
// True when it is a Windows program.
bool forWindows();

Outcome runProgram(const Launch& launch);

// The program on a pseudo-terminal in raw mode (no echo, no line-end
// translation), so that what it writes arrives as written.
class TerminalSession {
public:
    explicit TerminalSession(const std::string& directory);
    ~TerminalSession();
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    bool started() const { return child > 0; }
    // What the program wrote since the last call, read until it is as long
    // as `expected` or no longer begins as `expected` does, or until the
    // time allowed is up: at a wait, every byte written since the last.
    std::string waitFor(const std::string& expected);
    void type(const std::string& keys);

private:
    int terminal = -1;
    int child = -1;
};
