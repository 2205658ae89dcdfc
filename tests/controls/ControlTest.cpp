#include <gtest/gtest.h>

#include <vector>

#include "controls/Control.h"

namespace revivix {
namespace {

struct RecordingView : ControlView {
  void Changed(Property p) override { changes.push_back(p); }
  std::vector<Property> changes;
};

TEST(DropDownList, TextSelectsAnEntryAndRaisesClick) {
  Control list("Combo_Region", ControlKind::DropDownList, nullptr, {}, true, L"");
  int clicks = 0;
  list.Click = [&] { ++clicks; };
  for (const wchar_t* e : {L"Choose Region", L"Europe", L"Rest of the World"}) list.AddItem(e);
  EXPECT_EQ(list.Text(), L"");
  list.SetText(L"Europe");
  EXPECT_EQ(list.ListIndex(), 1);
  EXPECT_EQ(list.Text(), L"Europe");
  EXPECT_EQ(clicks, 1);
  // Only entries can be set; letter case does not matter.
  EXPECT_THROW(list.SetText(L"Asia"), ControlError);
  EXPECT_THROW(list.SetText(L" Europe"), ControlError);
  EXPECT_EQ(list.Text(), L"Europe");
  EXPECT_EQ(clicks, 1);
  list.SetText(L"rest of the world");
  EXPECT_EQ(list.Text(), L"Rest of the World");
  EXPECT_EQ(clicks, 2);
  list.UserSelect(0);
  EXPECT_EQ(list.Text(), L"Choose Region");
  EXPECT_EQ(clicks, 3);
  list.Clear();
  EXPECT_EQ(list.Text(), L"");
  EXPECT_EQ(list.ListCount(), 0);
}

TEST(ControlModel, ViewMirrorsEveryChangeButNotUserEdits) {
  Control box("txtSNO", ControlKind::TextBox, nullptr, {2280, 1680, 1305, 360}, true, L"");
  RecordingView view;
  box.AttachView(&view);
  box.Move(180, 2620);
  box.SetVisible(false);
  box.SetEnabled(false);
  box.SetText(L"SN123");
  box.SetBackColor(0xEBEDED);
  box.UserEdit(L"SN1234");
  EXPECT_EQ(view.changes,
            (std::vector<Property>{Property::Left, Property::Top, Property::Visible,
                                   Property::Enabled, Property::Text, Property::BackColor}));
  EXPECT_EQ(box.Text(), L"SN1234");
  EXPECT_EQ(box.Left(), 180);
  EXPECT_FALSE(box.Visible());
}

}  // namespace
}  // namespace revivix
