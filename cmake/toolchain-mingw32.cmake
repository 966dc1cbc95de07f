# Cross-compiling the Windows programs with MinGW-w64.
# The posix thread model gives the C++ standard library its threads and mutexes.
# KESTRIX_WIN_ARCH: i686 (the shipped 32-bit programs) or x86_64 (for test runs on hosts
# whose Wine cannot start 32-bit programs).
if(NOT KESTRIX_WIN_ARCH)
    set(KESTRIX_WIN_ARCH i686)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KESTRIX_WIN_ARCH})
set(KX_TRIPLE ${KESTRIX_WIN_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${KX_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KX_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KX_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KX_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
