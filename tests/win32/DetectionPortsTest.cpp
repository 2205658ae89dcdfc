// The real ports of the environment checks and the player detection against Wine's own
// services: user and computer name and administrator membership, the registry, the device list
// (with simulated USB devices written into the registry), and the connection check against the
// local maker site (its state folder is the first argument).
#include <windows.h>
#include <winsock2.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "SiteSupport.h"
#include "TestSupport.h"
#include "driver/Paths.h"
#include "driver/WineMachine.h"
#include "platform/win32/Win32ConnectionCheck.h"
#include "platform/win32/Win32DeviceInventory.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemInfo.h"

namespace revivix {
namespace {

TEST(Win32SystemInfo, NamesAreTheSessionsOwn) {
  win32::Win32SystemInfo system;
  wchar_t user[256] = {};
  DWORD userSize = 256;
  ASSERT_TRUE(GetUserNameW(user, &userSize));
  EXPECT_EQ(system.UserName(), user);
  EXPECT_FALSE(system.UserName().empty());
  wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD computerSize = MAX_COMPUTERNAME_LENGTH + 1;
  ASSERT_TRUE(GetComputerNameW(computer, &computerSize));
  EXPECT_EQ(system.ComputerName(), computer);
  EXPECT_FALSE(system.ComputerName().empty());
}

TEST(Win32SystemInfo, AdministratorMembershipAgreesWithTheSystemsOwnTest) {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS,
                                       0, 0, 0, 0, 0, 0, &administrators));
  BOOL member = FALSE;
  ASSERT_TRUE(CheckTokenMembership(nullptr, administrators, &member));
  FreeSid(administrators);
  win32::Win32SystemInfo system;
  EXPECT_EQ(system.IsAdministratorsMember(), member != FALSE);
  EXPECT_TRUE(system.IsAdministratorsMember());  // Wine's user always is one
}

constexpr wchar_t kTestKey[] = L"Software\\Revivix contract test";

class Win32RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTestKey);
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTestKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key_, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(key_);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTestKey);
  }
  void Set(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetValueExW(key_, name, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
  }
  HKEY key_ = nullptr;
};

TEST_F(Win32RegistryTest, TextNumberAndEverythingElse) {
  const wchar_t text[] = L"11,0,5721,5145";
  Set(L"Version", REG_SZ, text, sizeof text);
  const DWORD number = 11;
  Set(L"Number", REG_DWORD, &number, sizeof number);
  const BYTE binary[] = {1, 2, 3};
  Set(L"Binary", REG_BINARY, binary, sizeof binary);
  const wchar_t empty[] = L"";
  Set(L"Empty", REG_SZ, empty, sizeof empty);

  win32::Win32Registry registry;
  RegistryValue v = registry.LocalMachineValue(kTestKey, L"Version");
  EXPECT_EQ(v.kind, RegistryValue::Kind::Text);
  EXPECT_EQ(v.text, L"11,0,5721,5145");  // without its terminating NUL
  v = registry.LocalMachineValue(kTestKey, L"Number");
  EXPECT_EQ(v.kind, RegistryValue::Kind::Number);
  EXPECT_EQ(v.number, 11u);
  EXPECT_EQ(registry.LocalMachineValue(kTestKey, L"Binary").kind, RegistryValue::Kind::None);
  v = registry.LocalMachineValue(kTestKey, L"Empty");
  EXPECT_EQ(v.kind, RegistryValue::Kind::Text);
  EXPECT_EQ(v.text, L"");
  EXPECT_EQ(registry.LocalMachineValue(kTestKey, L"Missing").kind, RegistryValue::Kind::None);
  EXPECT_EQ(registry.LocalMachineValue(L"Software\\No such key here", L"Version").kind,
            RegistryValue::Kind::None);
}

const DeviceEntry* Find(const std::vector<DeviceEntry>& devices, const std::wstring& id) {
  const auto it = std::find_if(devices.begin(), devices.end(), [&](const DeviceEntry& d) {
    return CompareStringOrdinal(d.pnpDeviceId.c_str(), -1, id.c_str(), -1, TRUE) == CSTR_EQUAL;
  });
  return it == devices.end() ? nullptr : &*it;
}

