// The packed DIB decoder on bitmaps built here field by field, as other programs
// put them on the clipboard: each depth and header, the masks before and after
// the header, alpha real and not, and headers that promise more than the bytes.
#include "imaging/packed_dib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace {

using glimra::PictureFileError;
using glimra::PixelView;

// A packed DIB: the header of `headerSize` bytes, then what the test appends.
struct Dib {
    std::vector<std::uint8_t> bytes;
    Dib(std::uint32_t headerSize, int width, int height, int bpp, std::uint32_t compression = 0,
        std::uint32_t coloursUsed = 0)
        : bytes(std::max<std::uint32_t>(headerSize, 40), 0) {
        Put(0, headerSize), Put(4, std::uint32_t(width)), Put(8, std::uint32_t(height));
        bytes[12] = 1, bytes[14] = std::uint8_t(bpp);
        Put(16, compression), Put(32, coloursUsed);
    }
    void Put(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = std::uint8_t(v >> (8 * i));
    }
    // A byte at a time: GCC 12 takes a range insert here for an overflow.
    void Append(std::initializer_list<std::uint8_t> more) {
        for (std::uint8_t b : more)
            bytes.push_back(b);
    }
    void Append32(std::uint32_t v) {
        Append(
            {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)});
    }
};

// The decoded picture in a plain buffer, as blue-green-red(-alpha) bytes.
struct Decoded : glimra::PictureTarget {
    int width = 0, height = 0, bytesPerPixel = 0, made = 0;
    std::vector<std::uint8_t> pixels;
    PixelView Make(int w, int h, bool alpha) override {
        ++made;
        width = w, height = h, bytesPerPixel = alpha ? 4 : 3;
        pixels.assign(std::size_t(w) * h * bytesPerPixel, 0xA5);
        return {pixels.data(), w, h, std::ptrdiff_t(w) * bytesPerPixel, bytesPerPixel};
    }
    std::vector<std::uint8_t> At(int x, int y) const {
        const auto* p = pixels.data() + (std::size_t(y) * width + x) * bytesPerPixel;
        return {p, p + bytesPerPixel};
    }
};

Decoded Decode(const Dib& dib) {
    Decoded out;
    glimra::DecodePackedDib(dib.bytes, out);
    EXPECT_EQ(out.made, 1);
    return out;
}

using Px = std::vector<std::uint8_t>;

TEST(PackedDib, OpaqueDepthsGiveTheirColoursInRowsFromTheTop) {
    // 24 bits, bottom-up, 3 pixels a row padded to 12 bytes: the first row in
    // the bytes is the picture's last.
    Dib rgb(40, 3, 2, 24);
    rgb.Append({1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0});
    const Decoded a = Decode(rgb);
    ASSERT_EQ(a.bytesPerPixel, 3);
    EXPECT_EQ(a.At(0, 0), (Px{11, 12, 13}));
    EXPECT_EQ(a.At(2, 0), (Px{17, 18, 19}));
    EXPECT_EQ(a.At(2, 1), (Px{7, 8, 9}));

    // 4 bits, top-down, a table of 2 used colours: index 1 is the second entry, an
    // index past the table black; high nibble first.
    Dib indexed(40, 3, -1, 4, 0, 2);
    indexed.Append({10, 20, 30, 0, 40, 50, 60, 0});
    indexed.Append({0x1F, 0x00, 0, 0});
    const Decoded b = Decode(indexed);
    EXPECT_EQ(b.At(0, 0), (Px{40, 50, 60}));
    EXPECT_EQ(b.At(1, 0), (Px{0, 0, 0}));
    EXPECT_EQ(b.At(2, 0), (Px{10, 20, 30}));

    // 1 bit, the whole table of two: bit 7 is the first pixel.
    Dib mono(40, 9, 1, 1);
    mono.Append({0, 0, 0, 0, 255, 255, 255, 0});
    mono.Append({0x80, 0x80, 0, 0});
    const Decoded c = Decode(mono);
    EXPECT_EQ(c.At(0, 0), (Px{255, 255, 255}));
    EXPECT_EQ(c.At(1, 0), (Px{0, 0, 0}));
    EXPECT_EQ(c.At(8, 0), (Px{255, 255, 255}));

    // 24 bits with a palette hint of 2 colours: the rows start after it.
    Dib hinted(40, 1, 1, 24, 0, 2);
    hinted.Append({9, 9, 9, 0, 8, 8, 8, 0, 70, 80, 90, 0});
    EXPECT_EQ(Decode(hinted).At(0, 0), (Px{70, 80, 90}));
}

