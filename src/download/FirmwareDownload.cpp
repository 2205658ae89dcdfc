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
#include "detection/HtmlDocumentWait.h"
#include "detection/PageLog.h"
#include "download/FirmwareFolder.h"
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
  // The length the completeness check holds the file to.
  const std::uint64_t announced = download ? download->AnnouncedLength() : 0;
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

namespace {

std::uint32_t Read16(const std::vector<std::uint8_t>& bytes, std::uint64_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8;
}

std::uint32_t Read32(const std::vector<std::uint8_t>& bytes, std::uint64_t at) {
  return Read16(bytes, at) | Read16(bytes, at + 2) << 16;
}

// The program headers' fixed sizes and the places of the fields the check reads.
constexpr std::uint64_t kFileHeaderSize = 20;
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint64_t kSymbolSize = 18;
constexpr std::uint32_t kMagic32 = 0x10B;
constexpr std::uint32_t kMagic64 = 0x20B;
constexpr std::uint64_t kSizeOfHeadersAt = 60;  // in the optional header, both forms
constexpr std::uint32_t kSecurityDirectory = 4;

}  // namespace

DownloadCheck CheckDownloadedProgram(const std::vector<std::uint8_t>& bytes,
                                     std::uint64_t announcedLength) {
  const std::uint64_t size = bytes.size();
  if (announcedLength != 0 && size != announcedLength) return DownloadCheck::WrongLength;
  if (!IsPortableExecutable(bytes)) return DownloadCheck::NotAProgram;
  // All offsets are 64-bit sums of 32-bit fields, so no declared value can wrap around.
  const auto inside = [size](std::uint64_t offset, std::uint64_t length) {
    return offset <= size && length <= size - offset;
  };
  const std::uint64_t pe = Read32(bytes, 0x3C);
  const std::uint64_t fileHeader = pe + 4;
  if (!inside(fileHeader, kFileHeaderSize)) return DownloadCheck::NotWhole;
  const std::uint64_t sections = Read16(bytes, fileHeader + 2);
  const std::uint64_t symbolTable = Read32(bytes, fileHeader + 8);
  const std::uint64_t symbols = Read32(bytes, fileHeader + 12);
  const std::uint64_t optionalSize = Read16(bytes, fileHeader + 16);
  const std::uint64_t optional = fileHeader + kFileHeaderSize;
  if (!inside(optional, optionalSize)) return DownloadCheck::NotWhole;
  if (optionalSize < 2) return DownloadCheck::NotAProgram;
  const std::uint32_t magic = Read16(bytes, optional);
  if (magic != kMagic32 && magic != kMagic64) return DownloadCheck::NotAProgram;
  // The data directories follow the fixed part of the optional header, preceded by their count.
  const std::uint64_t countAt = magic == kMagic32 ? 92 : 108;
  if (optionalSize < countAt + 4) return DownloadCheck::NotAProgram;
  const std::uint64_t directories = Read32(bytes, optional + countAt);
  if (countAt + 4 + directories * 8 > optionalSize) return DownloadCheck::NotAProgram;
  if (!inside(0, Read32(bytes, optional + kSizeOfHeadersAt))) return DownloadCheck::NotWhole;
  const std::uint64_t table = optional + optionalSize;
  if (!inside(table, sections * kSectionHeaderSize)) return DownloadCheck::NotWhole;
  for (std::uint64_t i = 0; i < sections; ++i) {
    const std::uint64_t header = table + i * kSectionHeaderSize;
    const std::uint64_t rawSize = Read32(bytes, header + 16);
    const std::uint64_t rawAt = Read32(bytes, header + 20);
    if (rawSize != 0 && !inside(rawAt, rawSize)) return DownloadCheck::NotWhole;
  }
  // The signature is the one directory whose address is a file offset; it usually lies after the
  // sections, at the very end, where a cut file loses it first.
  if (directories > kSecurityDirectory) {
    const std::uint64_t entry = optional + countAt + 4 + kSecurityDirectory * 8;
    const std::uint64_t at = Read32(bytes, entry);
    const std::uint64_t length = Read32(bytes, entry + 4);
    if ((at != 0 || length != 0) && !inside(at, length)) return DownloadCheck::NotWhole;
  }
  if (symbolTable != 0 && !inside(symbolTable, symbols * kSymbolSize))
    return DownloadCheck::NotWhole;
  return DownloadCheck::Complete;
}

