#include <gtest/gtest.h>

#include "app/processt.h"
#include "fakes/FakePlatform.h"

namespace revivix::test {
namespace {

struct Processt : ::testing::Test {
  FakeProcesses processes;
};

TEST_F(Processt, EndsOnlyTheFirstListedMatchIgnoringCase) {
  processes.running = {
      {L"System", 4}, {L"explorer.exe", 100}, {L"FERNCLIP.EXE", 200}, {L"fernclip.exe", 300}};
  KillProcessByName(processes, L"fernclip.exe");
  EXPECT_EQ(processes.terminated, std::vector<ProcessId>{200});
  EXPECT_EQ(processes.debugPrivilegeRequests, 1);
}

TEST_F(Processt, NameIsASubstringTest) {
  processes.running = {{L"myfernclip.exe.bak", 500}};
  KillProcessByName(processes, L"fernclip.exe");
  EXPECT_EQ(processes.terminated, std::vector<ProcessId>{500});
}

TEST_F(Processt, NeverEndsTheProgramItself) {
  processes.ownId = 300;
  processes.running = {{L"fernclip.exe", 300}, {L"fernclip.exe", 310}};
  KillProcessByName(processes, L"fernclip.exe");
  EXPECT_EQ(processes.terminated, std::vector<ProcessId>{310});

  processes.running = {{L"fernclip.exe", 300}};
  processes.terminated.clear();
  KillProcessByName(processes, L"fernclip.exe");
  EXPECT_TRUE(processes.terminated.empty());
}

TEST_F(Processt, ExaminesEveryProcessBeyondAHundred) {
  for (ProcessId id = 1; id <= 250; ++id) processes.running.push_back({L"svc.exe", id});
  processes.running.push_back({L"fernclip.exe", 9999});
  KillProcessByName(processes, L"fernclip.exe");
  EXPECT_EQ(processes.terminated, std::vector<ProcessId>{9999});
  EXPECT_EQ(ReadProcessTable(processes).size(), 250u);
}

TEST_F(Processt, LongNamesAreCutToTheNameField) {
  processes.running = {{std::wstring(300, L'a') + L"fernclip.exe", 7}};
  const auto table = ReadProcessTable(processes);
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(table[0].exeFile.size(), 260u);
  KillProcessByName(processes, L"fernclip.exe");
  EXPECT_TRUE(processes.terminated.empty());
}

TEST_F(Processt, NoSnapshotEndsNothing) {
  processes.running = {{L"fernclip.exe", 200}};
  processes.snapshotFails = true;
  KillProcessByName(processes, L"fernclip.exe");
  EXPECT_TRUE(processes.terminated.empty());
}

TEST_F(Processt, TerminateProcessOfByIdOrWindow) {
  processes.running = {{L"updater.exe", 42}, {L"locked.exe", 43}};
  processes.windowOwners[0x1234] = 42;
  processes.protectedIds = {43};
  EXPECT_FALSE(TerminateProcessOf(processes, 0, 0));
  EXPECT_FALSE(TerminateProcessOf(processes, 0, 0x9999));  // nobody owns that window
  EXPECT_FALSE(TerminateProcessOf(processes, 43, 0));      // cannot be opened: left running
  EXPECT_TRUE(TerminateProcessOf(processes, 77, 0x1234));  // the window's owner wins over the id
  EXPECT_EQ(processes.terminated, std::vector<ProcessId>{42});
}

}  // namespace
}  // namespace revivix::test
