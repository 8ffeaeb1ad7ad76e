#!/usr/bin/env bash
# Cross-builds the built-in text recogniser's libraries for 64-bit Windows from
# Debian's source packages: Leptonica (the image structures Tesseract works on)
# and Tesseract (its LSTM engine only). Static libraries land in PREFIX/lib,
# Tesseract's public headers in PREFIX/include; a stamp file records what was
# built so later configures reuse it. Only what the library needs is built: no
# programs, no tools, no tests.
#   build-ocr.sh CACHE_DIR TOOLCHAIN_FILE TRIPLET
set -euo pipefail
cache=$1
toolchain=$2
triplet=$3
prefix=$cache/prefix
src=$cache/src
jobs=$(nproc)

mkdir -p "$src" "$prefix/lib" "$prefix/include/tesseract"
cd "$src"

fetch() { # package, directory glob
    # Takes the newest version of the source package that the archive still serves
    # (a security update's source can be gone while its index entry remains).
    if ! compgen -G "$2" >/dev/null; then
        local v ok=
        for v in $(apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -rV); do
            if apt-get source --download-only "$1=$v" >/dev/null 2>&1; then ok=$v; break; fi
        done
        [ -n "$ok" ] || { echo "cannot fetch the source of $1" >&2; exit 1; }
        dpkg-source --no-check -x "$(ls -1 "$1"_*.dsc | head -n 1)" >/dev/null
    fi
    compgen -G "$2" | head -n 1
}

lept_dir=$src/$(fetch leptonlib 'leptonlib-[0-9]*')
tess_dir=$src/$(fetch tesseract 'tesseract-[0-9]*')

# -O2 for the toolchain's processor (x86-64, SSE2), no debug information; each
# function in a section of its own, which the DLL's link drops if unused. The
# assembler writes every aligned vector move as an unaligned one: the Windows
# ABI aligns the stack to 16 bytes only, so GCC's spills of 32-byte AVX
# registers to the stack may land unaligned, and an aligned move there faults.
# The unaligned moves are as fast where the data is aligned.
flags="-O2 -DNDEBUG -ffunction-sections -fdata-sections -Wa,-muse-unaligned-vector-move"

cmake_cross() { # source dir, build dir, extra args...
    local s=$1 b=$2
    shift 2
    cmake -S "$s" -B "$b" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="$flags ${extra:-}" \
        -DCMAKE_CXX_FLAGS_RELEASE="$flags ${extra:-}" -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DBUILD_SHARED_LIBS=OFF -DSW_BUILD=OFF "$@" >/dev/null
}

# Leptonica without any picture-file library: the recogniser is handed raw
# pixels, so no PNG, JPEG, TIFF, GIF, WebP, JPEG 2000 or zlib; no programs. Its
# messages on the error stream are compiled out (NO_CONSOLE_IO): a program of
# windows has no console, and one complaint is expected, that its bitmap fonts
# (for debug pictures, TIFF inside) cannot be made without TIFF.
extra=-DNO_CONSOLE_IO cmake_cross "$lept_dir" "$cache/build-lept" -DBUILD_PROG=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_GIF=ON -DCMAKE_DISABLE_FIND_PACKAGE_JPEG=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_PNG=ON -DCMAKE_DISABLE_FIND_PACKAGE_TIFF=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_ZLIB=ON -DCMAKE_DISABLE_FIND_PACKAGE_PkgConfig=ON
cmake --build "$cache/build-lept" -j "$jobs" >/dev/null
cmake --install "$cache/build-lept" >/dev/null

# Tesseract: the LSTM engine only, no training tools, no ScrollView, no
# downloads or archives, no OpenMP (the caller reads one line at a time). The
# generic dot product is built for the toolchain's processor, not the build
# machine's (-march=native is refused); the AVX, AVX2, FMA and SSE4.1 routines
# are each built with their own flags and chosen at run time by what the
# processor has. AVX-512 is left out: Tesseract's check for it does not ask
# whether the system saves the 512-bit registers. The picture of each line or
# word goes to the LSTM engine as Leptonica's image itself
# (TESSERACT_IMAGEDATA_AS_PIX), not written to a PNG file in memory and read
# back, which Leptonica without libpng could not do anyway. The sources are
# compiled sixteen to a file (a unity build): most of the time goes to the
# headers they share, and this takes well under half the time; the SIMD
# routines, which have flags of their own, stay files of their own.
# (Leptonica's C files share static names, so it is built file by file.)
extra=-DTESSERACT_IMAGEDATA_AS_PIX cmake_cross "$tess_dir" "$cache/build-tess" \
    -DDISABLED_LEGACY_ENGINE=ON -DCMAKE_UNITY_BUILD=ON -DCMAKE_UNITY_BUILD_BATCH_SIZE=16 \
    -DBUILD_TRAINING_TOOLS=OFF -DBUILD_TESTS=OFF -DGRAPHICS_DISABLED=ON \
    -DDISABLE_ARCHIVE=ON -DDISABLE_CURL=ON -DOPENMP_BUILD=OFF -DENABLE_LTO=OFF \
    -DENABLE_OPENCL=OFF -DINSTALL_CONFIGS=OFF -DCOMPILER_SUPPORTS_MARCH_NATIVE=OFF \
    -DHAVE_AVX512F=OFF -DCMAKE_DISABLE_FIND_PACKAGE_TIFF=ON \
    -DLeptonica_DIR="$prefix/lib/cmake/leptonica"
# The library alone; its installation would build the command-line program.
cmake --build "$cache/build-tess" -j "$jobs" --target libtesseract >/dev/null
cp "$(find "$cache/build-tess" -maxdepth 1 -name 'libtesseract*.a' | head -n 1)" \
    "$prefix/lib/libtesseract.a"
cp "$tess_dir"/include/tesseract/*.h "$cache/build-tess/include/tesseract/version.h" \
    "$prefix/include/tesseract/"
cp "$(find "$prefix/lib" -maxdepth 1 -name 'libleptonica*.a' | head -n 1)" \
    "$prefix/lib/libleptonica.a"

echo "$(basename "$lept_dir") $(basename "$tess_dir")" >"$cache/stamp"
