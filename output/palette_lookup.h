// Finds the palette entry nearest to a colour as Windows' GetNearestPaletteIndex
// does: the least sum of squared channel differences, the first entry on ties.
#pragma once

#include <cstdint>
#include <vector>

#include "output/palette_color.h"

namespace glimra {

class PaletteLookup {
  public:
    // `palette` holds 1 to 256 entries.
    explicit PaletteLookup(const std::vector<PaletteColor>& palette);

    // The index of the nearest entry, whose colour goes to `entry`.
    int Nearest(int red, int green, int blue, PaletteColor& entry) {
        const auto color = static_cast<std::uint32_t>((red << 16) | (green << 8) | blue);
        Recent& recent = recent_[((red & 31) << 10) | ((green & 31) << 5) | (blue & 31)];
        if (recent.color != color) {
            recent.color = color;
            recent.answer = Search(red, green, blue);
        }
        entry = recent.answer.color;
        return recent.answer.index;
    }
    int Nearest(int red, int green, int blue) {
        PaletteColor entry;
        return Nearest(red, green, blue, entry);
    }

  private:
    struct Candidate {
        std::uint8_t index;
        PaletteColor color;
    };
    // A stretch of a list: `count` items from `first`; first -1: not listed yet.
    struct Span {
        std::int32_t first = -1;
        std::int32_t count = 0;
    };

    // The answers for recent colours, by the low five bits of each channel:
    // dithering a flat area asks for the same few colours again and again.
    static constexpr std::size_t kRecentSize = 1 << 15;
    struct Recent {
        std::uint32_t color = 0xFFFFFFFF;  // never a colour: 24 bits
        Candidate answer{};
    };

    static int Square(int value) { return value * value; }
    Candidate Search(int red, int green, int blue);
    void ListCube(Span& cube, int red, int green, int blue);
    void ListNear(const std::uint8_t* entries, int count, int lowRed, int lowGreen, int lowBlue,
                  int side, std::vector<std::uint8_t>& out);

    std::vector<PaletteColor> palette_;
    // The palette by channel, for listing.
    std::vector<int> red_, green_, blue_;
    std::vector<std::uint8_t> allEntries_;  // 0, 1, ... for listing a block
    std::vector<int> leastDistances_;       // scratch for listing

    // Colour space is cut into cubes of 8 x 8 x 8 values, and those into blocks
    // of 4 x 4 x 4 cubes. For each block and each cube that a lookup meets, the
    // entries that can be nearest to some colour in it are listed once, in
    // palette order: every entry whose least distance to it is at most the
    // smallest greatest distance of any entry. A cube's list is drawn from its
    // block's, which holds all of them. Only a cube's entries are searched, so
    // ties still go to the first entry.
    std::vector<Span> blocks_;
    std::vector<std::uint8_t> blockEntries_;
    std::vector<Span> cubes_;
    std::vector<std::uint8_t> cubeEntries_;  // scratch for listing a cube
    std::vector<Candidate> candidates_;
    std::vector<Recent> recent_;
};

}  // namespace glimra
