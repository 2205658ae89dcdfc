// A long database fills the player list in time that grows with its lines: each added entry costs
// the view one entry, and only replacing the whole list costs it the whole list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DatabaseFixture.h"
#include "detection/DeviceMatching.h"

namespace revivix::test {
namespace {

// A view that mirrors a list as the window's list does and counts the entries it had to send.
class MirroringListView : public ControlView {
 public:
  explicit MirroringListView(Control& list) : list_(list) { list.AttachView(this); }
  ~MirroringListView() override { list_.AttachView(nullptr); }
  void Changed(Property property) override {
    if (property == Property::Items) {
      shown.clear();
      for (int i = 0; i < list_.ListCount(); ++i) shown.push_back(list_.List(i));
      entriesSent += static_cast<std::size_t>(list_.ListCount());
    } else if (property == Property::ItemAdded) {
      shown.push_back(list_.List(list_.ListCount() - 1));
      ++entriesSent;
    }
  }
  std::vector<std::wstring> shown;
  std::size_t entriesSent = 0;

 private:
  Control& list_;
};

TEST_F(DetectionTest, TenThousandLinesFillThePlayerListInLinearTime) {
  constexpr int kLines = 10000;
  std::vector<std::wstring> lines;
  for (int i = 0; i < kLines; ++i) {
    Record r;
    r.model = L"Zanterix Fernclip " + std::to_wstring(i);
    r.serial = L"S" + std::to_wstring(i);
    lines.push_back(RecordLine(r));
  }
  ServeDatabase(Page(lines));
  Connect(L"USB\\VID_2A5F&PID_3500\\1", L"");
  MirroringListView players(form.Combo_Choose_Player);
  MirroringListView recovery(form.List1);

  EXPECT_EQ(FindConnectedPlayers(form), 0);
  EXPECT_EQ(form.RecoveryDeviceCount, 1);
  ASSERT_EQ(form.Combo_Choose_Player.ListCount(), kLines + 1);
  // The view shows what the model holds, and got each entry about once (the list is cleared
  // at the start of the detection: a few replacements of an empty or one-entry list).
  std::vector<std::wstring> model;
  for (int i = 0; i < form.Combo_Choose_Player.ListCount(); ++i)
    model.push_back(form.Combo_Choose_Player.List(i));
  EXPECT_EQ(players.shown, model);
  EXPECT_LE(players.entriesSent, static_cast<std::size_t>(kLines) + 10);
  EXPECT_EQ(recovery.shown, (std::vector<std::wstring>{L"USB\\VID_2A5F&PID_3500\\1"}));
  EXPECT_LE(recovery.entriesSent, 4u);
}

}  // namespace
}  // namespace revivix::test
