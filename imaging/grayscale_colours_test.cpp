// Grayscale of every 24-bit colour against an 80-bit evaluation written here on its own:
// the weighted sum in long double arithmetic under an x87 control word that this test
// sets itself, rounded to an integer by comparing with the half.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "imaging/extended_precision.h"
#include "imaging/pixel_ops.h"

namespace glimra {
namespace {

// x87 control words: all exceptions masked, round to nearest, with a 64-bit significand
// (extended) or a 53-bit one (double, as some runtimes start a process).
constexpr std::uint16_t kExtendedControl = 0x037F;
constexpr std::uint16_t kDoubleControl = 0x027F;

// Rounds to the nearest integer in the current rounding mode: halves to even inside an
// ExtendedPrecision scope. The value is read through a volatile, so that the compiler
// cannot round a constant ahead of time in the default mode instead of the scope's.
long double RoundHalfEven(long double value) {
    const volatile long double kept = value;
    return std::nearbyint(kept);
}

std::uint16_t ControlWord() {
    std::uint16_t word;
    __asm__ volatile("fnstcw %0" : "=m"(word) : : "memory");
    return word;
}

void SetControlWord(std::uint16_t word) {
    __asm__ volatile("fldcw %0" : : "m"(word) : "memory");
}

// Gray of (r, g, b) evaluated as the x87 control word in force says.
int ReferenceGray(int r, int g, int b) {
    const long double value = (r * 0.30L + g * 0.59L) + b * 0.11L;
    const int whole = static_cast<int>(value);
    const long double fraction = value - whole;
    if (fraction != 0.5L) return fraction < 0.5L ? whole : whole + 1;
    return whole % 2 == 0 ? whole : whole + 1;
}

// Gray values of every colour 0xRRGGBB, evaluated under `control`.
std::vector<std::uint8_t> ReferenceGrays(std::uint16_t control) {
    const std::uint16_t saved = ControlWord();
    SetControlWord(control);
    std::vector<std::uint8_t> grays(1u << 24);
    for (std::uint32_t c = 0; c < grays.size(); ++c)
        grays[c] = static_cast<std::uint8_t>(ReferenceGray(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
    SetControlWord(saved);
    return grays;
}

const std::vector<std::uint8_t>& ExtendedGrays() {
    static const std::vector<std::uint8_t> grays = ReferenceGrays(kExtendedControl);
    return grays;
}

// A 32-bit picture holding the given colours, one per pixel, with a fourth byte that
// varies, 4096 pixels to a row.
struct ColourPicture {
    std::vector<std::uint32_t> pixels;
    PixelView View() {
        const int rows = static_cast<int>((pixels.size() + 4095) / 4096);
        return {reinterpret_cast<std::uint8_t*>(pixels.data()),
                static_cast<int>(std::min<std::size_t>(pixels.size(), 4096)), rows, 4 * 4096, 4};
    }
};

ColourPicture PictureOf(const std::vector<std::uint32_t>& colours) {
    ColourPicture picture;
    picture.pixels.resize((colours.size() + 4095) / 4096 * 4096);
    for (std::size_t i = 0; i < colours.size(); ++i)
        picture.pixels[i] = colours[i] | static_cast<std::uint32_t>(i * 37) << 24;
    return picture;
}

void ExpectGrays(const ColourPicture& picture, const std::vector<std::uint32_t>& colours) {
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const std::uint32_t gray = ExtendedGrays()[colours[i]];
        const std::uint32_t expected =
            static_cast<std::uint32_t>(i * 37) << 24 | gray << 16 | gray << 8 | gray;
        if (picture.pixels[i] != expected && ++wrong <= 10)
            ADD_FAILURE() << std::hex << "colour " << colours[i] << " gave " << picture.pixels[i]
                          << ", expected " << expected;
    }
    EXPECT_EQ(wrong, 0u);
}

TEST(GrayscaleColours, EveryColourMatchesTheExtendedEvaluation) {
    std::vector<std::uint32_t> colours(1u << 24);
    for (std::uint32_t c = 0; c < colours.size(); ++c)
        colours[c] = c;
    ColourPicture picture = PictureOf(colours);
    ASSERT_TRUE(Grayscale(picture.View()));
    ExpectGrays(picture, colours);

    // Gray pixels keep their value.
    const std::vector<std::uint32_t> once = picture.pixels;
    ASSERT_TRUE(Grayscale(picture.View()));
    EXPECT_TRUE(picture.pixels == once);
}

// Colours whose exact decimal half comes out differently when the x87 unit keeps only
// 53 significand bits: Grayscale has to give the extended answer even when the caller
// left the control word at double precision, and has to leave it so.
TEST(GrayscaleColours, ExtendedEvenWhenTheProcessRunsInDoublePrecision) {
    const std::vector<std::uint8_t> doubleGrays = ReferenceGrays(kDoubleControl);
    std::vector<std::uint32_t> differing;
    for (std::uint32_t c = 0; c < doubleGrays.size(); ++c)
        if (doubleGrays[c] != ExtendedGrays()[c]) differing.push_back(c);
    ASSERT_FALSE(differing.empty());

    ColourPicture picture = PictureOf(differing);
    const std::uint16_t saved = ControlWord();
    SetControlWord(kDoubleControl);
    const bool done = Grayscale(picture.View());
    const std::uint16_t after = ControlWord();
    SetControlWord(saved);
    ASSERT_TRUE(done);
    EXPECT_EQ(after, kDoubleControl);
    ExpectGrays(picture, differing);
}

TEST(ExtendedPrecision, SetsSixtyFourBitsAndRestores) {
    const std::uint16_t saved = ControlWord();
    SetControlWord(kDoubleControl | 0x0C00);  // double precision, rounding toward zero
    {
        const ExtendedPrecision extended;
        EXPECT_EQ(ControlWord(), kExtendedControl);
        EXPECT_EQ(RoundHalfEven(2.5L), 2.0L);
        EXPECT_EQ(RoundHalfEven(3.5L), 4.0L);
        EXPECT_EQ(RoundHalfEven(-2.5L), -2.0L);
        EXPECT_EQ(RoundHalfEven(-0.75L), -1.0L);
        EXPECT_EQ(RoundHalfEven(2.5L + 0x1p-62L), 3.0L);
    }
    EXPECT_EQ(ControlWord(), kDoubleControl | 0x0C00);
    SetControlWord(saved);
}

}  // namespace
}  // namespace glimra
