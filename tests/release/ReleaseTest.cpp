// The release as a user meets it, under Wine: the version records of the programs and
// installers; an installer (x86_64 or i686) run silently (files, Add/Remove entry, Start-menu
// shortcut, the installed wizard's window and width, a second install over the first) and its
// uninstaller run silently; and the installer's first page, the English license.
// Arguments (name=value; paths may be Linux paths):
//   --version=X            the project's version
//   --versioned=PATH       a program or installer whose version record must be X and whose
//                          manifest must ask for administrator rights (repeatable)
//   --installer=PATH       the installer
//   --bits=32|64           the width of the installer's program (default 64): a 32-bit one
//                          installs into the 32-bit program folder and registry view
//   --runnable=PATH        the release build's runnable folder the installer must reproduce
//   --readme=PATH          the README.txt packed beside it
//   --license=PATH         the English license text the installer must show
#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/Version.h"
#include "driver/Paths.h"
#include "driver/WindowProbe.h"

namespace fs = std::filesystem;
using revivix::wintest::Arguments;
using revivix::wintest::Child;

namespace {

constexpr DWORD kInstallerTimeoutMs = 90000;
const std::wstring kVendor = L"Zanterix";
const std::wstring kProduct = L"Revivix";
const std::wstring kUninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + kProduct;

// Every value of the argument `--name=`, in order.
std::vector<std::string> Values(const std::string& name) {
  std::vector<std::string> values;
  const std::string prefix = "--" + name + "=";
  for (const auto& argument : Arguments())
    if (argument.rfind(prefix, 0) == 0) values.push_back(argument.substr(prefix.size()));
  return values;
}

std::string Value(const std::string& name) {
  const auto values = Values(name);
  return values.empty() ? std::string() : values.front();
}

// The installer under test installs the 32-bit program.
bool ThirtyTwoBit() {
  return Value("bits") == "32";
}

// The registry view a program of that width writes its Add/Remove entry into.
REGSAM RegistryView() {
  return ThirtyTwoBit() ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

std::wstring PathValue(const std::string& name) {
  return revivix::driver::WindowsPath(Value(name));
}

std::wstring Wide(const std::string& text) {
  return std::wstring(text.begin(), text.end());
}

// "1.2.3" as the four numbers of a version record.
std::array<WORD, 4> Numbers(const std::string& version) {
  std::array<WORD, 4> numbers{};
  std::size_t part = 0;
  for (char c : version) {
    if (c == '.') {
      if (++part == numbers.size()) break;
    } else {
      numbers[part] = static_cast<WORD>(numbers[part] * 10 + (c - '0'));
    }
  }
  return numbers;
}

struct VersionRecord {
  bool found = false;
  std::array<WORD, 4> file{}, product{};
  std::wstring fileText, productText, company, productName;
};

VersionRecord ReadVersionRecord(const std::wstring& path) {
  VersionRecord record;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return record;
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return record;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed)
    return record;
  record.found = true;
  record.file = {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                 HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
  record.product = {HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
                    HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS)};
  struct Translation {
    WORD language, codePage;
  }* translation = nullptr;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translation), &length) ||
      length < sizeof(Translation))
    return record;
  auto text = [&](const wchar_t* key) {
    wchar_t query[64];
    std::swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language,
                  translation->codePage, key);
    wchar_t* value = nullptr;
    UINT chars = 0;
    if (!VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&value), &chars) || !value)
      return std::wstring();
    return std::wstring(value);
  };
  record.fileText = text(L"FileVersion");
  record.productText = text(L"ProductVersion");
  record.company = text(L"CompanyName");
  record.productName = text(L"ProductName");
  return record;
}

// The application manifest embedded in a program (32- or 64-bit), or "" when it has none.
std::string ManifestOf(const std::wstring& path) {
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return {};
  std::string manifest;
  if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    if (data) manifest.assign(data, SizeofResource(module, found));
  }
  FreeLibrary(module);
  return manifest;
}

