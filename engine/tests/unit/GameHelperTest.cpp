// Game mode over a fake process list and a fake shell: the high-memory
// list, the state messages, the shell kill and restart, and the monitor that
// learns the game's processes.
#include <gtest/gtest.h>

#include "MOGameHelper.h"
#include "ProcessFakes.h"

#include <shellapi.h>

using namespace tarnwick;
using namespace tarnwick::test;

namespace {

class GameHelperTest : public ::testing::Test {
 protected:
  GameHelperTest() {
    processes.Start(0, L"[System Process]");
    processes.Start(100, L"editor.exe", L"", 31457280);  // exactly the threshold
    processes.Start(200, L"browser.exe", L"", 31457281);
    processes.Start(300, L"explorer.exe", L"C:\\WINDOWS\\Explorer.EXE");
    list = std::make_unique<CMOProcessList>(FakeSeams(processes, shell));
    thread = MessageThread();
    release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  }
  ~GameHelperTest() override { CloseHandle(release); }

  // Game mode whose monitor waits for `release` instead of a minute.
  CMOGameHelper& Game() {
    if (!game) {
      CMOGameHelper::Seams seams;
      seams.shell = &shell;
      seams.windowsFolder = L"C:\\Windows\\";
      seams.monitorWait = [this](HANDLE stop) {
        HANDLE events[] = {release, stop};
        return WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0;
      };
      game = std::make_unique<CMOGameHelper>(std::move(seams));
      game->SetProcessList(list.get());
      game->SetEventThread(thread);
    }
    return *game;
  }

  HRESULT Start(const wchar_t* launcher, VARIANT_BOOL killExplorer) {
    BSTR path = SysAllocString(launcher);
    BSTR param = SysAllocString(L"-fullscreen");
    HRESULT hr = Game().StartGameMode(path, param, killExplorer);
    SysFreeString(path);
    SysFreeString(param);
    return hr;
  }

  size_t ShellRestarts() {
    return std::count_if(shell.calls.begin(), shell.calls.end(),
                         [](const FakeShell::Call& c) { return c.file == L"C:\\Windows\\explorer.exe"; });
  }

