#include "imaging/packed_dib.h"

#include <bit>
#include <cstddef>
#include <string>

namespace glimra {

namespace {

// The fields of the information header that are read, by their offsets from its
// start (BITMAPINFOHEADER and the versions that extend it).
struct InfoHeader {
    static constexpr std::size_t kSize = 0, kWidth = 4, kHeight = 8, kPlanes = 12, kBitCount = 14,
                                 kCompression = 16, kColoursUsed = 32, kRedMask = 40,
                                 kAlphaMask = 52;  // the three colour masks, then alpha
    static constexpr std::size_t kClassic = 40;
};

constexpr std::uint32_t kRgb = 0, kBitFields = 3, kAlphaBitFields = 6;

std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint16_t(b[at] | b[at + 1] << 8);
}

// One channel's mask: its value in a pixel, scaled to 0..255. A mask of no bits
// gives 0.
class Channel {
  public:
    explicit Channel(std::uint32_t mask)
        : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0), top_(mask ? mask >> shift_ : 0) {}
    bool Present() const { return mask_ != 0; }
    std::uint8_t Of(std::uint32_t pixel) const {
        if (!top_) return 0;
        const std::uint64_t v = (pixel & mask_) >> shift_;
        return std::uint8_t((v * 255 + top_ / 2) / top_);
    }

  private:
    std::uint32_t mask_;
    int shift_;
    std::uint32_t top_;
};

// Where a checked DIB's parts lie, and how its pixels are read.
struct Layout {
    int width = 0, height = 0, bpp = 0;
    bool bottomUp = true;
    std::size_t tableOffset = 0, colours = 0, pixelsOffset = 0, stride = 0;
    std::uint32_t masks[4] = {};  // red, green, blue, alpha
    bool alphaMask = false;

    std::size_t RowOffset(int y) const {
        return pixelsOffset + stride * std::size_t(bottomUp ? height - 1 - y : y);
    }
};

Layout Check(std::span<const std::uint8_t> dib) {
    using H = InfoHeader;
    if (dib.size() < H::kClassic) throw PictureFileError("the bitmap is cut short");
    const std::uint32_t size = U32(dib, H::kSize);
    if (size != 40 && size != 52 && size != 56 && size != 108 && size != 124)
        throw PictureFileError("the bitmap has a header we cannot read");
    if (dib.size() < size) throw PictureFileError("the bitmap is cut short");
    Layout l;
    const auto width = std::int32_t(U32(dib, H::kWidth)),
               height = std::int32_t(U32(dib, H::kHeight));
    l.bpp = U16(dib, H::kBitCount);
    const std::uint32_t compression = U32(dib, H::kCompression),
                        coloursUsed = U32(dib, H::kColoursUsed);
    if (U16(dib, H::kPlanes) != 1 || width <= 0 || width > kPackedDibMaxSide || height == 0 ||
        height < -kPackedDibMaxSide || height > kPackedDibMaxSide)
        throw PictureFileError("the bitmap has a header we cannot read");
    if (l.bpp != 1 && l.bpp != 4 && l.bpp != 8 && l.bpp != 16 && l.bpp != 24 && l.bpp != 32)
        throw PictureFileError("the bitmap has " + std::to_string(l.bpp) + " bits per pixel");
    const bool fields = compression == kBitFields || compression == kAlphaBitFields;
    if (compression != kRgb && !(fields && (l.bpp == 16 || l.bpp == 32)))
        throw PictureFileError("the bitmap is compressed in a way we cannot read");
    l.width = width;
    l.height = height < 0 ? -height : height;
    l.bottomUp = height > 0;

    // The masks: inside a longer header, else (classic header) right after it.
    std::size_t after = size;
    if (fields) {
        const std::size_t count = compression == kAlphaBitFields ? 4 : 3;
        std::size_t at = H::kRedMask;
        if (size == H::kClassic) {
            at = size;
            after += 4 * count;
        } else if (size < H::kRedMask + 4 * count) {
            // A 52-byte header holds three masks; a fourth follows it.
            after = H::kRedMask + 4 * count;
        }
        if (dib.size() < after) throw PictureFileError("the bitmap is cut short");
        for (std::size_t i = 0; i < count; ++i)
            l.masks[i] = U32(dib, at + 4 * i);
        if (count == 3 && size >= H::kAlphaMask + 4) l.masks[3] = U32(dib, H::kAlphaMask);
    } else if (l.bpp == 16) {
        l.masks[0] = 0x7C00, l.masks[1] = 0x03E0, l.masks[2] = 0x001F;
    } else if (l.bpp == 32) {
        l.masks[0] = 0xFF0000, l.masks[1] = 0xFF00, l.masks[2] = 0xFF;
        // A version 4 or 5 header may name the fourth byte alpha without masks.
        if (size >= H::kAlphaMask + 4) l.masks[3] = U32(dib, H::kAlphaMask);
    }
    l.alphaMask = l.masks[3] != 0;

    // The colour table: the indexed depths' colours; the others may carry one
    // too (a palette hint for screens of 256 colours), which is stepped over.
    if (l.bpp <= 8) {
        const std::size_t most = std::size_t(1) << l.bpp;
        if (coloursUsed > most) throw PictureFileError("the bitmap has too many colours");
        l.colours = coloursUsed ? coloursUsed : most;
    } else if (coloursUsed > 256) {
        throw PictureFileError("the bitmap has too many colours");
    }
    l.tableOffset = after;
    const std::size_t tableEntries = l.bpp <= 8 ? l.colours : coloursUsed;
    l.pixelsOffset = l.tableOffset + 4 * tableEntries;
    l.stride = (std::size_t(l.width) * std::size_t(l.bpp) + 31) / 32 * 4;
    // In 64 bits: the largest rows claimed reach 4 GiB.
    if (l.pixelsOffset > dib.size() ||
        std::uint64_t{l.stride} * std::uint64_t(l.height) > dib.size() - l.pixelsOffset)
        throw PictureFileError("the bitmap is cut short");
    return l;
}

