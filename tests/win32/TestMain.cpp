// Main of the Windows test programs. wine64 can exit 0 when a program failed, so the verdict is
// printed as the last line of the output, where tools/wine-run.sh looks for it.
//   --idle   the program only sleeps (a second process with the same executable name)
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "TestSupport.h"
#include "driver/Paths.h"

namespace revivix::wintest {

namespace {
std::vector<std::string>& Store() {
  static std::vector<std::string> arguments;
  return arguments;
}
}  // namespace

const std::vector<std::string>& Arguments() {
  return Store();
}

std::string Argument(std::size_t index) {
  return index < Store().size() ? Store()[index] : std::string();
}

std::wstring FixturePath(const std::wstring& relative) {
  return driver::WindowsPath(REVIVIX_FIXTURES) + L"\\" + relative;
}

}  // namespace revivix::wintest

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--idle") == 0) {
    Sleep(120000);
    return 0;
  }
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) revivix::wintest::Store().push_back(argv[i]);
  const int failed = RUN_ALL_TESTS();
  const auto* unit = testing::UnitTest::GetInstance();
  // A run in which no test ran proves nothing.
  const bool passed = failed == 0 && unit->test_to_run_count() > 0 && unit->Passed();
  std::fflush(stdout);
  std::printf("%s\n", passed ? "REVIVIX-TEST PASS" : "REVIVIX-TEST FAIL");
  std::fflush(stdout);
  return passed ? 0 : 1;
}
