// Where the word list installed with the program lies: the copy that an
// empty answer at the file prompt opens when engldict.txt is not in the
// current directory.
//
// On Linux it is <directory of the running executable>/../share/pallimorvenquist/
// engldict.txt, the executable found through /proc/self/exe, so that any
// install prefix and the Debian package work alike; on Windows it is
// engldict.txt beside the .exe.
//
// Promises: installedListPath() writes that path, NUL-terminated, into
// `path` and returns true. It returns false, leaving no usable path in the
// buffer, when the executable's own path cannot be found or the whole path
// does not fit. It does not check that the file exists.
// Caller guarantees: `path` holds `size` bytes.
#pragma once

#include <cstddef>

bool installedListPath(char* path, std::size_t size);
