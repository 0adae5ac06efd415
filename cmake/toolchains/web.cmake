# WebAssembly with Debian's emscripten (package emscripten), for web pages
# and Node.js (web/). Built programs run under Node.js.
find_program(EM_CONFIG em-config)
if(NOT EM_CONFIG)
  message(FATAL_ERROR "emscripten not found (bash tests/install-packages.sh installs it)")
endif()
execute_process(COMMAND ${EM_CONFIG} EMSCRIPTEN_ROOT
  OUTPUT_VARIABLE emscripten_root OUTPUT_STRIP_TRAILING_WHITESPACE)
include(${emscripten_root}/cmake/Modules/Platform/Emscripten.cmake)
# emscripten's linker runs on Node.js, as do the built programs, the page's
# packages' installer and the tests: without it nothing here can be built.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  message(FATAL_ERROR "Node.js not found (bash tests/install-packages.sh installs it)")
endif()

# WebAssembly's 128-bit SIMD, through emscripten's SSE2 headers: the SSE2
# bodies of store/bytes.h, three times as fast here as the portable ones.
# Every browser since 2023 has it (Chrome and Edge 91, Firefox 89, Safari
# 16.4), as has Node.js since 16.4.
set(CMAKE_CXX_FLAGS_INIT "-msimd128 -msse2")

# emscripten's linker runs JavaScript tools that need Debian's acorn, in
# /usr/share/nodejs, where Debian's Node.js looks and a Node.js from
# elsewhere does not.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
