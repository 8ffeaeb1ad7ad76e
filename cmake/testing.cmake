# Tests: GoogleTest from Debian's source package (/usr/src/googletest), compiled
# with the project's own flags so that both flavours use the same framework.
# (On Windows itself, the installed GoogleTest package.)
if(EXISTS /usr/src/googletest/CMakeLists.txt)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
    find_package(GTest REQUIRED)
    add_library(gtest ALIAS GTest::gtest)
    add_library(gtest_main ALIAS GTest::gtest_main)
    add_library(gmock ALIAS GTest::gmock)
endif()

# Tests of the Windows program run under Wine when it is cross-built.
set(GLIMRA_UNDER_WINE OFF)
if(WIN32 AND NOT CMAKE_HOST_WIN32)
    set(GLIMRA_UNDER_WINE ON)
endif()

set(GLIMRA_WINE_SESSION ${PROJECT_SOURCE_DIR}/scripts/wine-session)
set(GLIMRA_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(GLIMRA_WINE_ARCH win64)
else()
    set(GLIMRA_WINE_ARCH win32)
endif()

if(GLIMRA_UNDER_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run CACHE FILEPATH "" FORCE)
endif()

# One throw-away Wine prefix and virtual display per profile and test run: set up
# before the first test that needs it, torn down after the last; ctest -R pulls
# these in by itself.
function(glimra_wine_profile profile)
    get_property(made GLOBAL PROPERTY glimra_wine_${profile})
    if(made)
        return()
    endif()
    set_property(GLOBAL PROPERTY glimra_wine_${profile} TRUE)
    add_test(NAME wine.${profile}.start
             COMMAND ${GLIMRA_WINE_SESSION} start ${GLIMRA_WINE_STATE} ${profile}
                     ${GLIMRA_WINE_ARCH})
    add_test(NAME wine.${profile}.stop
             COMMAND ${GLIMRA_WINE_SESSION} stop ${GLIMRA_WINE_STATE} ${profile})
    set_tests_properties(wine.${profile}.start PROPERTIES FIXTURES_SETUP wine-${profile}
                         TIMEOUT 300)
    set_tests_properties(wine.${profile}.stop PROPERTIES FIXTURES_CLEANUP wine-${profile})
endfunction()

# The tests' own printer: a PDF queue of the print spooler, named after this build
# folder, that writes each printed document into print-output/ under it
# (scripts/print-queue). It is added before the first test that prints and
# removed after the last.
string(MD5 glimra_build_hash ${CMAKE_BINARY_DIR})
string(SUBSTRING ${glimra_build_hash} 0 8 glimra_build_hash)
set(GLIMRA_PRINT_QUEUE glimra-${glimra_build_hash})
set(GLIMRA_PRINT_OUTPUT ${CMAKE_BINARY_DIR}/print-output)

function(glimra_print_queue)
    get_property(made GLOBAL PROPERTY glimra_print_queue)
    if(made)
        return()
    endif()
    set_property(GLOBAL PROPERTY glimra_print_queue TRUE)
    set(script ${PROJECT_SOURCE_DIR}/scripts/print-queue)
    add_test(NAME print.start COMMAND ${script} start ${CMAKE_BINARY_DIR}/print-queue
                                      ${GLIMRA_PRINT_QUEUE} ${GLIMRA_PRINT_OUTPUT})
    add_test(NAME print.stop COMMAND ${script} stop ${CMAKE_BINARY_DIR}/print-queue
                                     ${GLIMRA_PRINT_QUEUE})
    set_tests_properties(print.start PROPERTIES FIXTURES_SETUP printer TIMEOUT 60)
    set_tests_properties(print.stop PROPERTIES FIXTURES_CLEANUP printer TIMEOUT 60)
endfunction()

# glimra_add_test(NAME SOURCES a_test.cpp ... LIBS lib ... [WINDOWS] [PROFILE p]
#                 [ARGS a ...] [SERIAL] [PRINTER | NO_PRINTER])
#   one test executable, registered with ctest under NAME. In a Windows flavour
#   ctest runs it through Wine on the virtual display of the profile (default:
#   1024 x 768 at 96 dpi; see scripts/wine-session). WINDOWS marks a test that
#   exists only in the Windows flavours; SERIAL one that must not run beside others
#   (it drives the whole desktop). PRINTER and NO_PRINTER: see
#   glimra_add_test_run.
function(glimra_add_test name)
    cmake_parse_arguments(arg "WINDOWS;SERIAL;PRINTER;NO_PRINTER" "PROFILE"
                          "SOURCES;LIBS;ARGS" ${ARGN})
    if(arg_WINDOWS AND NOT WIN32)
        return()
    endif()
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE ${arg_LIBS} gmock gtest_main glimra_options)
    set(flags)
    foreach(flag SERIAL PRINTER NO_PRINTER)
        if(arg_${flag})
            list(APPEND flags ${flag})
        endif()
    endforeach()
    glimra_add_test_run(${name} EXECUTABLE ${name} PROFILE "${arg_PROFILE}" ARGS ${arg_ARGS} ${flags})
endfunction()

# glimra_add_test_run(NAME EXECUTABLE exe [PROFILE p] [ARGS a ...] [SERIAL]
#                     [PRINTER | NO_PRINTER])
#   one more ctest entry for a test executable: other arguments, another profile.
#   PRINTER: the tests' own printer is there and is the default printer (its
#   name in PRINTER, its folder in GLIMRA_PRINT_OUTPUT). NO_PRINTER: the run
#   comes after that printer has been removed, and the spooler's library is
#   pointed at a spooler that does not exist, so that queues the machine has of
#   its own do not count either: there is no printer at all.
function(glimra_add_test_run name)
    cmake_parse_arguments(arg "SERIAL;PRINTER;NO_PRINTER" "EXECUTABLE;PROFILE" "ARGS"
                          ${ARGN})
    if(NOT arg_PROFILE)
        set(arg_PROFILE default)
    endif()
    add_test(NAME ${name} COMMAND ${arg_EXECUTABLE} ${arg_ARGS})
    set(env "GLIMRA_TEST_OUTPUT=${CMAKE_BINARY_DIR}/test-output")
    set(fixtures)
    if(GLIMRA_UNDER_WINE)
        glimra_wine_profile(${arg_PROFILE})
        list(APPEND env "GLIMRA_WINE_STATE=${GLIMRA_WINE_STATE}/${arg_PROFILE}")
        list(APPEND fixtures wine-${arg_PROFILE})
    endif()
    if(arg_PRINTER)
        glimra_print_queue()
        list(APPEND env "PRINTER=${GLIMRA_PRINT_QUEUE}" "GLIMRA_PRINT_OUTPUT=${GLIMRA_PRINT_OUTPUT}")
        list(APPEND fixtures printer)
    endif()
    if(arg_NO_PRINTER)
        glimra_print_queue()
        list(APPEND env "CUPS_SERVER=${CMAKE_BINARY_DIR}/print-queue/no-spooler.sock")
        set_tests_properties(${name} PROPERTIES DEPENDS print.stop)
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 900)
    if(fixtures)
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "${fixtures}")
    endif()
    if(arg_SERIAL)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop-${arg_PROFILE})
    endif()
endfunction()
