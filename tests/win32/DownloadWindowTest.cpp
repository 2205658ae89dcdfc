// The real fernclip.exe under Wine downloading and starting the updater: each case runs from its
// own copy of the runnable folder with settings Europe/English, a site.ini that points at one
// scenario of the download site, Windows 5.2 and a simulated Fernclip 200; the test waits for the
// license page, presses Accept like a user and watches the window, the FW folder and the updater.
// Arguments: fernclip.exe, the download site's state folder, and for the case of a linked FW a
// folder whose "program\FW" is a Unix symbolic link to its "elsewhere".
#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cwctype>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "RoadFixture.h"
#include "SiteSupport.h"
#include "TestSupport.h"
#include "driver/Paths.h"

namespace revivix {
namespace {

using wintest::ReadBytes;
using wintest::WriteBytes;

using driver::Utf8;
using wintest::kPageMs;

constexpr wchar_t kExe[] = L"fernclip.exe";
const wchar_t kDeviceInstance[] = L"VID_2A5F&PID_4157\\E2EDOWNLOAD1";
const wchar_t kDeviceName[] = L"Zanterix Fernclip 200 USB Device";

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

// Waits until every process that runs a program file named `exeName` has ended; false when one
// still runs after `timeoutMs`.
bool WaitForProgramsToEnd(const wchar_t* exeName, DWORD timeoutMs) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  std::vector<HANDLE> running;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    if (_wcsicmp(entry.szExeFile, exeName) == 0)
      if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID))
        running.push_back(process);
  CloseHandle(snapshot);
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  bool ended = true;
  for (HANDLE process : running) {
    const ULONGLONG now = GetTickCount64();
    const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    ended = WaitForSingleObject(process, left) == WAIT_OBJECT_0 && ended;
    CloseHandle(process);
  }
  return ended;
}

// The green of the progress bar's fill (row 8 of its bitmaps), as the screen shows it.
bool IsFillGreen(COLORREF c) {
  return GetRValue(c) < 0x30 && GetGValue(c) > 0xC0 && GetBValue(c) < 0x50;
}

// How many pixels of the progress bar's middle row show the fill's green.
int GreenPixels(HWND bar) {
  RECT r;
  if (!IsWindowVisible(bar) || !GetWindowRect(bar, &r)) return 0;
  HDC screen = GetDC(nullptr);
  int green = 0;
  const int row = r.top + (r.bottom - r.top) / 2;
  for (int x = r.left; x < r.right; ++x)
    if (IsFillGreen(GetPixel(screen, x, row))) ++green;
  ReleaseDC(nullptr, screen);
  return green;
}

// A file of /proc read to its end (such files give their size as 0); "" when it cannot be opened.
std::string ReadProcFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

// The /proc/<pid>/stat file (through Wine's drive Z:) of the Unix process whose command line
// names `folder`: the Wine process of a program started from there. "" when there is none.
std::wstring UnixStatOf(const std::wstring& folder) {
  std::string wanted = Utf8(folder);
  std::transform(wanted.begin(), wanted.end(), wanted.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &data);
  if (find == INVALID_HANDLE_VALUE) return L"";
  std::wstring found;
  do {
    const std::wstring name = data.cFileName;
    if (name.empty() || !std::all_of(name.begin(), name.end(), iswdigit)) continue;
    std::string line = ReadProcFile(L"Z:\\proc\\" + name + L"\\cmdline");
    std::transform(line.begin(), line.end(), line.begin(),
                   [](unsigned char c) { return static_cast<char>(c ? std::tolower(c) : ' '); });
    if (line.find(wanted) != std::string::npos) found = L"Z:\\proc\\" + name + L"\\stat";
  } while (found.empty() && FindNextFileW(find, &data));
  FindClose(find);
  return found;
}

// The CPU time (user and system, in clock ticks) of the process of a /proc/<pid>/stat file, or
// -1 when it cannot be read (the process has ended).
long long CpuTicks(const std::wstring& stat) {
  const std::string text = ReadProcFile(stat);
  const std::size_t end = text.rfind(')');
  if (end == std::string::npos) return -1;
  std::vector<std::string> fields;
  std::size_t at = end + 1;
  while (at < text.size()) {
    while (at < text.size() && text[at] == ' ') ++at;
    const std::size_t next = text.find(' ', at);
    fields.push_back(text.substr(at, next == std::string::npos ? std::string::npos : next - at));
    if (next == std::string::npos) break;
    at = next;
  }
  // Fields 14 and 15 of the file (utime, stime), counted from field 3 after the name.
  if (fields.size() < 13) return -1;
  return std::stoll(fields[11]) + std::stoll(fields[12]);
}

