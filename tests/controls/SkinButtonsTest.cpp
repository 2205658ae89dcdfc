#include <gtest/gtest.h>

#include "FormFixture.h"
#include "controls/mdlSkinButtons.h"

namespace revivix::test {
namespace {

using V = std::vector<std::uint32_t>;

TEST(SplitColor, RedIsTheLowByteAndSystemColoursAreTheButtonFace) {
  int r, g, b;
  SplitColor(8404992, r, g, b, 0xF0F0F0);  // &H804000
  EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{0, 64, 128}));
  SplitColor(0x80000005, r, g, b, 0x102030);  // the window colour still reads as the face
  EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{0x30, 0x20, 0x10}));
}

using Skins = FormTest;

TEST_F(Skins, WindowLoadShadesEveryUnicodeButtonFromItsFaceTowardsDarkBlue) {
  FormLoad(form);
  const std::vector<Control*> buttons{&form.CmdYes,         &form.CmdNo,      &form.Cmd_Next,
                                      &form.UniButton_Help, &form.UniRefresh, &form.Cmd_I_Disagree,
                                      &form.Cmd_I_Agree,    &form.cmdExit};
  for (Control* button : buttons) {
    ASSERT_TRUE(button->Skin().has_value()) << button->Name();
    // Face F0F0F0 to &H804000 in four steps of a quarter, rounded halves to even:
    // red 240 → 0 by 60; green 240 → 64 by 44; blue 240 → 128 by 28.
    EXPECT_EQ(button->Skin()->rings, (V{0xF0F0F0, 0xD4C4B4, 0xB89878, 0x9C6C3C, 0x804000}))
        << button->Name();
    EXPECT_EQ(button->Skin()->corner, 2);
  }
  EXPECT_EQ(form.Cmd_Next.Skin()->width, 89);
  EXPECT_EQ(form.Cmd_Next.Skin()->height, 28);
  EXPECT_EQ(form.CmdYes.Skin()->width, 73);
  for (Control* other : form.Controls()) {
    if (other->Kind() != ControlKind::UniButton) {
      EXPECT_FALSE(other->Skin()) << other->Name();
    }
  }
}

TEST(SkinButtonsModes, ModeZeroTouchesNothingAndModeTwoStartsFromTheContainer) {
  Control frame("frame", ControlKind::Frame, nullptr, {}, true, L"");
  frame.SetBackColor(0x000000);
  Control button("button", ControlKind::UniButton, &frame, {0, 0, 1500, 300}, true, L"OK");
  button.SetBackColor(0x0000FF);  // red
  const std::vector<Control*> controls{&frame, &button};
  SkinButtons(controls, 0, 0xFFFFFF, 2, 4, {});
  EXPECT_FALSE(button.Skin());

  SkinButtons(controls, 2, 0xFFFFFF, 3, 2, {});
  ASSERT_TRUE(button.Skin());
  // From the container's black outside to the button's red inside, in two steps.
  EXPECT_EQ(button.Skin()->rings, (V{0x000000, 0x000080, 0x0000FF}));
  EXPECT_EQ(button.Skin()->width, 100);
  EXPECT_EQ(button.Skin()->height, 20);
  EXPECT_FALSE(frame.Skin());
}

// No step size can be taken from zero or fewer steps; such a call leaves the buttons as they are
// instead of dividing by zero.
TEST(SkinButtonsModes, WithoutStepsNoButtonIsSkinned) {
  Control button("button", ControlKind::UniButton, nullptr, {0, 0, 1500, 300}, true, L"OK");
  for (int steps : {0, -1}) {
    SkinButtons({&button}, 3, 0x804000, 2, steps, {});
    EXPECT_FALSE(button.Skin()) << steps;
  }
}

TEST(SkinButtonsModes, SizesRoundHalvesToEven) {
  Control a("a", ControlKind::UniButton, nullptr, {0, 0, 1290, 1305}, true, L"");
  Control b("b", ControlKind::UniButton, nullptr, {0, 0, 1320, 1335}, true, L"");
  SkinButtons({&a, &b}, 1, 0, 2, 4, {.twipsPerPixelX = 12, .twipsPerPixelY = 30});
  EXPECT_EQ(a.Skin()->width, 108);  // 107.5
  EXPECT_EQ(b.Skin()->width, 110);  // 110
  EXPECT_EQ(a.Skin()->height, 44);  // 43.5
  EXPECT_EQ(b.Skin()->height, 44);  // 44.5
}

}  // namespace
}  // namespace revivix::test
