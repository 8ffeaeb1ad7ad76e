# Tests: GoogleTest from Debian's source package (/usr/src/googletest), compiled
# with the project's own flags so that both flavours use the same framework.
#
# glimra_add_test(NAME SOURCES a_test.cpp ... LIBS lib ... [WINDOWS])
#   one test executable, registered with ctest under NAME. In the win32 flavour
#   ctest runs it through Wine on the virtual display (see scripts/wine-session);
#   WINDOWS marks a test that exists only in the win32 flavour.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(GLIMRA_WINE_SESSION ${PROJECT_SOURCE_DIR}/scripts/wine-session)
set(GLIMRA_WINE_STATE ${CMAKE_BINARY_DIR}/wine)

if(WIN32)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run CACHE FILEPATH "" FORCE)
    # One throw-away Wine prefix and virtual display per test run: set up before the
    # first test, torn down after the last; ctest -R pulls these in by itself.
    add_test(NAME wine.start COMMAND ${GLIMRA_WINE_SESSION} start ${GLIMRA_WINE_STATE} default)
    add_test(NAME wine.stop COMMAND ${GLIMRA_WINE_SESSION} stop ${GLIMRA_WINE_STATE} default)
    set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
    set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine)
endif()

function(glimra_add_test name)
    cmake_parse_arguments(arg "WINDOWS" "" "SOURCES;LIBS" ${ARGN})
    if(arg_WINDOWS AND NOT WIN32)
        return()
    endif()
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE ${arg_LIBS} gmock gtest_main glimra_options)
    if(WIN32)
        set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE OFF)
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine
            ENVIRONMENT "GLIMRA_WINE_STATE=${GLIMRA_WINE_STATE}/default;GLIMRA_TEST_OUTPUT=${CMAKE_BINARY_DIR}/test-output"
            TIMEOUT 600)
    else()
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES
            ENVIRONMENT "GLIMRA_TEST_OUTPUT=${CMAKE_BINARY_DIR}/test-output" TIMEOUT 900)
    endif()
endfunction()
