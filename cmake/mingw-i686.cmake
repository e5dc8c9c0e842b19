# Cross build for 32-bit Windows with MinGW-w64 (posix threads, which
# GoogleTest needs); every runtime linked in statically. Tests run, and
# are listed, under Wine inside tools/wine-env, entered when needed.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/in-wine-env wine)