bool AsksForAdministratorRights(const std::wstring& path) {
  return ManifestOf(path).find("level=\"requireAdministrator\"") != std::string::npos;
}

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
  CoTaskMemFree(path);
  return result;
}

std::wstring RegistryText(const std::wstring& key, const wchar_t* name) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | RegistryView(), &handle) !=
      ERROR_SUCCESS)
    return L"<missing>";
  wchar_t value[1024] = {};
  DWORD size = sizeof value;
  const LSTATUS status = RegGetValueW(handle, nullptr, name, RRF_RT_REG_SZ, nullptr, value, &size);
  RegCloseKey(handle);
  return status == ERROR_SUCCESS ? value : L"<missing>";
}

bool RegistryKeyExists(const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | RegistryView(), &handle) !=
      ERROR_SUCCESS)
    return false;
  RegCloseKey(handle);
  return true;
}

// Removes a key of HKLM with its values and subkeys from the installer's registry view.
void RemoveRegistryTree(const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS | RegistryView(), &handle) !=
      ERROR_SUCCESS)
    return;
  RegDeleteTreeW(handle, nullptr);
  RegCloseKey(handle);
  RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), RegistryView(), 0);
}

// The program a shell link starts, or "" when it cannot be read.
std::wstring ShortcutTarget(const std::wstring& link) {
  std::wstring target;
  IShellLinkW* shellLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&shellLink))))
    return target;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
        SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, 0)))
      target = path;
    file->Release();
  }
  shellLink->Release();
  return target;
}

// Waits for the processes that `parent` started: the uninstaller runs on from a copy of itself
// that its first process starts before it exits.
void WaitForChildrenOf(DWORD parent) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  std::vector<DWORD> children;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    if (entry.th32ParentProcessID == parent) children.push_back(entry.th32ProcessID);
  CloseHandle(snapshot);
  for (DWORD child : children) revivix::driver::WaitForProcessEnd(child, kInstallerTimeoutMs);
}

// Runs a command line and waits for it and for the processes it started; its exit code, or -1
// when it did not start or end.
long RunAndWait(const std::wstring& commandLine) {
  Child child(commandLine);
  if (!child.Started()) return -1;
  if (WaitForSingleObject(child.Handle(), kInstallerTimeoutMs) != WAIT_OBJECT_0) return -1;
  WaitForChildrenOf(child.Id());
  DWORD code = 0;
  GetExitCodeProcess(child.Handle(), &code);
  return static_cast<long>(code);
}

// The files and folders below `root`, relative to it.
std::set<fs::path> Tree(const fs::path& root) {
  std::set<fs::path> entries;
  std::error_code error;
  for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
       it.increment(error))
    entries.insert(fs::relative(it->path(), root));
  return entries;
}

std::wstring Normalised(std::wstring text) {
  if (!text.empty() && text.front() == 0xFEFF) text.erase(0, 1);
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
    out += text[i] == L'\r' ? L'\n' : text[i];
  }
  while (!out.empty() && out.back() == L'\n') out.pop_back();
  return out;
}

HWND FirstVisibleWindowOf(DWORD processId, DWORD timeoutMs) {
  struct Search {
    DWORD processId;
    HWND found;
  };
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    Search search{processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
          auto* s = reinterpret_cast<Search*>(context);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (owner != s->processId || !IsWindowVisible(window)) return TRUE;
          s->found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found || GetTickCount64() >= deadline) return search.found;
    Sleep(100);
  }
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

}  // namespace

