#include "RoadFixture.h"

#include "FormControls.h"
#include "TestSupport.h"
#include "driver/FolderCopy.h"
#include "driver/Paths.h"
#include "main/TestPages.h"

namespace revivix::wintest {

using driver::Utf8;

void RoadFixture::EndRun() {
  wizard_.reset();  // ends a program that a failed step left running
  EXPECT_TRUE(machine_.Restore()) << "the machine could not be put back";
  if (!folder_.empty() && ownsFolder_) {
    // An updater the wizard started ends by itself a few seconds after it started.
    EXPECT_TRUE(driver::WaitUntil(10000, [&] { return driver::RemoveFolder(folder_); }))
        << Utf8(folder_);
  }
  folder_.clear();
  ownsFolder_ = false;
}

void RoadFixture::PrepareFolder(const std::wstring& prefix, const std::wstring& into) {
  ASSERT_TRUE(machine_.StartedClean())
      << "an earlier run's Windows version or simulated players could not be removed";
  const std::string exe = Argument(0);
  ASSERT_FALSE(exe.empty()) << "the path of fernclip.exe is the first argument";
  const std::wstring bin = driver::FolderOf(driver::WindowsPath(exe));
  ASSERT_TRUE(FileExists(bin + L"\\fernclip.exe")) << Utf8(bin);
  ownsFolder_ = into.empty();
  folder_ = into.empty() ? driver::MakeTemporaryFolder(prefix) : into;
  ASSERT_FALSE(folder_.empty()) << "no temporary folder: " << GetLastError();
  ASSERT_TRUE(driver::CopyFolder(bin, folder_)) << "copying " << Utf8(bin) << " failed";
}

void RoadFixture::WriteSettings(const std::string& settings) {
  ASSERT_TRUE(WriteBytes(folder_ + L"\\settings.ini", settings));
}

void RoadFixture::WriteSite(const std::wstring& address) {
  ASSERT_TRUE(WriteBytes(folder_ + L"\\site.ini", "[Site]\r\nAddress=" + Utf8(address) + "\r\n"));
}

void RoadFixture::StartWizard() {
  ASSERT_FALSE(folder_.empty()) << "no runnable folder was prepared";
  wizard_ = std::make_unique<driver::WizardSession>();
  ASSERT_TRUE(wizard_->Start(folder_, kStartMs))
      << "no window \"Zanterix Revivix\" within " << kStartMs / 1000 << " s (is X running?)";
}

driver::ControlState RoadFixture::Read(std::string_view name) const {
  return driver::ReadControl(Main(), ControlId(name));
}

void RoadFixture::ExpectPage(driver::Page page, DWORD timeoutMs) {
  ASSERT_NE(wizard_, nullptr);
  if (wizard_->WaitForPage(page, timeoutMs)) return;
  FAIL() << "expected the page \"" << driver::PageName(page) << "\" within " << timeoutMs / 1000
         << " s, but the wizard shows \"" << driver::PageName(wizard_->CurrentPage())
         << "\" with these visible texts:\n"
         << wizard_->VisibleTexts();
}

void RoadFixture::Click(std::string_view button) {
  ASSERT_NE(wizard_, nullptr);
  // A page that has just appeared may enable its buttons a moment later; the click is posted
  // once, as soon as the button can be pressed.
  ASSERT_TRUE(driver::WaitUntil(5000, [&] { return wizard_->Click(button); }))
      << "cannot press " << button << "; visible:\n"
      << wizard_->VisibleTexts();
}

std::wstring RoadFixture::LanguageText(const std::wstring& language, const wchar_t* key) const {
  wchar_t text[1024] = {};
  GetPrivateProfileStringW(L"Strings", key, L"", text, 1024,
                           (folder_ + L"\\Languages\\" + language + L".txt").c_str());
  return text;
}

std::wstring RoadFixture::LicenseText(const std::wstring& language) const {
  const std::string bytes = ReadBytes(folder_ + L"\\License\\" + language + L".txt");
  std::wstring text(bytes.size() / 2, L'\0');
  for (std::size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
  return text;
}

std::wstring RoadFixture::UserPrefixed(const std::wstring& message) {
  wchar_t user[256] = {};
  DWORD size = 256;
  GetUserNameW(user, &size);
  return std::wstring(user) + L", " + message;
}

void RoadFixture::ExpectErrorPage(const wchar_t* key, DWORD timeoutMs) {
  ASSERT_NE(wizard_, nullptr);
  const std::wstring expected = ErrorText(key);
  const bool shown = driver::WaitUntil(timeoutMs, [&] {
    return wizard_->Shown("Frame_Error_Handling") && wizard_->Text("Uni_Error_Label1") == expected;
  });
  ASSERT_TRUE(shown) << "expected \"" << Utf8(expected) << "\" within " << timeoutMs / 1000
                     << " s, the window shows \"" << Utf8(wizard_->Text("Uni_Error_Label1"))
                     << "\"";
}

bool RoadFixture::LabelEndsWith(const wchar_t* key) const {
  const std::wstring text = Message(key);
  const std::wstring label = wizard_->Text("Uni_Error_Label1");
  return !text.empty() && wizard_->Shown("Uni_Error_Label1") && label.size() >= text.size() &&
         label.compare(label.size() - text.size(), text.size(), text) == 0;
}

void RoadFixture::ExpectMessage(const wchar_t* key, DWORD timeoutMs) {
  ASSERT_NE(wizard_, nullptr);
  const std::wstring text = Message(key);
  ASSERT_FALSE(text.empty()) << "no " << Utf8(key) << " in the language file";
  if (driver::WaitUntil(timeoutMs, [&] { return LabelEndsWith(key); })) return;
  FAIL() << "expected the message " << Utf8(key) << " (\"" << Utf8(text) << "\") within "
         << timeoutMs / 1000 << " s; the wizard shows \""
         << driver::PageName(wizard_->CurrentPage()) << "\" with:\n"
         << wizard_->VisibleTexts();
}

bool RoadFixture::AskTimerEnabled(int number, DWORD_PTR& enabled) const {
  enabled = 0;
  return SendMessageTimeoutW(Main(), RegisterWindowMessageW(testhook::kTimerEnabledMessage),
                             static_cast<WPARAM>(number), 0, SMTO_ABORTIFHUNG, 5000, &enabled) != 0;
}

void RoadFixture::ExpectNoTimerEndsTheProgram() const {
  for (const int timer : {1, 6}) {
    DWORD_PTR enabled = 1;
    ASSERT_TRUE(AskTimerEnabled(timer, enabled)) << "the wizard did not answer";
    EXPECT_EQ(enabled, 0u) << "Timer" << timer << " is on: the program would end by itself";
  }
}

void RoadFixture::Close() {
  ASSERT_NE(wizard_, nullptr);
  ASSERT_TRUE(PostMessageW(Main(), WM_CLOSE, 0, 0));
  ASSERT_TRUE(wizard_->WaitForEnd(kEndMs))
      << "fernclip.exe did not end within " << kEndMs / 1000 << " s of WM_CLOSE";
}

void RoadFixture::ExpectEnd(DWORD timeoutMs) {
  ASSERT_NE(wizard_, nullptr);
  ASSERT_TRUE(wizard_->WaitForEnd(timeoutMs))
      << "the program did not end within " << timeoutMs / 1000 << " s; visible:\n"
      << wizard_->VisibleTexts();
}

void RoadFixture::ExpectExitCode(DWORD expected) {
  ASSERT_NE(wizard_, nullptr);
  DWORD code = 0;
  ASSERT_TRUE(wizard_->ExitCode(code)) << "the program has not ended";
  EXPECT_EQ(code, expected) << "exit code " << std::hex << code;
}

}  // namespace revivix::wintest
