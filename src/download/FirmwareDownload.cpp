#include "download/FirmwareDownload.h"

#include <array>
#include <cmath>
#include <exception>
#include <memory>
#include <optional>

#include "app/Lifecycle.h"
#include "app/Pages.h"
#include "common/Sha256.h"
#include "common/Text.h"
#include "detection/PageLog.h"
#include "download/TumoDL.h"

namespace revivix {

namespace {

// The updater is started in a normal, visible window: the user has to see the program that is
// changing their player.
constexpr int kShowNormal = 1;
constexpr std::size_t kLinkSlots = 21;

// The download step's messages: the user's name, ", " and the text, in the message label.
void ShowMessage(frmMain& form, const std::wstring& key) {
  form.Uni_Error_Label1.SetCaption(form.UserName);
  form.Uni_Error_Label1.SetCaption(form.Uni_Error_Label1.Caption() + L", " + LookUp(form, key));
}

void ShowSiteOffline(frmMain& form) {
  form.program.log.Write(logtag::kPage, L"error IDS_FW_SITE_OFFLINE");
  ShowMessage(form, L"IDS_FW_SITE_OFFLINE");
  form.UnitxtLicense.SetVisible(false);
  form.cmdExit.SetLeft(6465);
  form.cmdExit.SetEnabled(false);
  form.Cmd_I_Agree.SetVisible(false);
  form.Cmd_I_Disagree.SetVisible(false);
  form.Info_Label.SetVisible(false);
  ShowErrorPage(form);
}

bool EndsWithNoCase(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() && EqualsNoCase(text.substr(text.size() - end.size()), end);
}

void DownloadFailed(frmMain& form) {
  form.program.log.Write(logtag::kPage, L"error IDS_UNEXPECTED_ERROR");
  ShowMessage(form, L"IDS_UNEXPECTED_ERROR");
  form.Frame_4_Download_Progress.SetVisible(false);
  form.Timer6.SetEnabled(true);
}

// The download's line: the sizes, the time and how it ended. `outcome` says why a file was
// refused ("refused: not a program", say), so each check that refuses one names itself.
void LogDownload(frmMain& form, const TumoDL* download, std::uint64_t startedMs,
                 const std::wstring& outcome) {
  RunLog& log = form.program.log;
  if (!log.Started()) return;
  const std::uint32_t announced = download ? download->BytesAnnounced() : 0;
  const std::uint32_t received = download ? download->BytesReceived() : 0;
  log.Write(logtag::kDownload, std::to_wstring(announced) + L" bytes announced, " +
                                   std::to_wstring(received) + L" received, " +
                                   std::to_wstring(log.Milliseconds() - startedMs) + L" ms, " +
                                   outcome);
}

std::wstring StatusText(std::int32_t status) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::wstring hex = L"0x";
  for (int shift = 28; shift >= 0; shift -= 4)
    hex.push_back(
        static_cast<wchar_t>(kDigits[(static_cast<std::uint32_t>(status) >> shift) & 15]));
  return hex + L" " + StatusMessage(status);
}

}  // namespace

std::optional<std::wstring> ReadUpdaterLink(const std::wstring& html) {
  if (Trim(html).empty()) return std::nullopt;
  std::array<std::wstring, kLinkSlots> slots;
  std::size_t used = 0;
  for (const std::wstring& piece : Split(html, L"<A HREF=")) {
    if (!ContainsNoCase(piece, L"HTTP")) continue;
    for (const std::wstring& part : Split(piece, L"\"")) {
      if (!ContainsNoCase(part, L"HTTP")) continue;
      if (used == kLinkSlots) return std::nullopt;  // a 22nd text
      slots[used++] = part;
    }
  }
  if (used == 0) return std::nullopt;
  // All slots filled: the page holds too many links to trust any of them.
  return used == kLinkSlots ? std::wstring() : slots[used - 1];
}

std::wstring FindUpdaterLink(frmMain& form, std::wstring& url) {
  std::optional<std::wstring> link;
  try {
    LoggedPage page = LoadLoggedPage(form, url);
    // The user left during the wait: the caller ends Accept without a message.
    if (form.Quitting()) {
      LogPage(form, page, L"link page", false);
      return L"";
    }
    link = ReadUpdaterLink(page.document->OuterHtml());
    LogPage(form, page, L"link page", PageArrived(page) && link && !link->empty());
  } catch (const std::exception&) {
    link.reset();
  }
  if (!link) {
    ShowSiteOffline(form);
    return L"";
  }
  return *link;
}