TEST(VersionRecord, ProgramsAndInstallersCarryTheProjectVersionAndAskForAdministrator) {
  const std::string version = Value("version");
  ASSERT_FALSE(version.empty()) << "--version= is missing";
  // The update check compares the database's version with this one.
  EXPECT_EQ(std::wstring(revivix::kProgramVersion), Wide(version));
  const auto files = Values("versioned");
  ASSERT_FALSE(files.empty()) << "no --versioned= file given";
  for (const auto& file : files) {
    SCOPED_TRACE(file);
    const auto record = ReadVersionRecord(revivix::driver::WindowsPath(file));
    ASSERT_TRUE(record.found) << "no version record";
    EXPECT_EQ(record.file, Numbers(version));
    EXPECT_EQ(record.product, Numbers(version));
    EXPECT_EQ(record.fileText, Wide(version));
    EXPECT_EQ(record.productText, Wide(version));
    EXPECT_EQ(record.company, kVendor);
    EXPECT_EQ(record.productName, kProduct);
    EXPECT_TRUE(AsksForAdministratorRights(revivix::driver::WindowsPath(file)));
  }
}

class Installer : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    installer_ = PathValue("installer");
    runnable_ = PathValue("runnable");
    ASSERT_TRUE(fs::is_regular_file(installer_)) << "no installer (run scripts/release.sh)";
    ASSERT_TRUE(fs::is_directory(runnable_)) << "no runnable folder of the release build";
    programFiles_ = KnownFolder(ThirtyTwoBit() ? FOLDERID_ProgramFilesX86 : FOLDERID_ProgramFiles);
    startMenu_ = KnownFolder(FOLDERID_CommonPrograms);
    ASSERT_FALSE(programFiles_.empty());
    ASSERT_FALSE(startMenu_.empty());
    makerFolder_ = programFiles_ / kVendor;
    installFolder_ = makerFolder_ / kProduct;
    shortcutFolder_ = startMenu_ / kVendor;
    RemoveEarlierInstall();
  }
  void TearDown() override {
    RemoveEarlierInstall();
    CoUninitialize();
  }

  // A run that ended half-way may have left an installation behind; every test starts without.
  void RemoveEarlierInstall() {
    std::error_code error;
    if (fs::exists(installFolder_ / L"Uninstall.exe"))
      RunAndWait(L"\"" + (installFolder_ / L"Uninstall.exe").wstring() + L"\" /S");
    fs::remove_all(installFolder_, error);
    fs::remove(makerFolder_, error);
    fs::remove_all(shortcutFolder_, error);
    RemoveRegistryTree(kUninstallKey);
  }

  std::wstring installer_;
  fs::path runnable_, programFiles_, startMenu_, makerFolder_, installFolder_, shortcutFolder_;
};

