// Runs the real program: through pipes with all of its input given at once,
// or on a pseudo-terminal, prompt by prompt.
#pragma once

#include <string>

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
    // Reads until what the program wrote since the last call ends with
    // `text`; false if it does not within the time allowed. `seen` gets what
    // was read.
    bool waitFor(const std::string& text, std::string* seen = nullptr);
    void type(const std::string& keys);

private:
    int terminal = -1;
    int child = -1;
};

// A fresh directory for one test, removed with everything in it.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    const std::string& path() const { return root; }
    void write(const std::string& name, const std::string& bytes) const;
    void makeDirectory(const std::string& name) const;

private:
    std::string root;
};
