# Windows test programs run under Wine. Every test run gets one fresh Wine prefix, made by
# the fixture test "wine.prefix" and removed at the end of the run.
if(NOT CMAKE_CROSSCOMPILING)
    return()
endif()

set(KX_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine/prefix)
set(KX_WINE_RUN ${CMAKE_SOURCE_DIR}/tests/win/wine-run.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KX_WINE_RUN} ${KESTRIX_WIN_ARCH})

# kx_add_wine_test(NAME name COMMAND target [args...]): a test that needs the Wine prefix.
function(kx_add_wine_test)
    cmake_parse_arguments(ARG "" "NAME" "COMMAND" ${ARGN})
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_COMMAND})
    set_tests_properties(${ARG_NAME} PROPERTIES
        FIXTURES_REQUIRED WinePrefix
        ENVIRONMENT "WINEPREFIX=${KX_WINE_PREFIX}"
        RESOURCE_LOCK Wine)
endfunction()

add_test(NAME wine.prefix.create COMMAND ${CMAKE_SOURCE_DIR}/tests/win/wine-prefix.sh create ${KX_WINE_PREFIX})
add_test(NAME wine.prefix.remove COMMAND ${CMAKE_SOURCE_DIR}/tests/win/wine-prefix.sh remove ${KX_WINE_PREFIX})
set_tests_properties(wine.prefix.create PROPERTIES FIXTURES_SETUP WinePrefix)
set_tests_properties(wine.prefix.remove PROPERTIES FIXTURES_CLEANUP WinePrefix)
