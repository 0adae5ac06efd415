#include "tests/program_runner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#ifndef PROGRAM
#define PROGRAM ""  // then --program must name it
#endif

namespace {

// Generous: a stuck program shows up as a hang, not as a slow test.
constexpr auto patience = std::chrono::seconds(60);

struct Target {
    std::string program = PROGRAM;
    std::string emulator;
};

Target& target() {
    static Target theTarget;
    return theTarget;
}

[[noreturn]] void startProgram(const std::string& directory) {
    if (chdir(directory.c_str()) != 0) _exit(126);
    const Target& t = target();
    if (t.emulator.empty())
        execl(t.program.c_str(), t.program.c_str(), static_cast<char*>(nullptr));
    else
        execl(t.emulator.c_str(), t.emulator.c_str(), t.program.c_str(),
              static_cast<char*>(nullptr));
    _exit(127);
}

// A Windows program's text as the program meant it: CR LF as LF.
std::string fromWindowsText(const std::string& text) {
    std::string meant;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            meant += "<LF without CR>";
        else
            meant += text[i];
    }
    return meant;
}

int statusOf(int waitStatus) {
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
}

bool drain(int fd, std::string& into) {
    char buffer[65536];
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got > 0) into.append(buffer, static_cast<std::size_t>(got));
    return got > 0 || (got < 0 && errno == EINTR);
}

}  // namespace

Outcome runProgram(const Launch& launch) {
    int in[2], out[2], err[2];
    if (pipe(in) || pipe(out) || pipe(err)) std::abort();
    pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
        if (launch.addressSpaceLimit) {
            rlimit limit{static_cast<rlim_t>(launch.addressSpaceLimit),
                         static_cast<rlim_t>(launch.addressSpaceLimit)};
            setrlimit(RLIMIT_AS, &limit);
        }
        startProgram(launch.directory);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    signal(SIGPIPE, SIG_IGN);
    fcntl(in[1], F_SETFL, O_NONBLOCK);

    Outcome outcome;
    std::size_t written = 0;
    int toProgram = in[1];
    if (launch.input.empty()) {
        close(toProgram);
        toProgram = -1;
    }
    bool outOpen = true, errOpen = true;
    auto deadline = std::chrono::steady_clock::now() + patience;
    while (outOpen || errOpen) {
        if (std::chrono::steady_clock::now() > deadline) {
            outcome.hung = true;
            kill(pid, SIGKILL);
            break;
        }
        pollfd fds[3] = {{out[0], static_cast<short>(outOpen ? POLLIN : 0), 0},
                         {err[0], static_cast<short>(errOpen ? POLLIN : 0), 0},
                         {toProgram, POLLOUT, 0}};
        poll(fds, toProgram >= 0 ? 3 : 2, 1000);
        if (fds[0].revents) outOpen = drain(out[0], outcome.output);
        if (fds[1].revents) errOpen = drain(err[0], outcome.errors);
        if (toProgram >= 0 && fds[2].revents) {
            ssize_t sent =
                write(toProgram, launch.input.data() + written, launch.input.size() - written);
            if (sent > 0) written += static_cast<std::size_t>(sent);
            if (sent < 0 && errno != EAGAIN && errno != EINTR) written = launch.input.size();
            if (written == launch.input.size()) {
                close(toProgram);
                toProgram = -1;
            }
        }
    }
    if (toProgram >= 0) close(toProgram);
    close(out[0]);
    close(err[0]);
    int waitStatus = 0;
    waitpid(pid, &waitStatus, 0);
    outcome.status = statusOf(waitStatus);
    if (forWindows()) {
        outcome.output = fromWindowsText(outcome.output);
        outcome.errors = fromWindowsText(outcome.errors);
    }
    return outcome;
}

TerminalSession::TerminalSession(const std::string& directory) {
    termios raw{};
    cfmakeraw(&raw);
    pid_t pid = forkpty(&terminal, nullptr, &raw, nullptr);
    if (pid == 0) startProgram(directory);
    child = pid;
}

TerminalSession::~TerminalSession() {
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    if (terminal >= 0) close(terminal);
}

std::string TerminalSession::waitFor(const std::string& expected) {
    std::string got;
    auto deadline = std::chrono::steady_clock::now() + patience;
    while (got.size() < expected.size() && expected.compare(0, got.size(), got) == 0) {
        if (std::chrono::steady_clock::now() > deadline) break;
        pollfd fd{terminal, POLLIN, 0};
        if (poll(&fd, 1, 1000) > 0 && !drain(terminal, got)) break;
    }
    return got;
}

void TerminalSession::type(const std::string& keys) {
    if (write(terminal, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size()))
        std::abort();
}

const std::string& programPath() {
    return target().program;
}

namespace {

bool programEndsWith(const std::string& suffix) {
    const std::string& program = target().program;
    return program.size() > suffix.size() &&
           program.compare(program.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

// The Node runner's WebAssembly lies in the site beside it.
std::string programImage() {
    const std::string& program = target().program;
    if (!programEndsWith(".mjs")) return program;
    return program.substr(0, program.rfind('/') + 1) + "site/pallimorvenquist.wasm";
}

std::vector<std::string> programCommand() {
    const Target& t = target();
    if (t.emulator.empty()) return {t.program};
    return {t.emulator, t.program};
}

bool underEmulator() {
    return !target().emulator.empty();
}

bool forWindows() {
    return programEndsWith(".exe");
}

namespace {

// Takes `argument` into `value` if it is `option` (--name=) and a value.
bool takeOption(const char* argument, const char* option, std::string& value) {
    std::size_t length = std::strlen(option);
    if (std::strncmp(argument, option, length) != 0) return false;
    value = argument + length;
    return true;
}

}  // namespace

// GoogleTest's options, then which program to run and how:
//   dialogue_tests [--gtest_...] [--program=PATH] [--emulator=PATH]
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (takeOption(argv[i], "--program=", target().program) ||
            takeOption(argv[i], "--emulator=", target().emulator))
            continue;
        std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
        return 2;
    }
    return RUN_ALL_TESTS();
}
