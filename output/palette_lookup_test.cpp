#include "output/palette_lookup.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

namespace glimra {
namespace {

// The rule itself, entry by entry.
int NearestByFullSearch(const std::vector<PaletteColor>& palette, int red, int green, int blue) {
    int best = 0, bestDistance = INT_MAX;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = red - palette[i].red, dg = green - palette[i].green,
                  db = blue - palette[i].blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

TEST(PaletteLookupTest, TiesGoToTheFirstEntry) {
    const std::vector<PaletteColor> apart = {{0, 0, 0}, {2, 0, 0}};
    EXPECT_EQ(PaletteLookup(apart).Nearest(1, 0, 0), 0);
    const std::vector<PaletteColor> reversed = {{2, 0, 0}, {0, 0, 0}};
    EXPECT_EQ(PaletteLookup(reversed).Nearest(1, 0, 0), 0);
    const std::vector<PaletteColor> twice = {{9, 9, 9}, {5, 5, 5}, {5, 5, 5}};
    PaletteLookup lookup(twice);
    EXPECT_EQ(lookup.Nearest(5, 5, 5), 1);
    EXPECT_EQ(lookup.Nearest(6, 6, 6), 1);
    EXPECT_EQ(lookup.Nearest(7, 7, 7), 0);  // 3 * 4 to both: the first
}

TEST(PaletteLookupTest, TheSumOfSquaresDecidesNotTheLargestChannel) {
    // (10, 10, 10) is 3 * 100 = 300 from the first and 17 * 17 = 289 from the
    // second, though the second is 17 away in one channel.
    const std::vector<PaletteColor> palette = {{0, 0, 0}, {27, 10, 10}};
    EXPECT_EQ(PaletteLookup(palette).Nearest(10, 10, 10), 1);
}

// The cube lists must never drop the nearest entry or the first of equals:
// random palettes (with repeated entries and close clusters, which make ties)
// against the full search.
TEST(PaletteLookupTest, AgreesWithTheFullSearch) {
    std::mt19937 random(12345);
    for (int size : {1, 2, 3, 16, 100, 256}) {
        std::vector<PaletteColor> palette;
        for (int i = 0; i < size; ++i) {
            if (i > 0 && random() % 8 == 0) {
                palette.push_back(palette[random() % palette.size()]);
            } else if (i % 3 == 0) {  // clustered
                palette.push_back({static_cast<std::uint8_t>(100 + random() % 6),
                                   static_cast<std::uint8_t>(100 + random() % 6),
                                   static_cast<std::uint8_t>(100 + random() % 6)});
            } else {
                palette.push_back({static_cast<std::uint8_t>(random()),
                                   static_cast<std::uint8_t>(random()),
                                   static_cast<std::uint8_t>(random())});
            }
        }
        PaletteLookup lookup(palette);
        for (int i = 0; i < 20000; ++i) {
            // Half of the colours near the cluster, where ties are frequent.
            const bool near = i % 2 == 0;
            const int red = near ? 96 + random() % 14 : random() % 256;
            const int green = near ? 96 + random() % 14 : random() % 256;
            const int blue = near ? 96 + random() % 14 : random() % 256;
            ASSERT_EQ(lookup.Nearest(red, green, blue),
                      NearestByFullSearch(palette, red, green, blue))
                << "palette of " << size << ", colour " << red << "," << green << "," << blue;
        }
        for (int red : {0, 7, 8, 255})
            for (int green : {0, 7, 8, 255})
                for (int blue : {0, 7, 8, 255})
                    ASSERT_EQ(lookup.Nearest(red, green, blue),
                              NearestByFullSearch(palette, red, green, blue));
    }
}

}  // namespace
}  // namespace glimra
