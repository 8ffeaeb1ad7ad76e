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

# glimra_add_test(NAME SOURCES a_test.cpp ... LIBS lib ... [WINDOWS] [PROFILE p]
#                 [ARGS a ...] [SERIAL])
#   one test executable, registered with ctest under NAME. In the win32 flavour
#   ctest runs it through Wine on the virtual display of the profile (default:
#   1024 x 768 at 96 dpi; see scripts/wine-session). WINDOWS marks a test that
#   exists only in the win32 flavour; SERIAL one that must not run beside others
#   (it drives the whole desktop).
function(glimra_add_test name)
    cmake_parse_arguments(arg "WINDOWS;SERIAL" "PROFILE" "SOURCES;LIBS;ARGS" ${ARGN})
    if(arg_WINDOWS AND NOT WIN32)
        return()
    endif()
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE ${arg_LIBS} gmock gtest_main glimra_options)
    set(flags)
    if(arg_SERIAL)
        set(flags SERIAL)
    endif()
    glimra_add_test_run(${name} EXECUTABLE ${name} PROFILE "${arg_PROFILE}" ARGS ${arg_ARGS} ${flags})
endfunction()

# glimra_add_test_run(NAME EXECUTABLE exe [PROFILE p] [ARGS a ...] [SERIAL])
#   one more ctest entry for a test executable: other arguments, another profile.
function(glimra_add_test_run name)
    cmake_parse_arguments(arg "SERIAL" "EXECUTABLE;PROFILE" "ARGS" ${ARGN})
    if(NOT arg_PROFILE)
        set(arg_PROFILE default)
    endif()
    add_test(NAME ${name} COMMAND ${arg_EXECUTABLE} ${arg_ARGS})
    set(env "GLIMRA_TEST_OUTPUT=${CMAKE_BINARY_DIR}/test-output")
    if(GLIMRA_UNDER_WINE)
        glimra_wine_profile(${arg_PROFILE})
        list(APPEND env "GLIMRA_WINE_STATE=${GLIMRA_WINE_STATE}/${arg_PROFILE}")
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine-${arg_PROFILE})
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 900)
    if(arg_SERIAL)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop-${arg_PROFILE})
    endif()
endfunction()