std::wstring UpdaterFileName(const std::wstring& updaterUrl) {
  const std::size_t slash = updaterUrl.rfind(L'/');
  const std::wstring name = slash == std::wstring::npos ? updaterUrl : updaterUrl.substr(slash + 1);
  if (name.empty() || name.find(L"..") != std::wstring::npos) return L"";
  for (const wchar_t c : name) {
    if (c < 32 || c == 127) return L"";
    if (std::wstring_view(L"\\:<>\"|?*").find(c) != std::wstring_view::npos) return L"";
  }
  // Windows drops trailing blanks and points, so such a name would not be the file written.
  if (name.back() == L' ' || name.back() == L'.') return L"";
  // A device name stays a device whatever extension follows it.
  std::wstring base = UCase(name.substr(0, name.find(L'.')));
  while (!base.empty() && base.back() == L' ') base.pop_back();
  static const wchar_t* const kDevices[] = {L"CON",    L"PRN",     L"AUX",   L"NUL",
                                            L"CONIN$", L"CONOUT$", L"CLOCK$"};
  for (const wchar_t* device : kDevices)
    if (base == device) return L"";
  if (base.size() == 4 && (base.rfind(L"COM", 0) == 0 || base.rfind(L"LPT", 0) == 0) &&
      base[3] >= L'0' && base[3] <= L'9')
    return L"";
  // The superscript digits count as port numbers too (COM¹, LPT²).
  if (base.size() == 4 && (base.rfind(L"COM", 0) == 0 || base.rfind(L"LPT", 0) == 0) &&
      (base[3] == L'\u00B9' || base[3] == L'\u00B2' || base[3] == L'\u00B3'))
    return L"";
  return name;
}

bool IsPortableExecutable(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z') return false;
  const std::uint32_t offset =
      static_cast<std::uint32_t>(bytes[0x3C]) | static_cast<std::uint32_t>(bytes[0x3D]) << 8 |
      static_cast<std::uint32_t>(bytes[0x3E]) << 16 | static_cast<std::uint32_t>(bytes[0x3F]) << 24;
  if (offset > bytes.size() || bytes.size() - offset < 4) return false;
  return bytes[offset] == 'P' && bytes[offset + 1] == 'E' && bytes[offset + 2] == 0 &&
         bytes[offset + 3] == 0;
}

void ShowDownloadPage(frmMain& form) {
  form.cmdExit.Move(6465, 6555);
  form.cmdExit.SetVisible(true);
  form.cmdExit.SetEnabled(true);
  form.Cmd_I_Agree.SetVisible(false);
  form.Cmd_I_Disagree.SetVisible(false);
  form.Info_Label.SetVisible(false);
  form.UnitxtLicense.SetVisible(false);

  form.LastMessage = L"";
  ShowMessage(form, L"IDS_FW_DOWNLOAD_MSG1");
  form.Frame_Error_Handling.Move(220, 3160);
  form.Frame_Error_Handling.SetVisible(true);
  form.LastMessage = form.Uni_Error_Label1.Caption();
}

