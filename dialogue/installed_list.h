// Where the word list installed with the program lies: the copy that an
// empty answer at the file prompt opens when engldict.txt is not in the
// current directory.
//
// It lies where the platform layer says, relative to the directory of the
// running program: on Linux <directory>/../share/pallimorvenquist/
// engldict.txt, so that any install prefix and the Debian package work
// alike; on Windows engldict.txt beside the .exe.
//
// Promises: installedListPath() writes that path, NUL-terminated, into
// `path` and returns true. It returns false, leaving no usable path in the
// buffer, when the executable's own path cannot be found or the whole path
// does not fit. It does not check that the file exists.
// Caller guarantees: `path` holds `size` bytes.
#pragma once

#include <cstddef>

bool installedListPath(char* path, std::size_t size);
