# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# The programs are linked statically, so hatch.exe needs nothing beside it but
# the system's own KERNEL32 and msvcrt. CTest runs them under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(HATCH_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${HATCH_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HATCH_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${HATCH_MINGW_TRIPLET}-windres)

# Headers, libraries and packages come from the MinGW tree (and from any prefix
# added to CMAKE_FIND_ROOT_PATH, such as a GoogleTest built for it), never from
# the build machine's own; the build machine's programs (iconv) stay reachable.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${HATCH_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

find_program(HATCH_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(HATCH_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${HATCH_WINE})
endif()
