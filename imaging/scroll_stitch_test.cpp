#include "imaging/scroll_stitch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

using glimra::PixelView;
using glimra::ScrollStitch;

constexpr int kWidth = 48;

// A picture of 32-bit pixels whose rows come from a function of the row.
struct Rows {
    std::vector<std::uint8_t> bytes;
    int height = 0;
    Rows(int rows, const std::function<std::uint32_t(int x, int y)>& pixel) : height(rows) {
        bytes.resize(std::size_t(kWidth) * 4 * std::size_t(rows));
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const std::uint32_t p = pixel(x, y);
                std::memcpy(&bytes[(std::size_t(y) * kWidth + std::size_t(x)) * 4], &p, 4);
            }
    }
    PixelView View() { return {bytes.data(), kWidth, height, kWidth * 4, 4}; }
};

// What a window of `header` fixed rows, a moving part and `footer` fixed rows
// shows with the content scrolled to `position`.
Rows Frame(Rows& content, Rows& header, Rows& footer, int height, int position) {
    const int moving = height - header.height - footer.height;
    return Rows(height, [&](int x, int y) {
        std::uint32_t p;
        const std::uint8_t* from = y < header.height ? header.View().Row(y)
                                   : y < header.height + moving
                                       ? content.View().Row(position + y - header.height)
                                       : footer.View().Row(y - header.height - moving);
        std::memcpy(&p, from + x * 4, 4);
        return p;
    });
}

Rows Stitched(const ScrollStitch& stitch) {
    Rows out(stitch.Height(), [](int, int) { return 0u; });
    stitch.CopyTo(out.View(), stitch.Height());
    return out;
}

TEST(ScrollStitch, JoinsFramesExactly_WithTheFixedRowsOnce_WhateverTheOffsets) {
    // Content whose first 60 rows are all white, as a page's margin is, so that
    // rows alike at their places also occur inside the moving part.
    Rows content(2000, [](int x, int y) {
        return y < 60 ? 0xFFFFFFFFu : std::uint32_t(y * 2654435761u) ^ std::uint32_t(x);
    });
    for (int fixed : {0, 1}) {
        SCOPED_TRACE(fixed ? "a header and a footer" : "no fixed rows");
        Rows header(fixed ? 20 : 0, [](int x, int y) { return 0xFF0000u + std::uint32_t(x + y); });
        Rows footer(fixed ? 15 : 0, [](int x, int y) { return 0x00FF00u + std::uint32_t(x * y); });
        const int height = 150, moving = height - header.height - footer.height;
        const int last = content.height - moving;
        Rows first = Frame(content, header, footer, height, 0);
        ScrollStitch stitch(first.View());
        int position = 0;
        const auto scroll = [&](int step) {
            position = std::min(last, position + step);
            Rows next = Frame(content, header, footer, height, position);
            return stitch.Add(next.View());
        };
        for (int step : {1, 7, 40, 100, 3, 90})
            ASSERT_EQ(scroll(step), ScrollStitch::Join::Moved) << position;
        while (position < last)
            ASSERT_EQ(scroll(60), ScrollStitch::Join::Moved) << position;
        ASSERT_EQ(position, last);
        Rows again = Frame(content, header, footer, height, position);
        EXPECT_EQ(stitch.Add(again.View()), ScrollStitch::Join::Still);
        EXPECT_GE(stitch.FixedTop(), header.height);
        EXPECT_GE(stitch.FixedBottom(), footer.height);

        // The header, the whole content, the footer: nothing twice, nothing missing.
        Rows expected(header.height + content.height + footer.height, [&](int x, int y) {
            std::uint32_t p;
            const std::uint8_t* from = y < header.height ? header.View().Row(y)
                                       : y < header.height + content.height
                                           ? content.View().Row(y - header.height)
                                           : footer.View().Row(y - header.height - content.height);
            std::memcpy(&p, from + x * 4, 4);
            return p;
        });
        ASSERT_EQ(stitch.Height(), expected.height);
        EXPECT_TRUE(Stitched(stitch).bytes == expected.bytes);

        // Each place the window can stand at is found again from its frame alone,
        // whatever the guess; the margin's equal rows fit only at the top.
        for (int at : {0, 1, 59, 60, 777, last - 1, last}) {
            Rows frame = Frame(content, header, footer, height, at);
            for (int near : {0, at, stitch.Height()})
                EXPECT_EQ(stitch.Locate(frame.View(), near), header.height + at) << at;
        }
        Rows foreign(height, [](int x, int y) { return std::uint32_t(x * y + 5); });
        EXPECT_EQ(stitch.Locate(foreign.View(), 0), std::nullopt);
    }
}

TEST(ScrollStitch, AFrameWithNoSingleOffsetIsLeftOut_AndThePictureKeepsWhatWasCertain) {
    Rows none(0, [](int, int) { return 0u; });
    // Stripes of ten rows: every multiple of ten explains a scroll equally well.
    Rows stripes(1000, [](int, int y) { return (y / 5) % 2 ? 0xFFFFFFu : 0u; });
    Rows a = Frame(stripes, none, none, 100, 0), b = Frame(stripes, none, none, 100, 25);
    ScrollStitch periodic(a.View());
    EXPECT_EQ(periodic.Add(b.View()), ScrollStitch::Join::Uncertain);
    EXPECT_EQ(periodic.Height(), 100);
    EXPECT_TRUE(Stitched(periodic).bytes == a.bytes);

    // A frame that is no scroll of the one before (the window changed otherwise).
    Rows content(1000, [](int x, int y) { return std::uint32_t(y * 40503u + x); });
    Rows other(1000, [](int x, int y) { return std::uint32_t(y * 7919u + x * 3u + 1u); });
    Rows c = Frame(content, none, none, 100, 0), d = Frame(content, none, none, 100, 30),
         e = Frame(other, none, none, 100, 0);
    ScrollStitch changed(c.View());
    EXPECT_EQ(changed.Add(d.View()), ScrollStitch::Join::Moved);
    EXPECT_EQ(changed.Add(e.View()), ScrollStitch::Join::Uncertain);
    EXPECT_EQ(changed.Height(), 130);
}

}  // namespace
