#!/usr/bin/env bash
# Cross-builds LZ4 for Windows from Debian's source package: the block compressor
# (lz4.c) and its checksum (xxhash.c), which the undo history keeps its pictures
# with, as one static library; the frame, high-compression and file layers are not
# used. The library and the two headers land in PREFIX; a stamp file records what
# was built so later configures reuse it.
#   build-lz4.sh CACHE_DIR TRIPLET
set -euo pipefail
cache=$1
triplet=$2
prefix=$cache/prefix
src=$cache/src

mkdir -p "$src" "$prefix/lib" "$prefix/include"
cd "$src"

# The newest version of the source package that the archive still serves.
if ! compgen -G 'lz4-[0-9]*' >/dev/null; then
    ok=
    for v in $(apt-cache showsrc lz4 | sed -n 's/^Version: //p' | sort -rV); do
        if apt-get source --download-only "lz4=$v" >/dev/null 2>&1; then ok=$v; break; fi
    done
    [ -n "$ok" ] || { echo "cannot fetch the source of lz4" >&2; exit 1; }
    dpkg-source --no-check -x "$(ls -1 lz4_*.dsc | head -n 1)" >/dev/null
fi
lib=$src/$(compgen -G 'lz4-[0-9]*' | head -n 1)/lib

# As fast as the library builds itself (-O3), for the processor the program
# requires (SSE2: eight- and sixteen-byte copies in one instruction); each function
# in a section of its own, which the program's link drops if unused. No unwind
# tables: the PE linker keeps every function that one names, and no exception
# crosses LZ4's frames.
build=$cache/build
rm -rf "$build" && mkdir -p "$build"
for f in lz4 xxhash; do
    "$triplet-gcc-posix" -O3 -msse2 -Wall -ffunction-sections -fdata-sections \
        -fno-asynchronous-unwind-tables -fno-unwind-tables \
        -c "$lib/$f.c" -o "$build/$f.o"
done
"$triplet-ar" rcs "$prefix/lib/liblz4.a" "$build"/*.o
cp "$lib/lz4.h" "$lib/xxhash.h" "$prefix/include/"

basename "$(dirname "$lib")" >"$cache/stamp"