// The pixel at `x` of a row of 16 or 32 bits per pixel.
std::uint32_t Packed(const std::uint8_t* row, int x, int bpp) {
    if (bpp == 16) return std::uint32_t(row[2 * x] | row[2 * x + 1] << 8);
    const std::uint8_t* p = row + 4 * std::size_t(x);
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

}  // namespace

void DecodePackedDib(std::span<const std::uint8_t> dib, PictureTarget& target) {
    const Layout l = Check(dib);
    const Channel red(l.masks[0]), green(l.masks[1]), blue(l.masks[2]), alpha(l.masks[3]);

    // Whether the alpha is real is known only from the pixels, before the target
    // is made.
    bool transparency = false;
    if (l.alphaMask) {
        bool anyAlpha = false, allOpaque = true;
        for (int y = 0; y < l.height; ++y) {
            const std::uint8_t* row = dib.data() + l.RowOffset(y);
            for (int x = 0; x < l.width; ++x) {
                const std::uint8_t a = alpha.Of(Packed(row, x, l.bpp));
                anyAlpha |= a != 0;
                allOpaque &= a == 255;
            }
        }
        transparency = anyAlpha && !allOpaque;
    }

    const PixelView view = target.Make(l.width, l.height, transparency);
    const std::uint8_t* table = dib.data() + l.tableOffset;
    for (int y = 0; y < l.height; ++y) {
        const std::uint8_t* row = dib.data() + l.RowOffset(y);
        std::uint8_t* out = view.Row(y);
        for (int x = 0; x < l.width; ++x, out += view.bytesPerPixel) {
            std::uint8_t b, g, r, a = 255;
            if (l.bpp <= 8) {
                // Pixels from the high bits of each byte; an index past the table is black.
                const std::size_t bit = std::size_t(x) * std::size_t(l.bpp);
                const unsigned index =
                    (row[bit / 8] >> (8 - l.bpp - bit % 8)) & ((1u << l.bpp) - 1);
                const std::uint8_t* c = table + 4 * std::size_t(index);
                const bool known = index < l.colours;
                b = known ? c[0] : 0, g = known ? c[1] : 0, r = known ? c[2] : 0;
            } else if (l.bpp == 24) {
                const std::uint8_t* p = row + 3 * std::size_t(x);
                b = p[0], g = p[1], r = p[2];
            } else {
                const std::uint32_t p = Packed(row, x, l.bpp);
                b = blue.Of(p), g = green.Of(p), r = red.Of(p);
                if (transparency) a = alpha.Of(p);
            }
            out[0] = b, out[1] = g, out[2] = r;
            if (view.bytesPerPixel == 4) out[3] = a;
        }
    }
}

}  // namespace glimra
