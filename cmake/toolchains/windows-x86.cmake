# Windows x86 (32-bit) with Debian's mingw-w64 (g++-mingw-w64-i686-posix).
# The i686 compiler assumes no SSE2 unless told, and would then build the
# portable bodies of store/bytes.h; every processor that still runs a
# supported Windows has SSE2 (Windows 8 and later require it).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(mingw_target i686-w64-mingw32)
set(CMAKE_C_FLAGS_INIT -msse2)
set(CMAKE_CXX_FLAGS_INIT -msse2)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