void StartFirmwareDownload(frmMain& form) {
  Ports& ports = form.program.ports;
  ports.loop.SetMousePointer(MousePointer::Hourglass);
  ShowDownloadPage(form);

  form.UpdaterPath = L"";
  ports.loop.DoEvents();
  if (form.Quitting()) {
    ports.loop.SetMousePointer(MousePointer::Default);
    return;
  }

  const std::wstring name = UpdaterFileName(form.UpdaterUrl);
  RunLog& log = form.program.log;
  log.Write(logtag::kLink, name.empty() ? std::wstring(L"the address gives no plain file name")
                                        : L"file name " + name);
  const std::uint64_t startedMs = log.Milliseconds();
  std::optional<bool> result = false;
  if (!name.empty()) {
    form.UpdaterPath = ports.system.ProgramFolder() + L"\\fw\\" + name;
    form.Frame_4_Download_Progress.SetVisible(true);
    // This call holds its own reference: whatever runs inside the download's events cannot
    // release the object whose download is still on the stack.
    const auto download = std::make_shared<TumoDL>(ports.download, ports.loop);
    form.mydl = download;
    download->TumoDLProg = [&form](std::int32_t progress, std::int32_t progressMax) {
      mydl_TumoDLProg(form, progress, progressMax);
    };
    result = download->StartTheStinkinDownLoad(form.UpdaterUrl, form.UpdaterPath);
  }

  FileSystem& files = form.program.SharedFileSystem();
  // The user left while the updater was on its way: it is neither kept nor started.
  if (form.Quitting()) {
    LogDownload(form, form.mydl.get(), startedMs, L"stopped: the wizard was left");
    if (!form.UpdaterPath.empty() && files.FileExists(form.UpdaterPath))
      files.DeleteFiles(form.UpdaterPath);
    ports.loop.SetMousePointer(MousePointer::Default);
    return;
  }

  // Why a file that arrived is not started; empty while nothing refuses it.
  std::wstring refusal;
  std::optional<std::vector<std::uint8_t>> bytes;
  if (result == true && files.FileExists(form.UpdaterPath)) {
    // The shell runs whatever it is given with the wizard's administrator rights (a batch file,
    // a script, a shortcut), so only a program named ".exe" with a program header is started;
    // anything else, an error page saved under the updater's name too, is deleted unopened.
    if (EndsWithNoCase(form.UpdaterPath, L".exe")) bytes = files.ReadBytes(form.UpdaterPath);
    if (!bytes || !IsPortableExecutable(*bytes)) {
      refusal = L"not a program";
      files.DeleteFiles(form.UpdaterPath);
      result = false;
    }
  }

  if (name.empty())
    LogDownload(form, nullptr, startedMs, L"not started: no file name");
  else if (!refusal.empty())
    LogDownload(form, form.mydl.get(), startedMs, L"refused: " + refusal);
  else if (result != true)
    LogDownload(form, form.mydl.get(), startedMs,
                L"failed: " + (form.mydl ? StatusText(form.mydl->LastStatus()) : L""));
  else if (!files.FileExists(form.UpdaterPath))
    LogDownload(form, form.mydl.get(), startedMs, L"complete, but the file is gone");
  else
    LogDownload(form, form.mydl.get(), startedMs, L"complete");

  if (result == true) {
    if (files.FileExists(form.UpdaterPath)) {
      form.UniRefresh.SetEnabled(false);
      if (log.Started() && bytes)
        log.Write(logtag::kUpdater, L"starting FW\\" + name + L", " +
                                        std::to_wstring(bytes->size()) + L" bytes, SHA-256 " +
                                        FromUtf8(Sha256Hex(bytes->data(), bytes->size())));
      const std::intptr_t started =
          ports.shell.Execute(L"open", form.UpdaterPath, L"0", L"0", kShowNormal);
      log.Write(logtag::kUpdater, L"shell result " + std::to_wstring(started) +
                                      (started > 32 ? L" (started)" : L" (not started)"));
    } else {
      log.Write(logtag::kPage, L"error IDS_UNEXPECTED_ERROR");
      ShowMessage(form, L"IDS_UNEXPECTED_ERROR");
      form.Frame_4_Download_Progress.SetVisible(false);
      if (!form.Quitting()) log.endCause = L"the download step (the updater's file was gone)";
      QuitWizard(form);
    }
  } else {
    // Whatever a failed transfer left under the updater's name goes.
    if (!form.UpdaterPath.empty() && files.FileExists(form.UpdaterPath))
      files.DeleteFiles(form.UpdaterPath);
    DownloadFailed(form);
  }

  form.UniRefresh.SetVisible(true);
  ports.loop.SetMousePointer(MousePointer::Default);
}

void mydl_TumoDLProg(frmMain& form, std::int32_t Progress, std::int32_t ProgressMax) {
  if (Progress < 0 || Progress > ProgressMax) return;
  const double total = ProgressMax / 1024.0 / 1024.0;
  const double kilobytes = std::nearbyint(Progress / 1024.0);  // half to even
  if (kilobytes < 1024)
    form.Label_Actual_Size.SetCaption(FormatNumber(kilobytes, L"####") + L"KB");
  else
    form.Label_Actual_Size.SetCaption(FormatNumber(Progress / 1024.0 / 1024.0, L"##.00") + L"MB");
  form.Label_Total_FileSize.SetCaption(L"/" + FormatNumber(total, L"##.00") + L"MB");
  form.VistaProg2.SetMax(ProgressMax);
  form.VistaProg2.SetValue(Progress);
  form.program.ports.loop.DoEvents();
}

}  // namespace revivix
