# Windows test programs run under Wine. Every test run gets one fresh Wine prefix and one Xvfb
# display, made by the fixture test "wine.prefix.create" and removed by "wine.prefix.remove",
# in a folder of its own under build/<tree>/wine (see tests/win/wine-prefix.sh).
if(NOT CMAKE_CROSSCOMPILING)
    return()
endif()

set(KX_WINE_DIR ${CMAKE_BINARY_DIR}/wine)
set(KX_SCREENSHOTS ${CMAKE_BINARY_DIR}/screenshots)
set(KX_WINE_RUN ${CMAKE_SOURCE_DIR}/tests/win/wine-run.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KX_WINE_RUN} ${KESTRIX_WIN_ARCH})

# kx_add_wine_test(NAME name COMMAND target [args...]): a test that needs the Wine prefix.
# wine-run.sh finds the run's prefix and display through KESTRIX_WINE_DIR. GUI tests share the
# display, hence the lock that runs Wine tests one at a time.
function(kx_add_wine_test)
    cmake_parse_arguments(ARG "" "NAME" "COMMAND" ${ARGN})
    add_test(NAME ${ARG_NAME} COMMAND ${ARG_COMMAND})
    set_tests_properties(${ARG_NAME} PROPERTIES
        FIXTURES_REQUIRED WinePrefix
        ENVIRONMENT "KESTRIX_WINE_DIR=${KX_WINE_DIR};KESTRIX_SCREENSHOTS=${KX_SCREENSHOTS}"
        RESOURCE_LOCK Wine)
endfunction()

add_test(NAME wine.prefix.create COMMAND ${CMAKE_SOURCE_DIR}/tests/win/wine-prefix.sh create ${KX_WINE_DIR})
add_test(NAME wine.prefix.remove COMMAND ${CMAKE_SOURCE_DIR}/tests/win/wine-prefix.sh remove ${KX_WINE_DIR})
set_tests_properties(wine.prefix.create PROPERTIES FIXTURES_SETUP WinePrefix TIMEOUT 300)
set_tests_properties(wine.prefix.remove PROPERTIES FIXTURES_CLEANUP WinePrefix TIMEOUT 60)
