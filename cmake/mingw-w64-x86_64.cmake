# Cross build for 64-bit Windows with Debian's MinGW-w64 compiler
# (g++-mingw-w64-x86-64-posix, the variant with C++ threads):
#
#     cmake -S . -B build-windows -G Ninja \
#           -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#           -DVIALTO_PUGIXML_SOURCE_DIR=<pugixml source> \
#           -DVIALTO_GOOGLETEST_SOURCE_DIR=/usr/src/googletest
#
# scripts/test-windows.sh does all of it. Executables are linked statically, so
# they run without the compiler's DLLs beside them; tests and tools run under
# Wine (CMAKE_CROSSCOMPILING_EMULATOR), with WINEPREFIX and WINEDEBUG taken
# from the environment.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VIALTO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VIALTO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VIALTO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VIALTO_MINGW_TRIPLE}-windres)

# Libraries and headers of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VIALTO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    find_program(VIALTO_WINE NAMES wine wine64)
    if(VIALTO_WINE)
        set(CMAKE_CROSSCOMPILING_EMULATOR ${VIALTO_WINE})
    endif()
endif()
