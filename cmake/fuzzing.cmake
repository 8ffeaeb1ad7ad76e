# glimra_add_fuzzer(NAME SOURCES f.cpp ... LIBS lib ... [CORPUS dir] [SECONDS n])
#   a libFuzzer target (host flavour with GLIMRA_FUZZ); ctest runs it for a bounded
#   time over its seed corpus, with a memory limit, so that a crash, a leak or
#   runaway memory fails the test.
function(glimra_add_fuzzer name)
    if(WIN32 OR NOT GLIMRA_FUZZ)
        return()
    endif()
    cmake_parse_arguments(arg "" "CORPUS;SECONDS" "SOURCES;LIBS" ${ARGN})
    if(NOT arg_SECONDS)
        set(arg_SECONDS 20)
    endif()
    add_executable(${name} ${arg_SOURCES})
    target_link_libraries(${name} PRIVATE ${arg_LIBS} glimra_options)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set(work ${CMAKE_BINARY_DIR}/fuzz/${name})
    file(MAKE_DIRECTORY ${work})
    set(corpus)
    if(arg_CORPUS)
        set(corpus ${arg_CORPUS})
    endif()
    add_test(NAME ${name} COMMAND ${name} -max_total_time=${arg_SECONDS} -rss_limit_mb=1024
        -malloc_limit_mb=512 -print_final_stats=1 ${work} ${corpus}
        WORKING_DIRECTORY ${work})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()
