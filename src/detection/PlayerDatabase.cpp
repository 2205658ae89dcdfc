#include "detection/PlayerDatabase.h"

#include "app/Pages.h"
#include "app/Version.h"
#include "common/Text.h"
#include "detection/PageLog.h"
#include "detection/SiteAddress.h"

namespace revivix {

std::wstring FetchDatabasePage(frmMain& form) {
  // Leaving the wizard ends the wait; the unfinished page reads as empty.
  LoggedPage page = LoadLoggedPage(form, DatabaseAddress(form));
  std::wstring text =
      page.document->ReadyState() == L"complete" ? page.document->OuterText() : std::wstring();
  if (form.program.log.Started())
    LogPage(form, page, L"database", PageArrived(page) && DatabasePageIsValid(text));
  return text;
}

namespace {

// True when the upper-cased text contains `upperPart`. Upper-casing maps each character on its
// own, so the text is upper-cased a window at a time instead of copied whole.
bool ContainsUpperCased(std::wstring_view text, std::wstring_view upperPart) {
  constexpr std::size_t kWindow = 8192;
  const std::size_t overlap = upperPart.size() - 1;
  for (std::size_t start = 0; start < text.size(); start += kWindow) {
    const std::wstring window = UCase(text.substr(start, kWindow + overlap));
    if (window.find(upperPart) != std::wstring::npos) return true;
  }
  return false;
}

}  // namespace

bool DatabasePageIsValid(const std::wstring& text) {
  // Trimming cannot change what the page contains, so only the emptiness test needs it.
  if (text.find_first_not_of(L' ') == std::wstring::npos) return false;
  if (ContainsUpperCased(text, L"THE PAGE CANNOT BE FOUND")) return false;
  return ContainsUpperCased(text, L"PID_4157");
}

std::vector<std::wstring> DatabasePageLines(const std::wstring& text) {
  return Split(text, L"\r\n");
}

std::vector<std::wstring> RecordValues(const std::wstring& line) {
  std::vector<std::wstring> values = Split(line, L",");
  if (values.size() < kRecordValues) values.clear();
  return values;
}

void CopyPlayerRecord(frmMain& form, const std::vector<std::wstring>& values) {
  form.PlayerModel = Trim(values.at(1));
  form.PlayerOsLevel = Trim(values.at(2));
  form.PlayerMediaPlayerVersion = Trim(values.at(3));
  form.PlayerMode = Trim(values.at(4));
  form.FirmwareLinkTail = Trim(values.at(6));
  form.FirmwareSiteEurope = Trim(values.at(7));
  form.FirmwareSiteWorld = Trim(values.at(8));
  form.UpdaterTitle = Trim(UCase(values.at(10)));
  form.SupportUrl = Trim(values.at(11));
}

void AddToChoiceList(frmMain& form, const std::vector<std::wstring>& values) {
  if (UCase(Trim(values.at(5))) != L"N/A") form.Combo_Choose_Player.AddItem(Trim(values.at(1)));
}

void LoadPlayerDatabase(frmMain& form) {
  const std::wstring text = FetchDatabasePage(form);
  if (form.Quitting()) return;  // the user left while the page was loading
  if (!DatabasePageIsValid(text)) {
    form.Uni_Error_Label1.SetCaption(form.UserName);
    form.Uni_Error_Label1.SetCaption(form.Uni_Error_Label1.Caption() + L", " +
                                     LookUp(form, L"IDS_PID_DATABASE_CONNECTION_FAILED"));
    form.UniRefresh.SetEnabled(false);
    form.Timer2.SetEnabled(false);
    form.program.log.Write(logtag::kPage, L"error IDS_PID_DATABASE_CONNECTION_FAILED");
    ShowErrorPage(form);
    form.Timer1.SetEnabled(true);
    return;
  }
  form.UpdateAvailable = false;
  form.UpdateUrl = L"";
  const std::vector<std::wstring> pieces = DatabasePageLines(text);
  // The text after the last line break is never read as a record line here.
  const double ownVersion = NumericValue(kProgramVersion);
  for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
    const std::vector<std::wstring> values = RecordValues(pieces[i]);
    if (values.empty()) continue;
    if (ownVersion != NumericValue(Trim(values[12]))) {
      form.UpdateAvailable = true;
      form.UpdateUrl = values[13];
      form.program.log.Write(logtag::kCheck, L"update check: version " + Trim(values[12]) +
                                                 L" announced at " + LogAddress(Trim(values[13])));
      return;
    }
    form.UpdateAvailable = false;
  }
  form.program.log.Write(logtag::kCheck, L"update check: no newer version");
}

}  // namespace revivix