TEST_F(Installer, InstallsRunsReinstallsAndUninstallsWithoutTrace) {
  const std::wstring version = Wide(Value("version"));
  ASSERT_EQ(RunAndWait(L"\"" + installer_ + L"\" /S"), 0);

  // Every file of the runnable folder, byte for byte, plus the README and the uninstaller.
  auto expected = Tree(runnable_);
  ASSERT_TRUE(expected.count(L"fernclip.exe"));
  ASSERT_TRUE(expected.count(L"FW"));
  expected.insert(L"README.txt");
  expected.insert(L"Uninstall.exe");
  EXPECT_EQ(Tree(installFolder_), expected);
  for (const auto& entry : Tree(runnable_)) {
    if (!fs::is_regular_file(runnable_ / entry)) continue;
    EXPECT_EQ(Bytes(installFolder_ / entry), Bytes(runnable_ / entry)) << entry;
  }
  EXPECT_EQ(Bytes(installFolder_ / L"README.txt"),
            Bytes(revivix::driver::WindowsPath(Value("readme"))));
  EXPECT_TRUE(fs::is_empty(installFolder_ / L"FW"));

  // The Add/Remove Programs entry and the Start-menu shortcut.
  const std::wstring program = (installFolder_ / L"fernclip.exe").wstring();
  const std::wstring uninstaller = (installFolder_ / L"Uninstall.exe").wstring();
  EXPECT_EQ(RegistryText(kUninstallKey, L"DisplayName"), kProduct);
  EXPECT_EQ(RegistryText(kUninstallKey, L"DisplayVersion"), version);
  EXPECT_EQ(RegistryText(kUninstallKey, L"Publisher"), kVendor);
  EXPECT_EQ(RegistryText(kUninstallKey, L"DisplayIcon"), program + L",0");
  EXPECT_EQ(RegistryText(kUninstallKey, L"UninstallString"), L"\"" + uninstaller + L"\"");
  EXPECT_EQ(RegistryText(kUninstallKey, L"QuietUninstallString"), L"\"" + uninstaller + L"\" /S");
  EXPECT_EQ(ShortcutTarget((shortcutFolder_ / (kProduct + L".lnk")).wstring()), program);
  EXPECT_TRUE(AsksForAdministratorRights(uninstaller));

  // The installed wizard starts from its folder as a program of the installer's width, shows its
  // window and closes on request.
  {
    Child wizard(L"\"" + program + L"\"", installFolder_.c_str());
    ASSERT_TRUE(wizard.Started());
    BOOL emulated = FALSE;
    ASSERT_TRUE(IsWow64Process(wizard.Handle(), &emulated));
    EXPECT_EQ(emulated != FALSE, ThirtyTwoBit()) << "the installed wizard's width";
    HWND window = revivix::driver::WaitForTopLevelWindow(L"Zanterix Revivix", wizard.Id(), 30000);
    ASSERT_NE(window, nullptr) << "the installed wizard showed no window";
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(revivix::driver::WaitForProcessEnd(wizard.Id(), 20000));
  }

  // Installing again over it keeps the region and language the user chose and renews the rest.
  const std::string chosen = "[Settings]\r\nRegion=Europe\r\nLanguage=German\r\n";
  std::ofstream(installFolder_ / L"settings.ini", std::ios::binary | std::ios::trunc) << chosen;
  fs::remove(installFolder_ / L"Languages" / L"German.txt");
  ASSERT_EQ(RunAndWait(L"\"" + installer_ + L"\" /S"), 0);
  EXPECT_EQ(Bytes(installFolder_ / L"settings.ini"), chosen);
  EXPECT_TRUE(fs::exists(installFolder_ / L"Languages" / L"German.txt"));

  // What the wizard leaves in FW goes with it, as does the changed settings file.
  std::ofstream(installFolder_ / L"FW" / L"updater.exe.log") << "left by an updater";
  EXPECT_EQ(RunAndWait(L"\"" + uninstaller + L"\" /S"), 0);
  EXPECT_FALSE(fs::exists(installFolder_)) << "left behind: " << [&] {
    std::string names;
    for (const auto& entry : Tree(installFolder_)) names += entry.string() + " ";
    return names;
  }();
  EXPECT_FALSE(fs::exists(makerFolder_));
  EXPECT_FALSE(fs::exists(shortcutFolder_));
  EXPECT_FALSE(RegistryKeyExists(kUninstallKey));
}

TEST_F(Installer, FirstPageShowsTheEnglishLicense) {
  const std::string raw = Bytes(revivix::driver::WindowsPath(Value("license")));
  ASSERT_GE(raw.size(), 4u);
  std::wstring license(raw.size() / 2, L'\0');
  std::memcpy(license.data(), raw.data(), license.size() * 2);

  Child setup(L"\"" + installer_ + L"\"");
  ASSERT_TRUE(setup.Started());
  HWND window = FirstVisibleWindowOf(setup.Id(), 30000);
  ASSERT_NE(window, nullptr) << "the installer showed no window";
  std::wstring shown;
  for (int attempt = 0; attempt < 50 && shown.empty(); ++attempt, Sleep(100))
    for (HWND control : revivix::driver::Descendants(window))
      if (ClassOf(control).rfind(L"RichEdit", 0) == 0 && IsWindowVisible(control))
        shown = revivix::driver::TextOf(control);
  EXPECT_EQ(Normalised(shown), Normalised(license));
  // The installer is ended by the child's clean-up; nothing was installed.
}
