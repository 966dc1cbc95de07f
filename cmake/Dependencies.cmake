# Third-party code, all from Debian packages (see tools/deps.sh).

# stb_image is header-only; only its own folder is added, so the cross compiler does not
# pick up the host's other headers.
set(KX_STB_DIR /usr/include/stb)
if(NOT EXISTS ${KX_STB_DIR}/stb_image.h)
    message(FATAL_ERROR "stb_image.h not found in ${KX_STB_DIR}: run 'make deps'")
endif()

# GoogleTest is built from Debian's source copy for both trees.
set(gtest_disable_pthreads ${WIN32} CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)
