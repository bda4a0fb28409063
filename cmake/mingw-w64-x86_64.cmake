# Cross build for 64-bit Windows with the mingw-w64 compilers (POSIX thread
# model); the programs run under wine, so ctest runs the tests there.
#   cmake -S . -B build/mingw -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(NORVIK_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${NORVIK_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NORVIK_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${NORVIK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${NORVIK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages also from CMAKE_PREFIX_PATH as given (an installed NorvikExport).
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# The compiler's runtime (libgcc, libstdc++, winpthread) is linked into each
# program and DLL, so nothing but the project's own DLLs has to lie beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# wine runs the programs: quietly, without the first-start installers, in a
# prefix of its own (by default inside the build folder, so each run is clean).
find_program(NORVIK_WINE NAMES wine)
if(NOT NORVIK_WINEPREFIX)
  if(DEFINED ENV{WINEPREFIX})
    set(NORVIK_WINEPREFIX "$ENV{WINEPREFIX}")
  else()
    set(NORVIK_WINEPREFIX "${CMAKE_BINARY_DIR}/wine")
  endif()
endif()
set(NORVIK_WINEPREFIX "${NORVIK_WINEPREFIX}" CACHE PATH "wine prefix of the programs run by the build and the tests")
if(NORVIK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_COMMAND} -E env WINEPREFIX=${NORVIK_WINEPREFIX} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    ${NORVIK_WINE})
endif()
