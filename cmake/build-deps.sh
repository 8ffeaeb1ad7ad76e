#!/usr/bin/env bash
# Cross-builds the image libraries for Windows from Debian's source packages:
# libjpeg-turbo (libjpeg 6b interface, SIMD through nasm), giflib and libpng
# (against zlib from Debian's MinGW package). Static libraries and headers land in
# PREFIX; a stamp file records what was built so later configures reuse it.
#   build-deps.sh CACHE_DIR TOOLCHAIN_FILE TRIPLET
set -euo pipefail
cache=$1
toolchain=$2
triplet=$3
prefix=$cache/prefix
src=$cache/src
jobs=$(nproc)

mkdir -p "$src" "$prefix"
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

jpeg_dir=$src/$(fetch libjpeg-turbo 'libjpeg-turbo-[0-9]*')
gif_dir=$src/$(fetch giflib 'giflib-[0-9]*')
png_dir=$src/$(fetch libpng1.6 'libpng1.6-[0-9]*')

# The libraries' C code is built without the toolchain's flags (SSE2): their
# vector work is in libjpeg-turbo's assembly and in zlib, and GCC's vectoriser
# at -O3 would make the program larger without making a save faster. Each
# function sits in a section of its own, which the program's link drops if unused.
# The 32-bit libraries carry no unwind tables: the PE linker keeps every function
# that an unwind table names, which would keep them all, and no exception ever
# crosses their frames (their errors come back to us by longjmp). On 64-bit
# Windows longjmp itself unwinds the frames it leaves, by their tables, so there
# they keep them.
nounwind=
[[ $triplet != i686-* ]] || nounwind="-fno-asynchronous-unwind-tables -fno-unwind-tables"
cmake_cross() { # source dir, build dir, extra args...
    local s=$1 b=$2
    shift 2
    cmake -S "$s" -B "$b" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_C_FLAGS="-ffunction-sections -fdata-sections $nounwind ${cflags:-}" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >/dev/null
    cmake --build "$b" -j "$jobs" >/dev/null
    cmake --install "$b" >/dev/null
}

# libjpeg-turbo: the 6b interface (JPEG_LIB_VERSION 62) is the default; SIMD on.
# Its C Huffman coders count bits with the processor's bit-scan instruction
# instead of two 64 KiB tables (the same codes, a smaller program).
cflags=-DUSE_CLZ_INTRINSIC cmake_cross "$jpeg_dir" "$cache/build-jpeg" -DENABLE_SHARED=OFF \
    -DENABLE_STATIC=ON -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DWITH_TURBOJPEG=OFF -DWITH_JPEG7=OFF \
    -DWITH_JPEG8=OFF -DCMAKE_ASM_NASM_COMPILER=nasm
grep -q '#define JPEG_LIB_VERSION  *62' "$prefix/include/jconfig.h"

# libpng, with zlib from the MinGW package.
cmake_cross "$png_dir" "$cache/build-png" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DPNG_TOOLS=OFF -DSKIP_INSTALL_PROGRAMS=ON \
    -DZLIB_INCLUDE_DIR=/usr/$triplet/include -DZLIB_LIBRARY=/usr/$triplet/lib/libz.a

# giflib has only a Makefile; its library is a handful of C files.
gb=$cache/build-gif
rm -rf "$gb" && mkdir -p "$gb"
for f in dgif_lib egif_lib gifalloc gif_err gif_font gif_hash openbsd-reallocarray; do
    $triplet-gcc-posix -O2 -Wall -ffunction-sections -fdata-sections $nounwind -c "$gif_dir/$f.c" -o "$gb/$f.o"
done
$triplet-ar rcs "$prefix/lib/libgif.a" "$gb"/*.o
cp "$gif_dir/gif_lib.h" "$prefix/include/"

echo "$(basename "$jpeg_dir") $(basename "$gif_dir") $(basename "$png_dir")" >"$cache/stamp"
