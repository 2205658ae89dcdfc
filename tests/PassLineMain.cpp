// Main of the native suite when it is built as a Windows program and run under Wine: wine64 can
// exit 0 when a program failed, so the verdict is printed as the last line of the output, where
// tools/wine-run.sh looks for it.
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const int failed = RUN_ALL_TESTS();
  const auto* unit = testing::UnitTest::GetInstance();
  // A run in which no test ran proves nothing.
  const bool passed = failed == 0 && unit->test_to_run_count() > 0 && unit->Passed();
  std::fflush(stdout);
  std::printf("%s\n", passed ? "REVIVIX-TEST PASS" : "REVIVIX-TEST FAIL");
  std::fflush(stdout);
  return passed ? 0 : 1;
}
