#include "lang/EM_Common.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

namespace lang {
namespace {

std::pair<std::uint32_t, std::uint32_t> Words(std::string_view version) {
    std::uint32_t ms = 0xDEADBEEF, ls = 0xDEADBEEF;
    ParseVersion(version, ms, ls);
    return {ms, ls};
}

using WordPair = std::pair<std::uint32_t, std::uint32_t>;

TEST(Version, NormalizePadsToFourParts) {
    auto normalized = [](std::string text) {
        NormalizeVersion(text);
        return text;
    };
    EXPECT_EQ(normalized(""), "0.0.0.0");
    EXPECT_EQ(normalized("1"), "1.0.0.0");
    EXPECT_EQ(normalized("1."), "1.0.0.0");
    EXPECT_EQ(normalized("1.2.3"), "1.2.3.0");
    EXPECT_EQ(normalized("1.."), "1..0.0");
    EXPECT_EQ(normalized("1.2.3.4"), "1.2.3.4");
    EXPECT_EQ(normalized("1.0.0.0.1"), "1.0.0.0.1");
}

TEST(Version, ParsePutsTwoPartsInEachWord) {
    EXPECT_EQ(Words("1.2.3.4"), WordPair(0x00010002, 0x00030004));
    EXPECT_EQ(Words("1.0"), WordPair(0x00010000, 0));
    EXPECT_EQ(Words("65535.65535.65535.65535"), WordPair(0xFFFFFFFF, 0xFFFFFFFF));
    EXPECT_EQ(Words("+7.-0.007"), WordPair(0x00070000, 0x00070000));
}

TEST(Version, ParseKeepsTheLow16BitsOfEachPart) {
    EXPECT_EQ(Words("65537.0"), Words("1.0"));
    EXPECT_EQ(Words("65536.131074"), WordPair(0x00000002, 0));
    EXPECT_EQ(Words("-1.0"), WordPair(0xFFFF0000, 0));
    EXPECT_EQ(Words("2147483647.-2147483648"), WordPair(0xFFFF0000, 0));
}

TEST(Version, UnparsableTextIsZero) {
    for (const char* text :
         {"1.0.0.0.1", "1..2", "a", "1.a", "1.2b", " 1.0", "1.0 ", "+", "-", "+-1", "--1", "1.+",
          "0x10", "2147483648", "-2147483649", "99999999999999999999.0", "1,0"}) {
        EXPECT_EQ(Words(text), WordPair(0, 0)) << text;
    }
}

TEST(Version, IsOlderComparesPartByPartUnsigned) {
    EXPECT_TRUE(IsOlderVersion("0.9", "1.0"));
    EXPECT_FALSE(IsOlderVersion("1.0", "0.9"));
    EXPECT_FALSE(IsOlderVersion("1", "1.0"));
    EXPECT_FALSE(IsOlderVersion("1.0", "1"));
    EXPECT_TRUE(IsOlderVersion("1.0.0.0.1", "1.0"));  // unparsable: 0.0.0.0
    EXPECT_FALSE(IsOlderVersion("65537.0", "1.0"));
    EXPECT_FALSE(IsOlderVersion("1.0", "65537.0"));
    // Numbers, not texts, are compared; a later part decides only on a tie.
    EXPECT_TRUE(IsOlderVersion("1.9", "1.10"));
    EXPECT_TRUE(IsOlderVersion("1.2.3.4", "1.2.3.5"));
    EXPECT_FALSE(IsOlderVersion("2.0.0.0", "1.9.9.9"));
    EXPECT_TRUE(IsOlderVersion("1.65535.65535.65535", "2"));
    // Parts compare unsigned, so -1 is the highest part there is.
    EXPECT_FALSE(IsOlderVersion("-1", "2"));
    EXPECT_TRUE(IsOlderVersion("2", "-1"));
    EXPECT_TRUE(IsOlderVersion("", "0.0.0.1"));
    EXPECT_FALSE(IsOlderVersion("", "0"));
    EXPECT_FALSE(IsOlderVersion("x", ""));
}

}  // namespace
}  // namespace lang
