#include "dialogue/installed_list.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cstring>

namespace {

#if defined(_WIN32)
const char fromProgramDirectory[] = "engldict.txt";
#else
const char fromProgramDirectory[] = "../share/pallimorvenquist/engldict.txt";
#endif

bool isSeparator(char c) {
#if defined(_WIN32)
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

// Writes the running executable's path into `path`, without a NUL; returns
// its length, 0 when it is unknown or fills the whole buffer (and so may
// have been cut).
std::size_t programPath(char* path, std::size_t size) {
#if defined(_WIN32)
    DWORD got = GetModuleFileNameA(nullptr, path, static_cast<DWORD>(size));
    return got < size ? got : 0;
#else
    ssize_t got = readlink("/proc/self/exe", path, size);
    return got > 0 && static_cast<std::size_t>(got) < size ? static_cast<std::size_t>(got) : 0;
#endif
}

}  // namespace

bool installedListPath(char* path, std::size_t size) {
    std::size_t directory = programPath(path, size);
    while (directory > 0 && !isSeparator(path[directory - 1])) --directory;
    if (directory == 0 || size - directory < sizeof fromProgramDirectory) return false;
    std::memcpy(path + directory, fromProgramDirectory, sizeof fromProgramDirectory);
    return true;
}
