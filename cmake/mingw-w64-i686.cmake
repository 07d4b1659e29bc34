# Cross build of the 32-bit Windows programs with the i686 MinGW-w64
# compilers of Debian: the x86 build, for 32-bit Windows and for 64-bit
# Windows through WOW64.
set(KESTRAVE_MINGW_TARGET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
