#include <gtest/gtest.h>

#include "controls/VistaProg.h"

namespace revivix {
namespace {

struct Bar : ::testing::Test {
  Bar() : bar("VistaProg2", nullptr, {120, 120, 4815, 225}, true) {
    bar.PropertyChanged = [this](const std::string& p) { reported.push_back(p); };
  }
  VistaProg bar;
  std::vector<std::string> reported;
};

TEST_F(Bar, NewInstanceHasItsDefaults) {
  EXPECT_EQ(bar.Max(), 100);
  EXPECT_EQ(bar.Min(), 0);
  EXPECT_EQ(bar.Value(), 0);
  EXPECT_EQ(bar.Height(), 225);
  EXPECT_EQ(bar.Pieces().fillWidth, 15);
  EXPECT_EQ(bar.Pieces().leftCap, CapPicture::Off);
  EXPECT_EQ(bar.Pieces().rightCap, CapPicture::Off);
}

TEST_F(Bar, AssignmentsKeepTheInvariant) {
  const struct {
    int min, max;  // the state before
    char which;    // 'v', 'x' (Max) or 'n' (Min)
    int assigned;
    int wantMin, wantMax;
  } cases[] = {
      {0, 100, 'x', 0, 0, 1},      {0, 100, 'x', -5, 0, 1},   {7, 100, 'x', 5, 7, 8},
      {0, 100, 'n', 100, 99, 100}, {0, 100, 'n', -3, 0, 100}, {0, 10, 'n', 12, 9, 10},
  };
  for (const auto& c : cases) {
    VistaProg p("p", nullptr, {0, 0, 1000, 225}, true);
    p.SetMax(c.max);
    p.SetMin(c.min);
    if (c.which == 'x') p.SetMax(c.assigned);
    if (c.which == 'n') p.SetMin(c.assigned);
    EXPECT_EQ(p.Min(), c.wantMin) << c.which << c.assigned;
    EXPECT_EQ(p.Max(), c.wantMax) << c.which << c.assigned;
    EXPECT_LT(p.Min(), p.Max());
    EXPECT_GE(p.Value(), p.Min());
    EXPECT_LE(p.Value(), p.Max());
  }
}

TEST_F(Bar, ValueIsClampedIntoRange) {
  bar.SetValue(250);
  EXPECT_EQ(bar.Value(), 100);
  EXPECT_EQ(bar.Pieces().fillWidth, 4815);
  bar.SetMin(20);
  bar.SetValue(5);
  EXPECT_EQ(bar.Value(), 20);
}

TEST_F(Bar, LoweringMaxBelowValueMovesValueAndReportsBoth) {
  bar.SetValue(80);
  reported.clear();
  bar.SetMax(50);
  EXPECT_EQ(bar.Value(), 50);
  EXPECT_EQ(reported, (std::vector<std::string>{"Value", "Max"}));
}

TEST_F(Bar, FillFollowsTheFractionDone) {
  VistaProg p("p", nullptr, {0, 0, 3000, 225}, true);
  p.SetMax(1000);
  p.SetValue(700);
  EXPECT_EQ(p.Pieces().fillWidth, 2100);
  EXPECT_EQ(p.Pieces().leftCap, CapPicture::On);
  EXPECT_EQ(p.Pieces().rightCap, CapPicture::Off);
  // Ties round to even: 1/8 of 4 twips is 0.5 and rounds to 0, 3/8 of 4 is 1.5 and rounds to 2.
  VistaProg narrow("n", nullptr, {0, 0, 4, 225}, true);
  narrow.SetMax(8);
  narrow.SetValue(1);
  EXPECT_EQ(narrow.Pieces().fillWidth, 0);
  narrow.SetValue(3);
  EXPECT_EQ(narrow.Pieces().fillWidth, 2);
  // Back to zero: the 15-twip stub and both caps off.
  p.SetValue(1000);
  EXPECT_EQ(p.Pieces().rightCap, CapPicture::On);
  p.SetValue(0);
  EXPECT_EQ(p.Pieces().fillWidth, 15);
  EXPECT_EQ(p.Pieces().leftCap, CapPicture::Off);
  EXPECT_EQ(p.Pieces().rightCap, CapPicture::Off);
}

TEST_F(Bar, ResizeKeepsTheBarHeightAndMovesTheRightCap) {
  bar.SetHeight(600);
  EXPECT_EQ(bar.Height(), 225);
  bar.SetValue(50);
  bar.SetWidth(3000);
  EXPECT_EQ(bar.Pieces().rightCapLeft, 2970);
  EXPECT_EQ(bar.Pieces().trackWidth, 3000);
  EXPECT_EQ(bar.Pieces().fillWidth, 1500);
}

TEST_F(Bar, DesignDataRoundTripsAndSkipsDefaults) {
  bar.ReadProperties({{"Max", 5}, {"Min", 7}, {"Value", 3}});
  // Max is read first (5), then Min 7 is cut to Max - 1, then Value is raised to Min.
  EXPECT_EQ(bar.Max(), 5);
  EXPECT_EQ(bar.Min(), 4);
  EXPECT_EQ(bar.Value(), 4);
  PropertyBag saved{{"Value", 99}};
  bar.WriteProperties(saved);
  EXPECT_EQ(saved, (PropertyBag{{"Max", 5}, {"Min", 4}, {"Value", 4}}));
  bar.ReadProperties({});
  saved.clear();
  bar.WriteProperties(saved);
  EXPECT_TRUE(saved.empty());
}

}  // namespace
}  // namespace revivix
