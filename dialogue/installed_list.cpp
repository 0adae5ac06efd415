#include "dialogue/installed_list.h"

#include <cstring>

#include "dialogue/platform.h"

bool installedListPath(char* path, std::size_t size) {
    std::size_t directory = programDirectory(path, size);
    const char* place = installedListPlace();
    std::size_t placeSize = std::strlen(place) + 1;
    if (directory == 0 || size - directory < placeSize) return false;
    std::memcpy(path + directory, place, placeSize);
    return true;
}
