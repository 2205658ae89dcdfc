// The rules by which a label whose text does not fit takes more room: downward for the message
// labels, sideways for the short labels, never over another control or out of its container.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/TextFit.h"

namespace revivix {
namespace {

// A message label of the error frame: 40 px from the frame's left, 40 px down, 417 x 19 px.
constexpr PixelBox kLabel{40, 40, 457, 59};

struct GrowCase {
  std::string name;
  int needed;
  int containerBottom;
  std::vector<PixelBox> others;
  int expected;
};

class GrownHeightTable : public testing::TestWithParam<GrowCase> {};

TEST_P(GrownHeightTable, GrowsDownwardWithinItsRoom) {
  const GrowCase& c = GetParam();
  EXPECT_EQ(GrownHeight(kLabel, c.needed, c.containerBottom, c.others), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GrownHeightTable,
    testing::Values(
        GrowCase{"OneLineKeepsTheDesignHeight", 14, 200, {}, 19},
        GrowCase{"ThreeLinesGrowToTheirHeight", 42, 200, {}, 42},
        GrowCase{"ExactlyTheDesignHeight", 19, 200, {}, 19},
        GrowCase{"StopsAtTheContainersBottom", 300, 150, {}, 110},
        GrowCase{"StopsAboveAControlBelow", 60, 200, {{100, 80, 300, 95}}, 40},
        GrowCase{"AControlBelowButBesideItIsNoLimit", 60, 200, {{460, 80, 500, 95}}, 60},
        GrowCase{"TouchingColumnsAreBeside", 60, 200, {{457, 80, 500, 95}}, 60},
        GrowCase{"TheNearestControlBelowLimits",
                 90,
                 200,
                 {{0, 120, 500, 140}, {300, 100, 320, 110}},
                 60},
        GrowCase{"AControlAboveIsNoLimit", 60, 200, {{40, 0, 457, 30}}, 60},
        GrowCase{"AControlWithinTheDesignBoxKeepsTheDesignHeight", 60, 200, {{40, 50, 80, 70}}, 19},
        GrowCase{
            "AControlRightAtTheBottomEdgeKeepsTheDesignHeight", 60, 200, {{40, 59, 457, 80}}, 19},
        GrowCase{"AContainerTooShortKeepsTheDesignHeight", 60, 50, {}, 19}),
    [](const testing::TestParamInfo<GrowCase>& info) { return info.param.name; });

// A short label 100 px to the left of the control it labels; container from 0 to 400 px.
constexpr PixelBox kShort{100, 50, 130, 63};

struct WidenCase {
  std::string name;
  int needed;
  Anchor anchor;
  std::vector<PixelBox> others;
  PixelBox expected;
};

class WidenedBoxTable : public testing::TestWithParam<WidenCase> {};

TEST_P(WidenedBoxTable, GrowsSidewaysIntoFreeSpace) {
  const WidenCase& c = GetParam();
  EXPECT_EQ(WidenedBox(kShort, c.needed, c.anchor, 0, 400, c.others), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WidenedBoxTable,
    testing::Values(
        WidenCase{"FittingKeepsTheDesignBox", 30, Anchor::Right, {}, kShort},
        WidenCase{"RightAnchoredGrowsLeft", 70, Anchor::Right, {}, {60, 50, 130, 63}},
        WidenCase{"LeftAnchoredGrowsRight", 70, Anchor::Left, {}, {100, 50, 170, 63}},
        WidenCase{"CentredGrowsBothSides", 70, Anchor::Centre, {}, {80, 50, 150, 63}},
        WidenCase{"RightAnchoredStopsAtTheContainer", 300, Anchor::Right, {}, {0, 50, 130, 63}},
        WidenCase{"LeftAnchoredStopsAtTheContainer", 500, Anchor::Left, {}, {100, 50, 400, 63}},
        WidenCase{"StopsAtAControlOnTheSameRows",
                  70,
                  Anchor::Right,
                  {{0, 55, 90, 70}},
                  {90, 50, 130, 63}},
        WidenCase{"AControlOnOtherRowsIsNoLimit",
                  70,
                  Anchor::Right,
                  {{0, 63, 120, 80}},
                  {60, 50, 130, 63}},
        WidenCase{"TheControlItLabelsStopsTheOtherSide",
                  70,
                  Anchor::Left,
                  {{135, 45, 300, 70}},
                  {100, 50, 135, 63}},
        WidenCase{"CentredTakesTheRestFromTheSideWithRoom",
                  70,
                  Anchor::Centre,
                  {{0, 50, 95, 63}},
                  {95, 50, 165, 63}},
        WidenCase{"CentredWithoutRoomOnEitherSideKeepsItsBox",
                  70,
                  Anchor::Centre,
                  {{0, 50, 100, 63}, {130, 50, 400, 63}},
                  kShort}),
    [](const testing::TestParamInfo<WidenCase>& info) { return info.param.name; });

TEST(Overlap, SharedAreaOnlyNotTouchingEdges) {
  EXPECT_TRUE(Overlap({0, 0, 10, 10}, {9, 9, 20, 20}));
  EXPECT_FALSE(Overlap({0, 0, 10, 10}, {10, 0, 20, 10}));
  EXPECT_FALSE(Overlap({0, 0, 10, 10}, {0, 10, 10, 20}));
  EXPECT_TRUE(Overlap({0, 0, 100, 100}, {40, 40, 60, 60}));
}

}  // namespace
}  // namespace revivix
