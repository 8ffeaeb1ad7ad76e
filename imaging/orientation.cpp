#include "imaging/orientation.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "imaging/bands.h"
#include "imaging/vectors.h"

namespace glimra {

namespace {

// Where the target's pixels come from: target pixel (x, y) copies the source bytes at
// origin + y * rowStep + x * pixelStep.
struct Walk {
    const std::uint8_t* origin;
    std::ptrdiff_t pixelStep;
    std::ptrdiff_t rowStep;
};

Walk WalkOf(const PixelView& source, Orientation orientation) {
    const std::ptrdiff_t pixel = source.bytesPerPixel;
    const std::ptrdiff_t u = orientation.mirrorPixels ? -pixel : pixel;
    const std::ptrdiff_t v = orientation.mirrorRows ? -source.stride : source.stride;
    const std::uint8_t* origin = source.Row(orientation.mirrorRows ? source.height - 1 : 0) +
                                 (orientation.mirrorPixels ? (source.width - 1) * pixel : 0);
    return orientation.transpose ? Walk{origin, v, u} : Walk{origin, u, v};
}

template <int kBytes>
inline void CopyPixel(const std::uint8_t* from, std::uint8_t* to) {
    std::memcpy(to, from, kBytes);
}

// One target row from a walk along a source row, backwards: in blocks of eight 24-bit
// pixels (three 64-bit words whose pixels are unpacked and packed again in the opposite
// order) or four 32-bit pixels (one vector, lanes reversed), the rest pixel by pixel.
// `last` is the source pixel that becomes the row's first.
void CopyReversed3(const std::uint8_t* last, std::uint8_t* to, int width) {
    constexpr std::uint64_t m = kPackedPixel;
    int x = 0;
    for (; x + 8 <= width; x += 8, to += 24) {
        const std::uint8_t* from = last - 3 * (x + 7);
        const std::uint64_t a = Load64(from), b = Load64(from + 8), c = Load64(from + 16);
        const std::uint64_t p0 = a & m, p1 = a >> 24 & m, p2 = (a >> 48 | b << 16) & m,
                            p3 = b >> 8 & m, p4 = b >> 32 & m, p5 = (b >> 56 | c << 8) & m,
                            p6 = c >> 16 & m, p7 = c >> 40;
        Store64(to, p7 | p6 << 24 | p5 << 48);
        Store64(to + 8, p5 >> 16 | p4 << 8 | p3 << 32 | p2 << 56);
        Store64(to + 16, p2 >> 8 | p1 << 16 | p0 << 40);
    }
    for (; x < width; ++x, to += 3)
        CopyPixel<3>(last - 3 * x, to);
}

void CopyReversed4(const std::uint8_t* last, std::uint8_t* to, int width) {
    int x = 0;
    for (; x + 4 <= width; x += 4, to += 16) {
        U32x4 v;
        std::memcpy(&v, last - 4 * (x + 3), sizeof v);
        v = __builtin_shufflevector(v, v, 3, 2, 1, 0);
        std::memcpy(to, &v, sizeof v);
    }
    for (; x < width; ++x, to += 4)
        CopyPixel<4>(last - 4 * x, to);
}

// A transposing walk, pixel by pixel, over the target rectangle [x0, x1) x [y0, y1).
template <int kBytes>
void CopyTransposedPixels(const Walk& walk, const PixelView& target, int x0, int y0, int x1,
                          int y1) {
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* from = walk.origin + y * walk.rowStep + x0 * walk.pixelStep;
        std::uint8_t* to = target.Row(y) + x0 * kBytes;
        for (int x = x0; x < x1; ++x, from += walk.pixelStep, to += kBytes)
            CopyPixel<kBytes>(from, to);
    }
}

// A transposing walk over the 4 x 4 block of 32-bit target pixels whose first is `to`:
// target column i is four neighbouring pixels of one source row, the one at
// `from + i * pixelStep` (backwards, ending there, when `kBackwards`), loaded as one
// vector; the four vectors are transposed into the four target rows, `stride` apart,
// past the caches when `kStream` (the target's rows are then 16-byte aligned).
// Everything comes in as plain values and the four columns are named, so that the
// compiler keeps the block in registers: a store through a byte pointer may alias a
// view, whose fields it would otherwise load again after every store, and GCC at -O2
// (the Windows builds) kept a loop's vectors on the stack. The 64-bit program's
// quarter turn took twice as long that way.
template <bool kStream, bool kBackwards>
inline void CopyTransposedBlock4(const std::uint8_t* from, std::ptrdiff_t pixelStep,
                                 std::uint8_t* to, std::ptrdiff_t stride) {
    if constexpr (kBackwards) from -= 12;
    U32x4 c0, c1, c2, c3;
    std::memcpy(&c0, from, sizeof c0);
    std::memcpy(&c1, from + pixelStep, sizeof c1);
    std::memcpy(&c2, from + 2 * pixelStep, sizeof c2);
    std::memcpy(&c3, from + 3 * pixelStep, sizeof c3);
    if constexpr (kBackwards) {
        c0 = __builtin_shufflevector(c0, c0, 3, 2, 1, 0);
        c1 = __builtin_shufflevector(c1, c1, 3, 2, 1, 0);
        c2 = __builtin_shufflevector(c2, c2, 3, 2, 1, 0);
        c3 = __builtin_shufflevector(c3, c3, 3, 2, 1, 0);
    }
    const U32x4 a = __builtin_shufflevector(c0, c1, 0, 4, 1, 5);
    const U32x4 b = __builtin_shufflevector(c0, c1, 2, 6, 3, 7);
    const U32x4 c = __builtin_shufflevector(c2, c3, 0, 4, 1, 5);
    const U32x4 d = __builtin_shufflevector(c2, c3, 2, 6, 3, 7);
    const U32x4 r0 = __builtin_shufflevector(a, c, 0, 1, 4, 5);
    const U32x4 r1 = __builtin_shufflevector(a, c, 2, 3, 6, 7);
    const U32x4 r2 = __builtin_shufflevector(b, d, 0, 1, 4, 5);
    const U32x4 r3 = __builtin_shufflevector(b, d, 2, 3, 6, 7);
    if constexpr (kStream) {
        StoreStreaming(to, r0);
        StoreStreaming(to + stride, r1);
        StoreStreaming(to + 2 * stride, r2);
        StoreStreaming(to + 3 * stride, r3);
    } else {
        std::memcpy(to, &r0, sizeof r0);
        std::memcpy(to + stride, &r1, sizeof r1);
        std::memcpy(to + 2 * stride, &r2, sizeof r2);
        std::memcpy(to + 3 * stride, &r3, sizeof r3);
    }
}

// The whole 4 x 4 blocks of 32-bit target pixels in [x0, x1) x [y0, y1) (both sizes
// divisible by four).
template <bool kStream, bool kBackwards>
void CopyTransposedBlocks4(const Walk& walk, const PixelView& target, int x0, int y0, int x1,
                           int y1) {
    const std::uint8_t* const origin = walk.origin;
    const std::ptrdiff_t pixelStep = walk.pixelStep, rowStep = walk.rowStep;
    std::uint8_t* const data = target.data;
    const std::ptrdiff_t stride = target.stride;
    for (int y = y0; y < y1; y += 4) {
        const std::uint8_t* from = origin + y * rowStep + x0 * pixelStep;
        std::uint8_t* to = data + y * stride + 4 * x0;
        for (int x = x0; x < x1; x += 4, from += 4 * pixelStep, to += 16)
            CopyTransposedBlock4<kStream, kBackwards>(from, pixelStep, to, stride);
    }
}

// Transposing walks go tile by tile, so that a tile's source and target rows stay in
// the caches while it is copied; the tiles go down the target's columns, which walks
// the source a band of rows at a time from one end to the other, in the order that the
// processor's prefetching follows. Tiles of 128 pixels keep the pages of a tile's rows
// in the address translation cache long enough: with small tiles, each tile's 64-byte
// pieces of rows meet fresh pages, and a large picture turns much more slowly.
constexpr int kTile = 128;

template <int kBytes, bool kStream>
void CopyTransposedTile(const Walk& walk, const PixelView& target, int x0, int y0, int x1, int y1) {
    // The whole 4 x 4 blocks of 32-bit pixels in vectors, the rest pixel by pixel.
    int xBlocks = x0, yBlocks = y0;
    if constexpr (kBytes == 4) {
        xBlocks = x0 + (x1 - x0) / 4 * 4;
        yBlocks = y0 + (y1 - y0) / 4 * 4;
        if (walk.rowStep > 0)
            CopyTransposedBlocks4<kStream, false>(walk, target, x0, y0, xBlocks, yBlocks);
        else
            CopyTransposedBlocks4<kStream, true>(walk, target, x0, y0, xBlocks, yBlocks);
    }
    CopyTransposedPixels<kBytes>(walk, target, xBlocks, y0, x1, y1);
    CopyTransposedPixels<kBytes>(walk, target, x0, yBlocks, xBlocks, y1);
}

// The target rows [y0, y1) of a transposing walk, tile column by tile column.
template <int kBytes, bool kStream>
void CopyTransposedRows(const Walk& walk, const PixelView& target, int y0, int y1) {
    for (int x = 0; x < target.width; x += kTile)
        for (int y = y0; y < y1; y += kTile)
            CopyTransposedTile<kBytes, kStream>(
                walk, target, x, y, std::min(target.width, x + kTile), std::min(y1, y + kTile));
    if constexpr (kStream) StoresDone();
}

// A transposing walk waits on memory more than it computes: each tile meets new
// pages of the source, and a new picture's pages are met for the first time. A
// large picture's target rows are shared out in bands of whole tiles among the
// processors (RunBands). Each thread so writes pages of its own: with bands of
// columns every page of the target, and the first touch of a new picture's
// pages, was shared among the threads, and a new large picture turned much more
// slowly than one into memory already used. There are twice as many bands as
// processors, so that one that starts late, or is slowed by another program,
// leaves its last band to the others. Small pictures turn on the calling thread
// alone: handing out bands costs more than they take.
//
// A 32-bit target whose rows are 16-byte aligned, as a DIB of a width divisible
// by four is, takes its vectors past the caches: a target as large as the caches
// is otherwise read into them line by line before each line is written, a third
// more of the memory's traffic than the turn needs.
constexpr long long kThreadedPixels = 1 << 20;

template <int kBytes, bool kStream>
void CopyTransposedBands(const Walk& walk, const PixelView& target) {
    const int tiles = (target.height + kTile - 1) / kTile;
    unsigned bands = 1;
    if (static_cast<long long>(target.width) * target.height >= kThreadedPixels)
        bands = std::min(2 * BandWorkers(), static_cast<unsigned>(tiles));
    const auto row = [&](unsigned i) {
        return std::min(target.height, static_cast<int>(tiles * i / bands) * kTile);
    };
    RunBands(bands, [&](unsigned i) {
        CopyTransposedRows<kBytes, kStream>(walk, target, row(i), row(i + 1));
    });
}

template <int kBytes>
void CopyTransposed(const Walk& walk, const PixelView& target) {
    const bool aligned = (reinterpret_cast<std::uintptr_t>(target.data) |
                          static_cast<std::uintptr_t>(target.stride)) %
                             16 ==
                         0;
    if constexpr (kBytes == 4)
        if (aligned) return CopyTransposedBands<kBytes, true>(walk, target);
    CopyTransposedBands<kBytes, false>(walk, target);
}

template <int kBytes>
void CopyWalk(const Walk& walk, const PixelView& target) {
    if (walk.pixelStep == kBytes || walk.pixelStep == -kBytes) {
        for (int y = 0; y < target.height; ++y) {
            const std::uint8_t* from = walk.origin + y * walk.rowStep;
            std::uint8_t* to = target.Row(y);
            if (walk.pixelStep > 0)
                std::memcpy(to, from, static_cast<std::size_t>(target.width) * kBytes);
            else if constexpr (kBytes == 3)
                CopyReversed3(from, to, target.width);
            else
                CopyReversed4(from, to, target.width);
        }
        return;
    }
    CopyTransposed<kBytes>(walk, target);
}

}  // namespace

bool CopyOriented(const PixelView& source, Orientation orientation, const PixelView& target) {
    const int width = orientation.transpose ? source.height : source.width;
    const int height = orientation.transpose ? source.width : source.height;
    if (target.width != width || target.height != height ||
        source.bytesPerPixel != target.bytesPerPixel ||
        (source.bytesPerPixel != 3 && source.bytesPerPixel != 4))
        return false;
    if (source.Empty()) return true;
    if (source.data == nullptr || target.data == nullptr) return false;
    const Walk walk = WalkOf(source, orientation);
    if (source.bytesPerPixel == 3)
        CopyWalk<3>(walk, target);
    else
        CopyWalk<4>(walk, target);
    return true;
}

}  // namespace glimra