const wchar_t* DescribeDownloadCheck(DownloadCheck check) {
  switch (check) {
    case DownloadCheck::Complete:
      return L"complete";
    case DownloadCheck::NotAProgram:
      return L"not a program";
    case DownloadCheck::WrongLength:
      return L"not the announced length";
    case DownloadCheck::NotWhole:
      return L"not whole: the program's structure reaches beyond the end of the file";
  }
  return L"unknown";
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

bool StartFirmwareDownload(frmMain& form) {
  Ports& ports = form.program.ports;
  ports.loop.SetMousePointer(MousePointer::Hourglass);
  ShowDownloadPage(form);

  form.UpdaterPath = L"";
  ports.loop.DoEvents();
  if (form.Quitting()) {
    ports.loop.SetMousePointer(MousePointer::Default);
    return false;
  }

  const std::wstring name = UpdaterFileName(form.UpdaterUrl);
  FolderGuard& guard = ports.folders;
  const std::wstring fw = FirmwareFolder(form);
  RunLog& log = form.program.log;
  log.Write(logtag::kLink, name.empty() ? std::wstring(L"the address gives no plain file name")
                                        : L"file name " + name);
  const std::uint64_t startedMs = log.Milliseconds();
  std::optional<bool> result = false;
  std::uint64_t announced = 0;
  // Nothing is written into a folder that others may write or that points elsewhere; the folder
  // stays pinned until the updater has started.
  std::unique_ptr<FolderHold> pin;
  if (!name.empty()) pin = PrepareFirmwareFolder(guard, fw);
  if (pin) {
    form.UpdaterPath = ports.system.ProgramFolder() + L"\\fw\\" + name;
    form.Frame_4_Download_Progress.SetVisible(true);
    // This call holds its own reference: whatever runs inside the download's events cannot
    // release the object whose download is still on the stack.
    const auto download = std::make_shared<TumoDL>(ports.download, ports.loop);
    form.mydl = download;
    download->TumoDLProg = [&form](std::int32_t progress, std::int32_t progressMax) {
      mydl_TumoDLProg(form, progress, progressMax);
    };
    // The updater always comes from the site: a copy that the Internet cache kept from an earlier
    // run may be an older program under the same name. (The service itself is asked for a fresh
    // transfer that writes no cache entry.) A failure to remove an entry that does not exist is
    // no failure of the download.
    std::wstring address = form.UpdaterUrl;
    download->DeleteTumoCache(address);
    result = download->StartTheStinkinDownLoad(form.UpdaterUrl, form.UpdaterPath);
    announced = download->AnnouncedLength();
  }

  FileSystem& files = form.program.SharedFileSystem();
  // The user left while the updater was on its way: it is neither kept nor started.
  if (form.Quitting()) {
    LogDownload(form, form.mydl.get(), startedMs, L"stopped: the wizard was left");
    DeleteDownloadedUpdater(form);
    ports.loop.SetMousePointer(MousePointer::Default);
    return false;
  }

  // From the check on nobody else may write, rename or delete the file, so the program the shell
  // starts is the one checked.
  std::unique_ptr<FileHold> hold;
  // Why a file that arrived is not started; empty while nothing refuses it.
  std::wstring refusal;
  std::optional<std::vector<std::uint8_t>> bytes;
  if (result == true && files.FileExists(form.UpdaterPath)) {
    // The shell runs whatever it is given with the wizard's administrator rights (a batch file,
    // a script, a shortcut), so only a program named ".exe" is started, and only when it is the
    // whole program the server announced: a transfer cut short ends like a complete one for the
    // service, and a firmware updater's payload lies after its sections, so a part of one runs
    // and writes part of a payload. Anything else, an error page saved under the updater's name
    // too, is deleted unopened.
    const bool named = EndsWithNoCase(form.UpdaterPath, L".exe");
    if (named) {
      hold = guard.Hold(form.UpdaterPath);
      if (hold) bytes = hold->ReadAll();
    }
    // The check reads the held bytes, so what it judged is what the shell starts.
    const DownloadCheck check =
        bytes ? CheckDownloadedProgram(*bytes, announced) : DownloadCheck::NotAProgram;
    if (!named)
      refusal = L"not a program (no .exe name)";
    else if (!hold || !bytes)
      refusal = L"the file could not be held against other writers";
    else if (check == DownloadCheck::WrongLength)
      refusal =
          std::wstring(bytes->size() < announced ? L"cut short: " : L"not the announced length: ") +
          std::to_wstring(bytes->size()) + L" bytes of " + std::to_wstring(announced) +
          L" announced";
    else if (check != DownloadCheck::Complete)
      refusal = DescribeDownloadCheck(check);
    // The folder must still be the wizard's own, and a DLL beside the updater would be loaded
    // into it: FW holds the updater alone when it starts.
    else if (guard.Examine(fw) != FolderGuard::Kind::Folder || !ClearFolder(guard, fw, name))
      refusal = L"FW is no longer the wizard's own folder";
    if (!refusal.empty()) {
      hold.reset();
      DeleteDownloadedUpdater(form);
      result = false;
    }
  }

  if (name.empty())
    LogDownload(form, nullptr, startedMs, L"not started: no file name");
  else if (!pin)
    LogDownload(form, nullptr, startedMs, L"not started: FW could not be made the wizard's own");
  else if (!refusal.empty())
    LogDownload(form, form.mydl.get(), startedMs, L"refused: " + refusal);
  else if (result != true)
    LogDownload(form, form.mydl.get(), startedMs,
                L"failed: " + (form.mydl ? StatusText(form.mydl->LastStatus()) : L""));
  else if (!files.FileExists(form.UpdaterPath))
    LogDownload(form, form.mydl.get(), startedMs, L"complete, but the file is gone");
  else
    LogDownload(form, form.mydl.get(), startedMs, L"complete");

  bool started = false;
  if (result == true) {
    if (files.FileExists(form.UpdaterPath)) {
      form.UniRefresh.SetEnabled(false);
      if (log.Started() && bytes)
        log.Write(logtag::kUpdater, L"starting FW\\" + name + L", " +
                                        std::to_wstring(bytes->size()) + L" bytes, SHA-256 " +
                                        FromUtf8(Sha256Hex(bytes->data(), bytes->size())));
      const std::intptr_t shell =
          ports.shell.Execute(L"open", form.UpdaterPath, L"0", L"0", kShowNormal);
      log.Write(logtag::kUpdater, L"shell result " + std::to_wstring(shell) +
                                      (shell > 32 ? L" (started)" : L" (not started)"));
      // The shell's result is above 32 when it took the request; a program Windows cannot run
      // (a wrong architecture, a missing library) fails here, and is a failed download.
      if (shell > 32) {
        started = true;
        form.watchingUpdaterStart = true;
        form.updaterStartTicks = 0;
      } else {
        hold.reset();
        DeleteDownloadedUpdater(form);
        DownloadFailed(form);
      }
    } else {
      log.Write(logtag::kPage, L"error IDS_UNEXPECTED_ERROR");
      ShowMessage(form, L"IDS_UNEXPECTED_ERROR");
      form.Frame_4_Download_Progress.SetVisible(false);
      if (!form.Quitting()) log.endCause = L"the download step (the updater's file was gone)";
      QuitWizard(form);
    }
    // The hold lasts while the updater runs: it may read its firmware from its own file.
    form.updaterHold = std::move(hold);
  } else {
    // Whatever a failed transfer left under the updater's name goes.
    DeleteDownloadedUpdater(form);
    DownloadFailed(form);
  }

  form.UniRefresh.SetVisible(true);
  ports.loop.SetMousePointer(MousePointer::Default);
  return started;
}

void UpdaterDidNotRun(frmMain& form) {
  form.watchingUpdaterStart = false;
  for (Timer* t : {&form.Timer4, &form.Timer5, &form.Timer7, &form.Timer8, &form.Timer9})
    t->SetEnabled(false);
  form.program.log.Write(logtag::kUpdater,
                         L"the started updater ended without ever showing its window");
  // The hold goes first: the file is deleted only inside the wizard's own FW.
  DeleteDownloadedUpdater(form);
  DownloadFailed(form);
  form.UniRefresh.SetEnabled(true);
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
