# Cross build of the 64-bit Windows programs with the x86_64 MinGW-w64
# compilers of Debian: the x64 build, for 64-bit Windows without WOW64 and
# for the registry's 64-bit view.
set(KESTRAVE_MINGW_TARGET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
