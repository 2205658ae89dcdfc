// The main window made in two halves (the controls that show at first before it is shown, the
// hidden ones right after) ends up with the same windows as when all are made at once: the same
// classes, ids, styles, places, texts and regions, in the same order among their siblings.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "AutomationRig.h"
#include "app/Lifecycle.h"
#include "platform/win32/Win32Views.h"

namespace {

using revivix::Control;
using revivix::win32::FormViews;
using revivix::wintest::AutomationRig;

constexpr DWORD kMainStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME;

struct Node {
  int depth;
  std::wstring windowClass;
  int id;
  LONG_PTR style;
  LONG_PTR exStyle;
  RECT place;  // in the parent's client coordinates
  std::wstring text;
  int regionType;
  RECT regionBox;

  bool operator==(const Node& o) const {
    return depth == o.depth && windowClass == o.windowClass && id == o.id && style == o.style &&
           exStyle == o.exStyle && EqualRect(&place, &o.place) && text == o.text &&
           regionType == o.regionType && EqualRect(&regionBox, &o.regionBox);
  }
};

std::ostream& operator<<(std::ostream& out, const Node& n) {
  std::string text(n.text.begin(), n.text.end());  // the design-time captions are ASCII
  std::string cls(n.windowClass.begin(), n.windowClass.end());
  return out << "depth " << n.depth << " " << cls << " id " << n.id << " style " << std::hex
             << n.style << " ex " << n.exStyle << std::dec << " at " << n.place.left << ","
             << n.place.top << "-" << n.place.right << "," << n.place.bottom << " '" << text
             << "' region " << n.regionType;
}

// Every window below `parent`, depth first, siblings from the top of their order down.
void Walk(HWND parent, int depth, std::vector<Node>& nodes) {
  for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    Node n{};
    n.depth = depth;
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    n.windowClass = name;
    n.id = GetDlgCtrlID(w);
    n.style = GetWindowLongPtrW(w, GWL_STYLE);
    n.exStyle = GetWindowLongPtrW(w, GWL_EXSTYLE);
    GetWindowRect(w, &n.place);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&n.place), 2);
    // A skin's ring window is named after its button's handle, which differs between the runs.
    if (n.windowClass != revivix::win32::kSkinClass) {
      wchar_t text[512] = {};
      GetWindowTextW(w, text, 512);
      n.text = text;
    }
    n.regionType = GetWindowRgnBox(w, &n.regionBox);
    nodes.push_back(n);
    Walk(w, depth + 1, nodes);
  }
}

bool ShownAtStart(const Control& control, const Control& form) {
  for (const Control* c = &control; c && c != &form; c = c->Container())
    if (!c->Visible()) return false;
  return true;
}

TEST(StartupWindows, MadeInTwoHalvesTheyEqualTheWindowsMadeAtOnce) {
  std::vector<Node> atOnce;
  AutomationRig one;
  FormViews whole(one.form, one.platform.loop, one.platform.window, nullptr);
  HWND first = whole.Create(kMainStyle);
  ASSERT_NE(first, nullptr);
  revivix::FormLoad(one.form);
  whole.BringToTop(one.form.Cmd_I_Agree);
  Walk(first, 0, atOnce);

  std::vector<Node> inHalves;
  AutomationRig two;
  FormViews halves(two.form, two.platform.loop, two.platform.window, nullptr);
  HWND second = halves.CreateShown(kMainStyle);
  ASSERT_NE(second, nullptr);
  // Before the window is shown, only the controls that show with it have windows.
  EXPECT_NE(halves.HandleOf(two.form.Combo_Region), nullptr);
  EXPECT_NE(halves.HandleOf(two.form.UniRefresh), nullptr);
  EXPECT_EQ(halves.HandleOf(two.form.Cmd_I_Agree), nullptr);
  EXPECT_EQ(halves.HandleOf(two.form.Uni_Error_Label1), nullptr);  // its frame is hidden
  for (Control* c : two.form.Controls())
    EXPECT_EQ(halves.HandleOf(*c) != nullptr, ShownAtStart(*c, two.form.Window)) << c->Name();
  revivix::FormLoad(two.form);
  ShowWindow(second, SW_SHOWNA);
  halves.CreateHidden();
  halves.BringToTop(two.form.Cmd_I_Agree);
  Walk(second, 0, inHalves);

  // 30 control windows and a ring window inside each of the 8 buttons.
  EXPECT_EQ(atOnce.size(), 38u);
  ASSERT_EQ(inHalves.size(), atOnce.size());
  for (std::size_t i = 0; i < atOnce.size(); ++i)
    EXPECT_EQ(inHalves[i], atOnce[i]) << "window " << i;
  for (Control* c : two.form.Controls()) EXPECT_NE(halves.HandleOf(*c), nullptr) << c->Name();
}

}  // namespace