// Simulated players appear in the device list with their instance id and name, and are gone
// again once removed.
TEST(Win32DeviceInventoryTest, ListsSimulatedUsbDevices) {
  const std::wstring player = L"VID_2A5F&PID_4157\\CONTRACT0001";
  const std::wstring recovery = L"VID_2A5F&PID_3500\\CONTRACT0002";
  driver::WineMachine machine;
  ASSERT_TRUE(machine.StartedClean());
  ASSERT_TRUE(machine.AddUsbDevice(player, L"Zanterix Fernclip 200 USB Device", L"USB Device"));
  ASSERT_TRUE(machine.AddUsbDevice(recovery, L"", L"USB Mass Storage Device"));

  win32::Win32DeviceInventory inventory;
  const std::vector<DeviceEntry> devices = inventory.Devices();
  const DeviceEntry* found = Find(devices, L"USB\\" + player);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->name, L"Zanterix Fernclip 200 USB Device");  // the friendly name
  found = Find(devices, L"USB\\" + recovery);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->name, L"USB Mass Storage Device");  // no friendly name: the description
  EXPECT_GT(devices.size(), 2u);                       // the machine's own devices as well

  EXPECT_TRUE(machine.Restore());
  const std::vector<DeviceEntry> after = inventory.Devices();
  EXPECT_EQ(Find(after, L"USB\\" + player), nullptr);
  EXPECT_EQ(Find(after, L"USB\\" + recovery), nullptr);
}

TEST(Win32ConnectionCheckTest, ReachesTheLocalSiteAndNotAClosedPort) {
  const std::wstring site = wintest::LocalSite(wintest::Argument(0));
  ASSERT_FALSE(site.empty()) << "no site port: the site state folder is the first argument";
  win32::Win32ConnectionCheck check;
  EXPECT_TRUE(check.CanConnect(site + L"/demo/revivix/database/Fernclip_database.htm"));
  // Only the server counts, not whether the page exists.
  EXPECT_TRUE(check.CanConnect(site + L"/no/such/page.htm"));
  EXPECT_FALSE(check.CanConnect(L"http://127.0.0.1:1/revivix/database/Fernclip_database.htm"));
  EXPECT_FALSE(check.CanConnect(L"not an address"));
}

// A server on loopback that takes connections into its queue and never says a word.
class SilentServer {
 public:
  SilentServer() {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    socket_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (socket_ == INVALID_SOCKET ||
        bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(socket_, 8) != 0 ||
        getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
      return;
    port_ = ntohs(address.sin_port);
  }
  ~SilentServer() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
    if (started_) WSACleanup();
  }
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;
  int Port() const { return port_; }

 private:
  bool started_ = false;
  SOCKET socket_ = INVALID_SOCKET;
  int port_ = 0;
};

TEST(Win32ConnectionCheckTest, TheSiteRequestCountsAnyAnswerAndEndsAtItsLimit) {
  const std::wstring site = wintest::LocalSite(wintest::Argument(0));
  ASSERT_FALSE(site.empty()) << "no site port: the site state folder is the first argument";
  win32::Win32ConnectionCheck check;
  EXPECT_TRUE(check.RequestAnswers(site + L"/demo/revivix/database/Fernclip_database.htm", 5000));
  // A 404 is an answer: the way to the site works.
  EXPECT_TRUE(check.RequestAnswers(site + L"/no/such/page.htm", 5000));
  EXPECT_FALSE(check.RequestAnswers(L"http://127.0.0.1:1/revivix/database/x.htm", 5000));
  EXPECT_FALSE(check.RequestAnswers(L"not an address", 5000));

  const SilentServer silent;
  ASSERT_NE(silent.Port(), 0);
  const DWORD start = GetTickCount();
  EXPECT_FALSE(check.RequestAnswers(
      L"http://127.0.0.1:" + std::to_wstring(silent.Port()) + L"/revivix/database/x.htm", 1500));
  const DWORD waited = GetTickCount() - start;
  EXPECT_GE(waited, 1000u);  // it did wait for an answer
  EXPECT_LT(waited, 3000u) << "the request outlived its limit by " << waited - 1500 << " ms";
}

}  // namespace
}  // namespace revivix
