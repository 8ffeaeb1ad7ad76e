# Runs the recipe cmake/RECIPE (a script of this folder) once into a cache outside
# the source tree, ~/.cache/glimra/NAME-<processor>-<the recipe's hash> (or under
# XDG_CACHE_HOME), with that folder and ARGN as its arguments, and sets VARIABLE to
# the folder. Named after the recipe, so that a changed recipe builds anew; CMake
# runs again when the recipe changes. The recipe writes a stamp file when done.
function(glimra_cross_build variable name recipe what)
    set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/${recipe})
    file(SHA256 ${script} hash)
    string(SUBSTRING ${hash} 0 12 hash)
    if(DEFINED ENV{XDG_CACHE_HOME})
        set(cache_root $ENV{XDG_CACHE_HOME})
    else()
        set(cache_root $ENV{HOME}/.cache)
    endif()
    set(cache ${cache_root}/glimra/${name}-${CMAKE_SYSTEM_PROCESSOR}-${hash})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${script})
    if(NOT EXISTS ${cache}/stamp)
        message(STATUS "Cross-building ${what} into ${cache}")
        execute_process(COMMAND ${script} ${cache} ${ARGN} RESULT_VARIABLE result)
        if(NOT result EQUAL 0)
            message(FATAL_ERROR "building ${what} failed")
        endif()
    endif()
    set(${variable} ${cache} PARENT_SCOPE)
endfunction()

# The image libraries: cross-built for Windows from Debian's source packages into a
# cache outside the source tree (once, reused by later builds), or the installed
# packages for the host flavour and for a build on Windows.
if(WIN32 AND NOT CMAKE_HOST_WIN32)
    glimra_cross_build(GLIMRA_DEPS_CACHE deps build-deps.sh "libjpeg-turbo, giflib and libpng"
        ${CMAKE_TOOLCHAIN_FILE} ${GLIMRA_TRIPLET})
    set(prefix ${GLIMRA_DEPS_CACHE}/prefix)
    foreach(lib jpeg gif png)
        add_library(Glimra::${lib} STATIC IMPORTED GLOBAL)
        target_include_directories(Glimra::${lib} INTERFACE ${prefix}/include)
    endforeach()
    set_target_properties(Glimra::jpeg PROPERTIES IMPORTED_LOCATION ${prefix}/lib/libjpeg.a)
    set_target_properties(Glimra::gif PROPERTIES IMPORTED_LOCATION ${prefix}/lib/libgif.a)
    file(GLOB png_lib ${prefix}/lib/libpng16*.a)
    list(GET png_lib 0 png_lib)
    set_target_properties(Glimra::png PROPERTIES IMPORTED_LOCATION ${png_lib})
    add_library(Glimra::zlib STATIC IMPORTED GLOBAL)
    set_target_properties(Glimra::zlib PROPERTIES IMPORTED_LOCATION
        /usr/${GLIMRA_TRIPLET}/lib/libz.a)
    target_link_libraries(Glimra::png INTERFACE Glimra::zlib)
else()
    # The host flavour, or a build on Windows itself (MSYS2's MinGW 32-bit packages).
    find_package(JPEG REQUIRED)
    find_package(GIF REQUIRED)
    find_package(PNG REQUIRED)
    add_library(Glimra::jpeg ALIAS JPEG::JPEG)
    add_library(Glimra::gif INTERFACE IMPORTED GLOBAL)
    target_include_directories(Glimra::gif INTERFACE ${GIF_INCLUDE_DIRS})
    target_link_libraries(Glimra::gif INTERFACE ${GIF_LIBRARIES})
    add_library(Glimra::png ALIAS PNG::PNG)
endif()

# LZ4 with its checksum (xxHash), which the undo history keeps its pictures with:
# cross-built for Windows from Debian's source package by a recipe of its own, in
# a cache named after that recipe; on Windows itself MSYS2's packages (lz4 and
# xxhash). On the host it is only for the compression measurement among the
# benchmarks, and optional there (Debian's liblz4-dev).
if(WIN32 AND NOT CMAKE_HOST_WIN32)
    glimra_cross_build(GLIMRA_LZ4_CACHE lz4 build-lz4.sh LZ4 ${GLIMRA_TRIPLET})
    add_library(Glimra::lz4 STATIC IMPORTED GLOBAL)
    target_include_directories(Glimra::lz4 INTERFACE ${GLIMRA_LZ4_CACHE}/prefix/include)
    set_target_properties(Glimra::lz4 PROPERTIES IMPORTED_LOCATION
        ${GLIMRA_LZ4_CACHE}/prefix/lib/liblz4.a)
elseif(WIN32)
    find_path(GLIMRA_LZ4_INCLUDE lz4.h REQUIRED)
    find_library(GLIMRA_LZ4_LIBRARY lz4 REQUIRED)
    find_library(GLIMRA_XXHASH_LIBRARY xxhash REQUIRED)
    add_library(Glimra::lz4 INTERFACE IMPORTED GLOBAL)
    target_include_directories(Glimra::lz4 INTERFACE ${GLIMRA_LZ4_INCLUDE})
    target_link_libraries(Glimra::lz4 INTERFACE ${GLIMRA_LZ4_LIBRARY} ${GLIMRA_XXHASH_LIBRARY})
else()
    find_path(GLIMRA_LZ4_INCLUDE lz4.h)
    find_library(GLIMRA_LZ4_LIBRARY lz4)
    if(GLIMRA_LZ4_INCLUDE AND GLIMRA_LZ4_LIBRARY)
        add_library(Glimra::lz4 INTERFACE IMPORTED GLOBAL)
        target_include_directories(Glimra::lz4 INTERFACE ${GLIMRA_LZ4_INCLUDE})
        target_link_libraries(Glimra::lz4 INTERFACE ${GLIMRA_LZ4_LIBRARY})
    endif()
endif()

# Tesseract with Leptonica, for the built-in text recogniser (glimra_ocr.dll):
# cross-built from Debian's source packages by a recipe of its own, only for the
# 64-bit program (the 32-bit one ships without the built-in recogniser). Their
# headers come in as system headers, so that our warnings do not judge them.
if(WIN32 AND NOT CMAKE_HOST_WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 8)
    glimra_cross_build(GLIMRA_OCR_CACHE ocr build-ocr.sh "Tesseract and Leptonica"
        ${CMAKE_TOOLCHAIN_FILE} ${GLIMRA_TRIPLET})
    set(prefix ${GLIMRA_OCR_CACHE}/prefix)
    add_library(Glimra::leptonica STATIC IMPORTED GLOBAL)
    set_target_properties(Glimra::leptonica PROPERTIES IMPORTED_LOCATION
        ${prefix}/lib/libleptonica.a)
    add_library(Glimra::tesseract STATIC IMPORTED GLOBAL)
    set_target_properties(Glimra::tesseract PROPERTIES IMPORTED_LOCATION
        ${prefix}/lib/libtesseract.a)
    target_include_directories(Glimra::tesseract SYSTEM INTERFACE ${prefix}/include)
    target_link_libraries(Glimra::tesseract INTERFACE Glimra::leptonica)
endif()
