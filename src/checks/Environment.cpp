#include "checks/Environment.h"

#include "app/Pages.h"
#include "common/Text.h"
#include "detection/SiteAddress.h"
#include "platform/ConnectionCheck.h"

namespace revivix {

std::wstring GetCurrentUserName(frmMain& form) {
  return form.program.ports.system.UserName();
}

std::wstring GetLocalComputerName(frmMain& form) {
  return form.program.ports.system.ComputerName();
}

std::wstring OsCodeOf(const VersionRecord& version) {
  const std::wstring text = std::to_wstring(version.major) + L"." + std::to_wstring(version.minor);
  if (text == L"5.1" || text == L"5.2") return L"1";
  if (text == L"6.0") return L"2";
  return L"";
}

void CheckOperatingSystem(frmMain& form) {
  form.OsCode = L"";
  const VersionRecord version = form.program.ports.system.Version();
  form.OsCode = OsCodeOf(version);
  RunLog& log = form.program.log;
  log.Write(logtag::kSystem, L"Windows " + std::to_wstring(version.major) + L"." +
                                 std::to_wstring(version.minor) + L"." +
                                 std::to_wstring(version.build) + L", platform " +
                                 std::to_wstring(version.platformId) +
                                 (version.servicePack.empty() ? L"" : L", " + version.servicePack));
  log.Write(logtag::kCheck, NumericValue(form.OsCode) < 1
                                ? std::wstring(L"operating system: not supported")
                                : L"operating system: supported, level " + form.OsCode);
  if (NumericValue(form.OsCode) < 1) {
    form.Timer2.SetEnabled(false);
    ShowError(form, L"IDS_OS_NOT_SUPPORTED");
    form.Timer1.SetEnabled(true);
  }
}

bool IsInternetReachable(frmMain& form) {
  ConnectionCheck& connection = form.program.ports.connection;
  const std::wstring address = DatabaseAddress(form);
  // The direct check fails where only a proxy leads out; the site's own answer through the
  // system's proxy settings then decides.
  return connection.CanConnect(address) || connection.RequestAnswers(address, kSiteRequestLimitMs);
}

void CheckInternetConnection(frmMain& form) {
  const bool reachable = IsInternetReachable(form);
  form.program.log.Write(logtag::kCheck, std::wstring(L"Internet: ") +
                                             (reachable ? L"reachable" : L"not reachable") + L" (" +
                                             LogAddress(DatabaseAddress(form)) + L")");
  if (reachable) return;
  form.Timer2.SetEnabled(false);
  ShowError(form, L"IDS_NO_INTERNET_CONNECTION");
}

}  // namespace revivix