class DownloadWindow : public wintest::RoadFixture {
 protected:
  // Starts the wizard on `scenario` of the download site and waits for the license page.
  // `fixedFolder`: the runnable folder is copied into this existing folder instead of a new one.
  void OpenLicensePage(const std::wstring& scenario,
                       const std::wstring& folderPrefix = L"revivix-download-",
                       const std::wstring& fixedFolder = L"") {
    const std::wstring site = wintest::LocalSite(wintest::Argument(1));
    ASSERT_FALSE(site.empty()) << "the download site is not running";
    ASSERT_NO_FATAL_FAILURE(PrepareFolder(folderPrefix, fixedFolder));
    fw_ = folder_ + L"\\FW";
    ASSERT_NO_FATAL_FAILURE(WriteSettings(wintest::kEuropeEnglish));
    ASSERT_NO_FATAL_FAILURE(WriteSite(site + L"/" + scenario));
    ASSERT_TRUE(machine_.SetWindowsVersion(kExe, L"win2003"));
    ASSERT_TRUE(machine_.AddUsbDevice(kDeviceInstance, kDeviceName, L"USB Mass Storage Device"));
    ASSERT_NO_FATAL_FAILURE(StartWizard());
    ASSERT_NO_FATAL_FAILURE(ExpectPage(driver::Page::License));
  }

  void PressAccept() {
    HWND agree = Control("Cmd_I_Agree");
    ASSERT_NE(agree, nullptr);
    ASSERT_TRUE(PostMessageW(agree, BM_CLICK, 0, 0));
  }

  // True when the window answers a caption request within three seconds: a window that waits on
  // its download does not answer at all, a busy machine can delay an answer by a second.
  bool Answers() const {
    wchar_t text[512] = {};
    DWORD_PTR length = 0;
    return SendMessageTimeoutW(Control("Uni_Error_Label1"), WM_GETTEXT, 512,
                               reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 3000,
                               &length) != 0;
  }

  // Clicks Exit during the download: the wizard ends within 10 s and leaves nothing in FW.
  void ExitEndsTheDownload() {
    HWND exit = Control("cmdExit");
    ASSERT_NE(exit, nullptr);
    ASSERT_TRUE(PostMessageW(exit, BM_CLICK, 0, 0));
    ASSERT_TRUE(wizard_->WaitForEnd(10000)) << "the wizard did not end during its download";
    // An updater started as the wizard ended writes its log into FW at its start: a second is
    // ample for that on a loaded machine.
    Sleep(1000);
    EXPECT_TRUE(FilesIn(fw_).empty());
  }

  // A failed download: the message, nothing started, FW empty, and the wizard ends by itself
  // through Timer6. The wizard is asked whether Timer6 is on while the message shows (its two
  // seconds are checked on the native suite's virtual clock); a wizard that ended at once would
  // not answer.
  void ExpectFailedDownload() {
    ASSERT_NO_FATAL_FAILURE(ExpectErrorPage(L"IDS_UNEXPECTED_ERROR"));
    DWORD_PTR timer6 = 0;
    EXPECT_TRUE(AskTimerEnabled(6, timer6)) << "the wizard did not answer while its message showed";
    EXPECT_EQ(timer6, 1u) << "Timer6 is not on";
    EXPECT_TRUE(FilesIn(fw_).empty())
        << "FW holds " << Utf8(FilesIn(fw_).empty() ? L"" : FilesIn(fw_)[0]);
    ASSERT_TRUE(wizard_->WaitForEnd(10000)) << "the wizard did not end by itself";
    EXPECT_TRUE(FilesIn(fw_).empty());
  }

  std::wstring fw_;
};

