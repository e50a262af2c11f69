# Cross-compiling the Windows program with Debian's mingw-w64, in GCC's win32
# thread model: the POSIX-threads runtime would bring in functions that
# Windows XP lacks (GetTickCount64), and the program's threads, locks and
# conditions are the framework's own anyway.
# TARVIK_WIN_ARCH: i686 (the product, a 32-bit program) or x86_64 (used for
# the tests on machines whose kernel cannot run 32-bit Linux programs, and so
# cannot run 32-bit Wine).
set(TARVIK_WIN_ARCH i686 CACHE STRING "mingw-w64 target: i686 or x86_64")
set(CMAKE_SYSTEM_NAME Windows)
if(TARVIK_WIN_ARCH STREQUAL "x86_64")
    set(CMAKE_SYSTEM_PROCESSOR AMD64)
else()
    set(CMAKE_SYSTEM_PROCESSOR x86)
endif()

set(triple ${TARVIK_WIN_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER   ${triple}-gcc-win32)
set(CMAKE_CXX_COMPILER ${triple}-g++-win32)
set(CMAKE_RC_COMPILER  ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# The compiler's own runtime libraries go into the program: it needs no DLL
# beyond Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