TEST(PackedDib, MasksAreReadAfterTheClassicHeaderAndInsideLongerOnes) {
    // 16 bits 5-6-5, masks after the classic header: full channels are 255.
    Dib bits565(40, 2, 1, 16, 3);
    bits565.Append32(0xF800), bits565.Append32(0x07E0), bits565.Append32(0x001F);
    bits565.Append({0x00, 0xF8, 0xE0, 0x07});  // pure red, pure green
    const Decoded a = Decode(bits565);
    EXPECT_EQ(a.At(0, 0), (Px{0, 0, 255}));
    EXPECT_EQ(a.At(1, 0), (Px{0, 255, 0}));

    // 16 bits without masks: 5-5-5, half of 31 rounds to 132.
    Dib bits555(40, 1, 1, 16);
    bits555.Append({0x10, 0x00, 0, 0});  // blue 16 of 31
    EXPECT_EQ(Decode(bits555).At(0, 0), (Px{132, 0, 0}));

    // 32 bits in a version-4 header with the masks swapped to red in the low byte.
    Dib v4(108, 1, 1, 32, 3);
    v4.Put(40, 0xFF), v4.Put(44, 0xFF00), v4.Put(48, 0xFF0000);
    v4.Append({1, 2, 3, 4});
    const Decoded b = Decode(v4);
    ASSERT_EQ(b.bytesPerPixel, 3);
    EXPECT_EQ(b.At(0, 0), (Px{3, 2, 1}));
}

TEST(PackedDib, AlphaIsTakenOnlyWhereTheHeaderNamesItAndThePixelsUseIt) {
    // A version-5 header with bit fields and an alpha mask, as browsers copy a
    // picture with transparency: straight alpha comes through.
    auto v5 = [](std::initializer_list<std::uint8_t> pixels) {
        Dib d(124, 2, -1, 32, 3);
        d.Put(40, 0xFF0000), d.Put(44, 0xFF00), d.Put(48, 0xFF), d.Put(52, 0xFF000000);
        d.Append(pixels);
        return d;
    };
    const Decoded mixed = Decode(v5({10, 20, 30, 128, 40, 50, 60, 0}));
    ASSERT_EQ(mixed.bytesPerPixel, 4);
    EXPECT_EQ(mixed.At(0, 0), (Px{10, 20, 30, 128}));
    EXPECT_EQ(mixed.At(1, 0), (Px{40, 50, 60, 0}));
    // Opaque throughout, or the byte left 0 throughout: no transparency.
    EXPECT_EQ(Decode(v5({1, 2, 3, 255, 4, 5, 6, 255})).bytesPerPixel, 3);
    const Decoded unused = Decode(v5({1, 2, 3, 0, 4, 5, 6, 0}));
    ASSERT_EQ(unused.bytesPerPixel, 3);
    EXPECT_EQ(unused.At(1, 0), (Px{4, 5, 6}));

    // The classic header names no alpha: the fourth byte is ignored.
    Dib classic(40, 2, 1, 32);
    classic.Append({1, 2, 3, 128, 4, 5, 6, 0});
    EXPECT_EQ(Decode(classic).bytesPerPixel, 3);
    // Four masks after the classic header (alpha bit fields).
    Dib four(40, 2, 1, 32, 6);
    four.Append32(0xFF0000), four.Append32(0xFF00), four.Append32(0xFF), four.Append32(0xFF000000);
    four.Append({1, 2, 3, 128, 4, 5, 6, 255});
    const Decoded d = Decode(four);
    ASSERT_EQ(d.bytesPerPixel, 4);
    EXPECT_EQ(d.At(0, 0), (Px{1, 2, 3, 128}));
}

TEST(PackedDib, HeadersThatPromiseMoreThanTheBytesOrWhatWeCannotReadAreRefused) {
    Dib whole(40, 5, 3, 8, 0, 4);
    whole.Append({0, 0, 0, 0, 1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0});
    whole.bytes.resize(whole.bytes.size() + 3 * 8, 2);
    Decode(whole);
    // Every shorter prefix: cut in the header, the table or the rows.
    for (std::size_t n = 0; n < whole.bytes.size(); ++n) {
        Decoded out;
        EXPECT_THROW(glimra::DecodePackedDib(std::span(whole.bytes.data(), n), out),
                     PictureFileError)
            << n;
        EXPECT_EQ(out.made, 0) << n;
    }
    auto refused = [](Dib d) {
        d.bytes.resize(d.bytes.size() + 4096, 0);
        Decoded out;
        EXPECT_THROW(glimra::DecodePackedDib(d.bytes, out), PictureFileError);
        return out.made == 0;
    };
    EXPECT_TRUE(refused(Dib(40, 4, 4, 8, 1)));          // run lengths
    EXPECT_TRUE(refused(Dib(40, 4, 4, 24, 5)));         // PNG inside
    EXPECT_TRUE(refused(Dib(40, 4, 4, 8, 0, 257)));     // more colours than indexes
    EXPECT_TRUE(refused(Dib(40, 4, 4, 24, 3)));         // masks at 24 bits
    EXPECT_TRUE(refused(Dib(40, 4, 4, 2)));             // 2 bits per pixel
    EXPECT_TRUE(refused(Dib(12, 4, 4, 24)));            // the old core header
    EXPECT_TRUE(refused(Dib(40, 0, 4, 24)));            // no width
    EXPECT_TRUE(refused(Dib(40, 100000, 100000, 32)));  // beyond the largest side
    EXPECT_TRUE(refused(Dib(40, 30000, -30000, 32)));   // 3.6 GB promised in 4 KB
}

}  // namespace
