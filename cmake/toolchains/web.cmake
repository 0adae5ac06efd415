# WebAssembly with Debian's emscripten (package emscripten), for web pages
# and Node.js (web/). Built programs run under Node.js.
find_program(EM_CONFIG em-config)
if(NOT EM_CONFIG)
  message(FATAL_ERROR "emscripten not found (bash tests/install-packages.sh installs it)")
endif()
execute_process(COMMAND ${EM_CONFIG} EMSCRIPTEN_ROOT
  OUTPUT_VARIABLE emscripten_root OUTPUT_STRIP_TRAILING_WHITESPACE)
include(${emscripten_root}/cmake/Modules/Platform/Emscripten.cmake)

# emscripten's linker runs JavaScript tools that need Debian's acorn, in
# /usr/share/nodejs, where Debian's Node.js looks and a Node.js from
# elsewhere does not.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