TEST_F(DownloadWindow, AThrottledDownloadShowsItsProgressAndStartsTheUpdater) {
  ASSERT_NO_FATAL_FAILURE(OpenLicensePage(L"ok"));
  ASSERT_NO_FATAL_FAILURE(PressAccept());
  const std::wstring updater = fw_ + L"\\FC200_Updater.exe";
  std::vector<std::wstring> sizes;
  std::set<int> fills;
  // Watch the page until the updater has written down its start.
  const bool started = driver::WaitUntil(kPageMs, [&] {
    const std::wstring size = Read("Label_Actual_Size").text;
    if (!size.empty() && (sizes.empty() || sizes.back() != size)) sizes.push_back(size);
    if (const int green = GreenPixels(Control("VistaProg2")); green > 0) fills.insert(green);
    return ReadBytes(updater + L".log").find("folder:") != std::string::npos;
  });
  ASSERT_TRUE(started) << "the updater did not start; the window shows \""
                       << Utf8(Read("Uni_Error_Label1").text) << "\"";
  EXPECT_GE(sizes.size(), 3u) << "Label_Actual_Size changed " << sizes.size() << " times";
  EXPECT_GE(fills.size(), 2u) << "VistaProg2 did not advance";
  const std::string log = ReadBytes(updater + L".log");
  EXPECT_NE(log.find("started\r\nargument: 0\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("show command: 1\r\n"), std::string::npos) << log;
  const std::vector<std::wstring> files = FilesIn(fw_);
  EXPECT_NE(std::find(files.begin(), files.end(), L"FC200_Updater.exe"), files.end());
  EXPECT_EQ(ReadBytes(updater).substr(0, 2), "MZ");
  // The wizard waits for the updater now: Exit is there and the download frame is gone.
  EXPECT_TRUE(Read("cmdExit").visible);
  EXPECT_TRUE(Read("cmdExit").enabled);
  EXPECT_FALSE(Read("Frame_4_Download_Progress").visible);
  EXPECT_EQ(Read("Uni_Error_Label1").text, ErrorText(L"IDS_FW_DOWNLOAD_MSG1"));
  ASSERT_NO_FATAL_FAILURE(Close());
}

TEST_F(DownloadWindow, WithoutALengthTheWindowStillAnswersAndTheDownloadCompletes) {
  ASSERT_NO_FATAL_FAILURE(OpenLicensePage(L"nolength"));
  ASSERT_NO_FATAL_FAILURE(PressAccept());
  const std::wstring updater = fw_ + L"\\upd.exe";
  int answered = 0;
  bool sizeShown = false;
  const bool started = driver::WaitUntil(kPageMs, [&] {
    // The window answers caption requests while the download runs.
    if (Answers()) ++answered;
    if (!Read("Label_Actual_Size").text.empty()) sizeShown = true;
    return ReadBytes(updater + L".log").find("folder:") != std::string::npos;
  });
  ASSERT_TRUE(started) << "the updater did not start; the window shows \""
                       << Utf8(Read("Uni_Error_Label1").text) << "\"";
  EXPECT_GE(answered, 5);
  EXPECT_FALSE(sizeShown) << "a size was shown without a length";
  ASSERT_NO_FATAL_FAILURE(Close());
}

TEST_F(DownloadWindow, ExitDuringTheDownloadEndsTheWizardAndStartsNothing) {
  ASSERT_NO_FATAL_FAILURE(OpenLicensePage(L"ok"));
  ASSERT_NO_FATAL_FAILURE(PressAccept());
  ASSERT_TRUE(driver::WaitUntil(kPageMs, [&] { return !Read("Label_Actual_Size").text.empty(); }))
      << "the download did not start";
  ASSERT_NO_FATAL_FAILURE(ExitEndsTheDownload());
}

// A server that stops sending halfway: the window goes on answering, and Exit ends the wizard
// without starting the updater; from Exit to its end the wizard only sleeps (its CPU time is read
// from the Wine process's /proc/<pid>/stat, since GetProcessTimes of another process gives 0).
TEST_F(DownloadWindow, AStalledServerLeavesTheWindowAnsweringAndExitEndsIt) {
  ASSERT_NO_FATAL_FAILURE(OpenLicensePage(L"stalled"));
  ASSERT_NO_FATAL_FAILURE(PressAccept());
  // The server sends the headers and half of the file at once, then nothing: the size label
  // shows the half.
  ASSERT_TRUE(driver::WaitUntil(kPageMs, [&] { return !Read("Label_Actual_Size").text.empty(); }))
      << "no byte of the download arrived";
  // For five seconds no byte comes; every caption request is answered.
  int asked = 0;
  int answered = 0;
  const ULONGLONG end = GetTickCount64() + 5000;
  while (GetTickCount64() < end) {
    ++asked;
    if (Answers()) ++answered;
    Sleep(200);
  }
  EXPECT_EQ(answered, asked) << "the window did not answer while the server sent nothing";
  // From Exit to its end the wizard only waits: every wait sleeps once it has quit.
  const std::wstring stat = UnixStatOf(folder_);
  ASSERT_FALSE(stat.empty()) << "no Unix process runs the wizard from " << Utf8(folder_);
  const long long before = CpuTicks(stat);
  ASSERT_GE(before, 0);
  long long last = before;
  HWND exit = Control("cmdExit");
  ASSERT_NE(exit, nullptr);
  const ULONGLONG pressed = GetTickCount64();
  ASSERT_TRUE(PostMessageW(exit, BM_CLICK, 0, 0));
  while (!wizard_->WaitForEnd(20) && GetTickCount64() - pressed < 10000) {
    const long long now = CpuTicks(stat);
    if (now >= 0) last = now;
  }
  ASSERT_TRUE(wizard_->Ended()) << "the wizard did not end during its download";
  const double cpu = static_cast<double>(last - before) / 100.0;
  const double wall = static_cast<double>(GetTickCount64() - pressed) / 1000.0;
  std::printf("from Exit to the end: %.2f s CPU in %.2f s\n", cpu, wall);
  EXPECT_LT(cpu, 0.1) << "the wizard kept a core busy after it had quit";
  // An updater started as the wizard ended writes its log into FW at its start.
  Sleep(1000);
  EXPECT_TRUE(FilesIn(fw_).empty());
}

TEST_F(DownloadWindow, NotFoundFails) {
  ASSERT_NO_FATAL_FAILURE(OpenLicensePage(L"e404"));
  ASSERT_NO_FATAL_FAILURE(PressAccept());
  ASSERT_NO_FATAL_FAILURE(ExpectFailedDownload());
}

TEST_F(DownloadWindow, ServerErrorFails) {
  ASSERT_NO_FATAL_FAILURE(OpenLicensePage(L"e500"));
  ASSERT_NO_FATAL_FAILURE(PressAccept());
  ASSERT_NO_FATAL_FAILURE(ExpectFailedDownload());
}

TEST_F(DownloadWindow, AnHtmlPageAsTheUpdaterFails) {
  ASSERT_NO_FATAL_FAILURE(OpenLicensePage(L"html200"));
  ASSERT_NO_FATAL_FAILURE(PressAccept());
  ASSERT_NO_FATAL_FAILURE(ExpectFailedDownload());
}

TEST_F(DownloadWindow, ARefusedPortFails) {
  ASSERT_NO_FATAL_FAILURE(OpenLicensePage(L"refused"));
  ASSERT_NO_FATAL_FAILURE(PressAccept());
  ASSERT_NO_FATAL_FAILURE(ExpectFailedDownload());
}

TEST_F(DownloadWindow, HostileNamesFailAndWriteNothingOutsideFw) {
  for (const wchar_t* scenario : {L"hostile1", L"hostile2"}) {
    SCOPED_TRACE(Utf8(scenario));
    ASSERT_NO_FATAL_FAILURE(OpenLicensePage(scenario));
    ASSERT_NO_FATAL_FAILURE(PressAccept());
    ASSERT_NO_FATAL_FAILURE(ExpectFailedDownload());
    EXPECT_EQ(GetFileAttributesW((folder_ + L"\\evil.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW((folder_ + L"\\..\\evil.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW((fw_ + L"\\a").c_str()), INVALID_FILE_ATTRIBUTES);
    EndRun();
  }
}

TEST_F(DownloadWindow, ALinkPageNamingABatchFileRunsNothing) {
  ASSERT_NO_FATAL_FAILURE(OpenLicensePage(L"batch"));
  ASSERT_NO_FATAL_FAILURE(PressAccept());
  ASSERT_NO_FATAL_FAILURE(ExpectFailedDownload());
  // Whatever the shell would have started has had time to write its marker: a batch file's
  // command interpreter starts in well under two seconds here.
  Sleep(2000);
  EXPECT_EQ(GetFileAttributesW((fw_ + L"\\batch-ran.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesW((folder_ + L"\\batch-ran.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(FilesIn(fw_).empty());
}

TEST_F(DownloadWindow, AProgramFolderOutsideTheAnsiCodePageGetsTheUpdater) {
  // A user name in Polish on a Western system: "\u0141\u00F3d\u017A" has no code page 1252 form.
  ASSERT_EQ(GetACP(), 1252u) << "this case needs a Western ANSI code page";
  ASSERT_NO_FATAL_FAILURE(OpenLicensePage(L"ok", L"revivix-\u0141\u00F3d\u017A-"));
  ASSERT_NO_FATAL_FAILURE(PressAccept());
  const std::wstring updater = fw_ + L"\\FC200_Updater.exe";
  const bool started = driver::WaitUntil(
      kPageMs, [&] { return ReadBytes(updater + L".log").find("folder:") != std::string::npos; });
  ASSERT_TRUE(started) << "the updater did not start in " << Utf8(fw_) << "; the window shows \""
                       << Utf8(Read("Uni_Error_Label1").text) << "\"";
  EXPECT_EQ(ReadBytes(updater).substr(0, 2), "MZ");
  ASSERT_NO_FATAL_FAILURE(Close());
}

TEST_F(DownloadWindow, LinkPagesWithoutOneUsableLinkAreOffline) {
  for (const wchar_t* scenario : {L"nolinks", L"links22"}) {
    SCOPED_TRACE(Utf8(scenario));
    ASSERT_NO_FATAL_FAILURE(OpenLicensePage(scenario));
    ASSERT_NO_FATAL_FAILURE(PressAccept());
    ASSERT_NO_FATAL_FAILURE(ExpectErrorPage(L"IDS_FW_SITE_OFFLINE"));
    EXPECT_TRUE(Read("cmdExit").visible);
    EXPECT_TRUE(Read("cmdExit").enabled);
    EXPECT_TRUE(FilesIn(fw_).empty());
    // No end by itself: the page stays until the user leaves.
    ASSERT_NO_FATAL_FAILURE(ExpectNoTimerEndsTheProgram());
    EXPECT_TRUE(Running());
    ASSERT_NO_FATAL_FAILURE(Close());
    EndRun();
  }
}

// The size of the updater the site serves in the "ok" scenario.
unsigned long long ServedUpdaterSize() {
  const std::wstring state = driver::WindowsPath(wintest::Argument(1));
  WIN32_FILE_ATTRIBUTE_DATA data{};
  const std::wstring served = state + L"\\..\\root\\ok\\revivix\\fw\\files\\FC200_Updater.exe";
  if (!GetFileAttributesExW(served.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// From its check on the wizard holds the updater's file: another program can neither open it for
// writing nor rename nor delete it, also once the updater has ended and no image of it is mapped,
// and the program that ran is the one the site served.
TEST_F(DownloadWindow, TheHeldUpdaterCannotBeChangedAndTheCheckedOneRuns) {
  ASSERT_NO_FATAL_FAILURE(OpenLicensePage(L"ok"));
  ASSERT_NO_FATAL_FAILURE(PressAccept());
  const std::wstring updater = fw_ + L"\\FC200_Updater.exe";
  ASSERT_TRUE(driver::WaitUntil(
      kPageMs, [&] { return ReadBytes(updater + L".log").find("folder:") != std::string::npos; }))
      << "the updater did not start; the window shows \"" << Utf8(Read("Uni_Error_Label1").text)
      << "\"";
  // The stand-in updater closes its window after three seconds and ends.
  EXPECT_TRUE(driver::WaitUntil(10000, [] { return !FindWindowW(L"RevivixRecorder", nullptr); }));
  EXPECT_TRUE(WaitForProgramsToEnd(L"FC200_Updater.exe", 10000)) << "the updater still runs";

  HANDLE writer = CreateFileW(updater.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  const DWORD writeError = GetLastError();
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(writeError, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  const std::wstring moved = updater + L".moved";
  EXPECT_FALSE(MoveFileExW(updater.c_str(), moved.c_str(), 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_FALSE(DeleteFileW(updater.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));

  const unsigned long long served = ServedUpdaterSize();
  ASSERT_GT(served, 0u);
  const std::string log = ReadBytes(updater + L".log");
  EXPECT_NE(log.find("size: " + std::to_string(served) + "\r\n"), std::string::npos) << log;
  ASSERT_NO_FATAL_FAILURE(Close());
  // Whether the exit then deletes the file is not asked here: after a delete refused for sharing,
  // Wine answers "not found" to every later delete of the file while still listing it.
}

// Nothing lies beside the updater when it starts: neither a DLL put into FW before Accept nor one
// put there while the download runs (Wine lets the test write into FW whatever its descriptor).
TEST_F(DownloadWindow, StrayDllsInFwAreGoneWhenTheUpdaterStarts) {
  ASSERT_NO_FATAL_FAILURE(OpenLicensePage(L"ok"));
  ASSERT_TRUE(WriteBytes(fw_ + L"\\version.dll", "MZ planted before Accept"));
  ASSERT_NO_FATAL_FAILURE(PressAccept());
  ASSERT_TRUE(driver::WaitUntil(kPageMs, [&] { return !Read("Label_Actual_Size").text.empty(); }))
      << "the download did not start";
  ASSERT_TRUE(WriteBytes(fw_ + L"\\winmm.dll", "MZ planted during the download"));
  const std::wstring updater = fw_ + L"\\FC200_Updater.exe";
  ASSERT_TRUE(driver::WaitUntil(
      kPageMs, [&] { return ReadBytes(updater + L".log").find("folder:") != std::string::npos; }))
      << "the updater did not start; the window shows \"" << Utf8(Read("Uni_Error_Label1").text)
      << "\"";
  const std::string log = ReadBytes(updater + L".log");
  EXPECT_EQ(log.find("beside: "), std::string::npos) << log;
  std::vector<std::wstring> files = FilesIn(fw_);
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::wstring>{L"FC200_Updater.exe", L"FC200_Updater.exe.log"}));
  ASSERT_NO_FATAL_FAILURE(Close());
}

// A symbolic link named FW that points at another folder holding a file named like an old
// updater: neither the start-up clean-up nor the download touches that folder. Where the link can
// be removed as a link (Windows) FW is made anew and the updater starts there; where the system
// opens only the link's target (Wine with a Unix link), the link stays and nothing is started.
TEST_F(DownloadWindow, AnFwLinkedToAnotherFolderLeavesThatFolderAlone) {
  const std::string caseArgument = wintest::Argument(2);
  ASSERT_FALSE(caseArgument.empty()) << "the third argument names the linked-FW folder";
  const std::wstring caseFolder = driver::WindowsPath(caseArgument);
  const std::wstring old = caseFolder + L"\\elsewhere\\FC200_Updater.exe";
  const std::string oldBytes = ReadBytes(old);
  ASSERT_FALSE(oldBytes.empty()) << "no old updater in " << Utf8(old);
  const DWORD linkAttributes = GetFileAttributesW((caseFolder + L"\\program\\FW").c_str());
  std::printf("FW as Wine reports the Unix link: attributes 0x%lx\n", linkAttributes);
  ASSERT_NE(linkAttributes & FILE_ATTRIBUTE_REPARSE_POINT, 0u)
      << "the link is not reported as a reparse point";

  // The test's own clean-up must never reach what the link points at either: the folder is the
  // ctest fixture's to remove, and the runnable folder copied into it stays.
  ASSERT_NO_FATAL_FAILURE(OpenLicensePage(L"ok", L"", caseFolder + L"\\program"));
  const DWORD afterStart = GetFileAttributesW(fw_.c_str());
  std::printf("FW after the start-up: attributes 0x%lx\n", afterStart);
  ASSERT_NO_FATAL_FAILURE(PressAccept());
  if (afterStart & FILE_ATTRIBUTE_REPARSE_POINT) {
    // The failed-download page, and the wizard ends by itself.
    ASSERT_NO_FATAL_FAILURE(ExpectErrorPage(L"IDS_UNEXPECTED_ERROR"));
    EXPECT_TRUE(wizard_->WaitForEnd(10000)) << "the wizard did not end by itself";
  } else {
    ASSERT_NE(afterStart & FILE_ATTRIBUTE_DIRECTORY, 0u);
    ASSERT_TRUE(driver::WaitUntil(kPageMs, [&] {
      return ReadBytes(fw_ + L"\\FC200_Updater.exe.log").find("folder:") != std::string::npos;
    }));
    ASSERT_NO_FATAL_FAILURE(Close());
  }
  EXPECT_EQ(ReadBytes(old), oldBytes);
  std::vector<std::wstring> there = FilesIn(caseFolder + L"\\elsewhere");
  EXPECT_EQ(there, std::vector<std::wstring>{L"FC200_Updater.exe"});
}

}  // namespace
}  // namespace revivix