  FakeProcessSystem processes;
  FakeShell shell;
  std::unique_ptr<CMOProcessList> list;
  std::unique_ptr<CMOGameHelper> game;
  DWORD thread = 0;
  HANDLE release = nullptr;
};

TEST_F(GameHelperTest, HighMemoryListTakesProcessesAboveTheThresholdByIndex) {
  EXPECT_EQ(MO_GMS_NO_GAME, Game().State());
  EXPECT_EQ(S_OK, Game().PreGameMode());
  ULONG count = 0, index = 99;
  Game().get_HighMemoryCount(&count);
  EXPECT_EQ(1u, count);
  EXPECT_EQ(S_OK, Game().get_HighMemoryIndex(0, &index));
  EXPECT_EQ(2u, index);  // the item's Index, not its process identifier
  EXPECT_EQ(S_FALSE, Game().get_HighMemoryIndex(1, &index));
  EXPECT_EQ(0u, index);
  EXPECT_EQ(MO_GMS_PRE_GAME, Game().State());
  EXPECT_EQ((std::vector<Posted>{{kMsgGameModeState, 0, 0}}), TakePosted());
}

TEST_F(GameHelperTest, StartedLauncherEntersGameModeWithItsParameters) {
  EXPECT_EQ(S_OK, Start(L"D:\\Games\\run.exe", 0));
  EXPECT_TRUE(Game().InGame());
  EXPECT_EQ((std::vector<Posted>{{kMsgGameModeState, 1, 0}}), TakePosted());
  ASSERT_EQ(1u, shell.calls.size());
  EXPECT_EQ(L"open", shell.calls[0].verb);
  EXPECT_EQ(L"D:\\Games\\run.exe", shell.calls[0].file);
  EXPECT_EQ(L"-fullscreen", shell.calls[0].parameters);
  EXPECT_TRUE(processes.terminated.empty());
}

TEST_F(GameHelperTest, LauncherThatCannotStartReportsTheFailure) {
  shell.result = SE_ERR_FNF;
  EXPECT_EQ(S_FALSE, Start(L"D:\\Games\\missing.exe", 0));
  EXPECT_EQ(MO_GMS_NO_GAME, Game().State());
  EXPECT_EQ((std::vector<Posted>{{kMsgGameModeState, 2, 0}, {kMsgGameModeFailed, 0, 0}}), TakePosted());
}

TEST_F(GameHelperTest, ShellIsEndedOnlyWithTheFlagAndRestartedAtEveryEnd) {
  Start(L"run.exe", 1);  // only VARIANT_TRUE counts
  EXPECT_TRUE(processes.terminated.empty());
  Game().EndGameMode();
  EXPECT_EQ(0u, ShellRestarts());

  Start(L"run.exe", VARIANT_TRUE);
  EXPECT_EQ(std::vector<DWORD>{300}, processes.terminated);
  Game().EndGameMode();
  Game().EndGameMode();
  EXPECT_EQ(2u, ShellRestarts());
  EXPECT_EQ(MO_GMS_NO_GAME, Game().State());

  Start(L"run.exe", VARIANT_FALSE);
  Game().EndGameMode();
  EXPECT_EQ(2u, ShellRestarts());
  std::vector<Posted> posted = TakePosted();
  ASSERT_FALSE(posted.empty());
  EXPECT_EQ((Posted{kMsgGameModeState, 2, 0}), posted.back());
}

TEST_F(GameHelperTest, FailedLaunchBringsBackTheShellItEnded) {
  shell.result = SE_ERR_ACCESSDENIED;
  EXPECT_EQ(S_FALSE, Start(L"run.exe", VARIANT_TRUE));
  EXPECT_EQ(std::vector<DWORD>{300}, processes.terminated);
  EXPECT_EQ(1u, ShellRestarts());
  shell.result = 42;
  Game().EndGameMode();  // already back: not started twice
  EXPECT_EQ(1u, ShellRestarts());
}

TEST_F(GameHelperTest, KillExplorerStopsAtTheFirstFailure) {
  processes.Start(400, L"explorer.exe", L"c:\\windows\\explorer.exe");
  list->RefreshList();
  processes.table[3].openable = false;
  EXPECT_EQ(S_FALSE, Game().KillExplorer());
  EXPECT_TRUE(processes.terminated.empty());
  processes.table[3].openable = true;
  EXPECT_EQ(S_OK, Game().KillExplorer());
  EXPECT_EQ((std::vector<DWORD>{300, 400}), processes.terminated);
}

TEST_F(GameHelperTest, ProcessesThatAppearDuringTheMinuteAreTheGames) {
  Start(L"run.exe", 0);
  processes.Start(500, L"Game.exe");
  size_t brief = processes.Start(600, L"splash.exe");
  list->RefreshList();
  EXPECT_FALSE(Game().IsGameProcess(L"game.exe"));  // not before the minute is over
  processes.End(brief);
  list->RefreshList();
  processes.Start(700, L"gone-between-refreshes.exe");
  processes.End(processes.Start(701, L"short.exe"));
  SetEvent(release);
  Game().WaitForMonitors();
  EXPECT_TRUE(Game().IsGameProcess(L"GAME.EXE"));
  EXPECT_FALSE(Game().IsGameProcess(L"splash.exe"));
  EXPECT_FALSE(Game().IsGameProcess(L"short.exe"));
  EXPECT_FALSE(Game().IsGameProcess(L"gone-between-refreshes.exe"));
  EXPECT_FALSE(Game().IsGameProcess(L"editor.exe"));
}

TEST_F(GameHelperTest, DestructionStopsAWaitingMonitor) {
  CMOGameHelper::Seams seams;
  seams.shell = &shell;
  auto minute = std::make_unique<CMOGameHelper>(std::move(seams));  // the real one-minute wait
  minute->SetProcessList(list.get());
  BSTR path = SysAllocString(L"run.exe");
  EXPECT_EQ(S_OK, minute->StartGameMode(path, nullptr, VARIANT_FALSE));
  SysFreeString(path);
  minute.reset();  // returns at once; a hang here fails by the test's time-out
}

}  // namespace
