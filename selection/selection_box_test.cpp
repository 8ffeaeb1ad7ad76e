#include "selection/selection_box.h"

#include <gtest/gtest.h>

namespace glimra {
namespace {

constexpr SelectionBox kBox{100, 100, 260, 190};  // 160 x 90, 16:9

TEST(SelectionBox, GripsAreTheNearestOfTheEightHandlesThenTheInside) {
    EXPECT_EQ(GripAt(kBox, 101, 99, 4), Grip::TopLeft);
    EXPECT_EQ(GripAt(kBox, 180, 190, 4), Grip::Bottom);
    EXPECT_EQ(GripAt(kBox, 262, 145, 4), Grip::Right);
    EXPECT_EQ(GripAt(kBox, 259, 189, 4), Grip::BottomRight);
    EXPECT_EQ(GripAt(kBox, 150, 120, 4), Grip::Inside);
    EXPECT_EQ(GripAt(kBox, 300, 120, 4), Grip::None);
    // On a box of 4 x 4 every handle is within reach: the nearest wins, a
    // corner where a corner and an edge are as near.
    EXPECT_EQ(GripAt({10, 10, 14, 14}, 14, 12, 4), Grip::Right);
    EXPECT_EQ(GripAt({10, 10, 14, 14}, 13, 10, 4), Grip::TopRight);
}

TEST(SelectionBox, DragsMoveTheInsideOrTheHandlesEdges_TurnOverAndStayAtLeastOnePixel) {
    EXPECT_EQ(Dragged(kBox, Grip::Inside, -30, 7, false), (SelectionBox{70, 107, 230, 197}));
    EXPECT_EQ(Dragged(kBox, Grip::BottomRight, 40, -10, false), (SelectionBox{100, 100, 300, 180}));
    EXPECT_EQ(Dragged(kBox, Grip::Top, 25, 20, false), (SelectionBox{100, 120, 260, 190}));
    // The left handle dragged 200 pixels right, past the right edge.
    EXPECT_EQ(Dragged(kBox, Grip::Left, 200, 0, false), (SelectionBox{260, 100, 300, 190}));
    // Onto the opposite edge: one pixel is left.
    EXPECT_EQ(Dragged(kBox, Grip::Bottom, 0, -90, false).Height(), 1);
    EXPECT_EQ(Dragged(kBox, Grip::None, 5, 5, false), kBox);
}

TEST(SelectionBox, KeepingTheAspectRatio_ACornerFollowsTheLargerChange_AnEdgeGrowsAboutItsMiddle) {
    // Mostly to the right: the width decides, the top-left corner stays.
    const SelectionBox wider = Dragged(kBox, Grip::BottomRight, 160, 5, true);
    EXPECT_EQ(wider, (SelectionBox{100, 100, 420, 280}));
    // Mostly down from the top-left corner: the height decides, the bottom-right stays.
    const SelectionBox taller = Dragged(kBox, Grip::TopLeft, 0, -90, true);
    EXPECT_EQ(taller, (SelectionBox{-60, 10, 260, 190}));
    // The right edge: the height follows about the middle row.
    const SelectionBox edge = Dragged(kBox, Grip::Right, 160, 0, true);
    EXPECT_EQ(edge.Width(), 320);
    EXPECT_EQ(edge.Height(), 180);
    EXPECT_EQ((edge.top + edge.bottom) / 2, 145);
    // Turned over, the ratio still holds.
    const SelectionBox over = Dragged(kBox, Grip::BottomRight, -480, -10, true);
    EXPECT_EQ(over.right, 100);
    EXPECT_EQ(over.Width() * 9, over.Height() * 16);
}

TEST(SelectionBox, KeysMoveTheBoxOrItsFarEdges_AndATypedSizeKeepsTheTopLeft) {
    EXPECT_EQ(Nudged(kBox, -10, 1, false), (SelectionBox{90, 101, 250, 191}));
    EXPECT_EQ(Nudged(kBox, 10, 0, true), (SelectionBox{100, 100, 270, 190}));
    EXPECT_EQ(Nudged(kBox, 0, -500, true), (SelectionBox{100, 100, 260, 101}));
    EXPECT_EQ(Resized(kBox, 320, 200), (SelectionBox{100, 100, 420, 300}));
    EXPECT_EQ(Resized(kBox, 0, -5), (SelectionBox{100, 100, 101, 101}));
}

}  // namespace
}  // namespace glimra
