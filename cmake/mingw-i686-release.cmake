# Cross build of the shipped program for 32-bit Windows: the win32 thread
# model (the program starts no thread, and needs no pthread library), every
# runtime linked in statically.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686-common.cmake)
# Link-time optimisation across the program's libraries: their archives
# must keep the compiler's intermediate code.
set(CMAKE_AR i686-w64-mingw32-gcc-ar-win32)
set(CMAKE_RANLIB i686-w64-mingw32-gcc-ranlib-win32)
