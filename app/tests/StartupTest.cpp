// Start-up and its failures: the first showing, one instance only, the
// "/autorun" switch, the engine missing, unregistered or broken, and the
// stored language.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "ProgramHarness.h"

using harness::TProgramRun;

namespace {

// The engine of the run's folder, registered as an installed program has it.
void RegisterOwnEngine(const TProgramRun& run) { ASSERT_TRUE(harness::RegisterEngine(run.File("Tarnwick.dll"))); }

// The message box the program shows when it cannot have its engine, found
// among its windows; null when it does not come.
HWND AwaitErrorBox(const TProgramRun& run) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < harness::kPatienceMs) {
    for (HWND window : harness::VisibleWindows(run.ProcessId())) {
      char name[64] = {};
      GetClassNameA(window, name, sizeof(name));
      if (std::string(name) == "#32770") return window;
    }
    Sleep(50);
  }
  return nullptr;
}

// The program's main window among its top-level windows.
HWND MainWindow(const TProgramRun& run) {
  for (HWND window : harness::VisibleWindows(run.ProcessId())) {
    RECT r{};
    GetWindowRect(window, &r);
    if (harness::WindowText(window) == "Brimvale" && r.right - r.left == 661 && r.bottom - r.top == 540)
      return window;
  }
  return nullptr;
}

// Answers the box and expects the program to end at once, having shown
// nothing else and made no settings.
void ExpectEngineMessageAndEnd(TProgramRun& run) {
  HWND box = AwaitErrorBox(run);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(harness::DialogTexts(box), "Error|Fail to load kernel file! Please reinstall the program.");
  EXPECT_EQ(harness::VisibleWindows(run.ProcessId()), std::vector<HWND>{box});
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(run.WaitForExit(), 0u);
}

}  // namespace

TEST(Startup, FirstShowingLaysOutTabsAndPagesClosesTheSplashAndALogOffIsAllowed) {
  TProgramRun run("FirstShowing", TProgramRun::Shipped);
  ASSERT_NO_FATAL_FAILURE(RegisterOwnEngine(run));
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.AwaitReady());

  EXPECT_EQ(run.Ask("forms"), "MainForm\nRulesForm\nAboutForm");  // the splash is gone
  EXPECT_EQ(run.Shown("MainForm"), "visible=1 showing=1");
  std::string client = run.Ask("client\tMainForm");
  EXPECT_EQ(client.substr(client.find(' ', client.find(' ') + 1) + 1), "661 540");
  EXPECT_EQ(run.Prop("MainForm", "Caption"), "Brimvale");

  // The pages lie at 0, 45 of the window, 440 x 490; the first tab is
  // selected: its page alone shows, its button is the selected (disabled)
  // look with the text moved left.
  int x = 0, y = 0;
  sscanf(client.c_str(), "%d %d", &x, &y);
  for (const char* code : {"MG", "MA", "ST", "PM", "CS"}) {
    EXPECT_EQ(run.Ask(std::string("bounds\tMainForm.skimgpnl") + code),
              std::to_string(x) + " " + std::to_string(y + 45) + " " + std::to_string(x + 440) + " " +
                  std::to_string(y + 535));
    bool selected = std::string(code) == "MG";
    EXPECT_EQ(run.Prop(std::string("MainForm.skimgpnl") + code, "Visible"), selected ? "True" : "False") << code;
    EXPECT_EQ(run.Prop(std::string("MainForm.btnTab") + code, "Enabled"), selected ? "False" : "True") << code;
    EXPECT_EQ(run.Prop(std::string("MainForm.btnTab") + code, "TextX"), selected ? "60" : "90") << code;
  }
  EXPECT_EQ(run.Prop("MainForm.skimgpnlCompressing", "Visible"), "False");
  EXPECT_EQ(run.Prop("MainForm.btnFreeUp", "Visible"), "True");
  EXPECT_EQ(run.Prop("MainForm.tmrOverview", "Enabled"), "True");
  EXPECT_EQ(run.Prop("MainForm.tmrProcessList", "Enabled"), "True");
  EXPECT_EQ(run.Prop("MainForm.actHelp", "Enabled"), "True");

  // The real engine's figures reach the overview.
  std::string memory = run.Await("text\tMainForm.cklblMemoryUsage",
                                 [](const std::string& text) { return text.rfind("MEM usage: ", 0) == 0; });
  EXPECT_EQ(memory.substr(memory.size() - 3), " MB");
  EXPECT_NE(memory.find('/'), std::string::npos);

  // The engine made its settings, and the language index was written back.
  EXPECT_EQ(run.SettingNow("PROGRAM_OPTION", "LANGUAGE"), "0");

  // A log-off or shut-down is allowed at once.
  HWND window = MainWindow(run);
  ASSERT_NE(window, nullptr);
  DWORD_PTR answer = 0;
  ASSERT_TRUE(
      SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, harness::kPatienceMs, &answer));
  EXPECT_EQ(answer, 1u);
  EXPECT_EQ(run.Ask("boxes"), "");
  EXPECT_EQ(run.Shown("MainForm"), "visible=1 showing=1");

  EXPECT_EQ(run.Ask("close\tMainForm"), "ok");
  EXPECT_EQ(run.WaitForExit(), 0u);
}

TEST(Startup, ASecondInstanceEndsAtOnceAndDisturbsNothing) {
  // Both the shipped orvane.exe itself, watched from outside.
  TProgramRun first("FirstInstance", TProgramRun::Shipped);
  ASSERT_NO_FATAL_FAILURE(RegisterOwnEngine(first));
  ASSERT_TRUE(first.Start("", false));
  ASSERT_TRUE(harness::Eventually([&] { return MainWindow(first) != nullptr; })) << "no main window";

  TProgramRun second("SecondInstance", TProgramRun::Shipped);
  ASSERT_TRUE(second.Start("", false));
  EXPECT_EQ(second.WaitForExit(), 0u);
  EXPECT_TRUE(harness::VisibleWindows(second.ProcessId()).empty());
  // It never came as far as its engine.
  EXPECT_FALSE(std::ifstream(second.File("Config\\black.lst")).good());

  HWND window = MainWindow(first);
  ASSERT_NE(window, nullptr);
  DWORD_PTR answer = 0;
  EXPECT_TRUE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, harness::kPatienceMs, &answer));
  // Closed as the system closes a window.
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.WaitForExit(), 0u);
}

TEST(Startup, AutorunStartsHiddenAndLoadsThePagesAtTheFirstShowing) {
  TProgramRun run("Autorun", TProgramRun::Scripted);
  ASSERT_TRUE(run.Start("/autorun"));
  ASSERT_TRUE(run.AwaitLog("AutorunTask"));
  // No splash was made; the window is hidden and not yet laid out, but the
  // engine is open and the timers run.
  EXPECT_EQ(run.Ask("forms"), "MainForm\nRulesForm\nAboutForm");
  EXPECT_EQ(run.Shown("MainForm"), "visible=0 showing=0");
  EXPECT_EQ(run.Prop("MainForm", "Tag"), "0");
  EXPECT_EQ(run.Prop("MainForm.btnTabMG", "Enabled"), "True");
  EXPECT_EQ(run.Prop("MainForm.tmrOverview", "Enabled"), "True");
  EXPECT_EQ(run.Prop("MainForm.tmrOverview", "Interval"), "1000");
  std::vector<std::string> log = run.Log();
  auto at = [&](const std::string& line) { return std::find(log.begin(), log.end(), line) - log.begin(); };
  EXPECT_LT(at("Open"), at("AutorunTask"));
  EXPECT_EQ(run.LogCount("Shown TSplashForm"), 0u);

  // The tray's show item shows it: now the pages load.
  EXPECT_EQ(run.Ask("menu\tMainForm.mniTIShowHide"), "ok");
  ASSERT_TRUE(run.AwaitReady());
  EXPECT_EQ(run.Shown("MainForm"), "visible=1 showing=1");
  EXPECT_EQ(run.Prop("MainForm.btnTabMG", "Enabled"), "False");
  EXPECT_EQ(run.Prop("MainForm.skimgpnlMG", "Visible"), "True");
  EXPECT_EQ(run.Ask("forms"), "MainForm\nRulesForm\nAboutForm");
  EXPECT_EQ(run.LogCount("Shown TSplashForm"), 0u);

  // And hides it again.
  EXPECT_EQ(run.Ask("menu\tMainForm.mniTIShowHide"), "ok");
  EXPECT_EQ(run.AwaitShown("MainForm", "visible=0 showing=0"), "visible=0 showing=0");
  EXPECT_EQ(run.Ask("terminate"), "ok");
  EXPECT_EQ(run.WaitForExit(), 0u);
}

TEST(Startup, TheSwitchCountsOnlyExactlyAndFirstAndTheEngineOpensBeforeAnySettingIsRead) {
  for (const char* arguments : {"/AUTORUN", "x /autorun"}) {
    TProgramRun run("AutorunLookalike", TProgramRun::Scripted);
    ASSERT_TRUE(run.Start(arguments));
    ASSERT_TRUE(run.AwaitReady()) << arguments;
    EXPECT_EQ(run.Shown("MainForm"), "visible=1 showing=1") << arguments;
    EXPECT_EQ(run.LogCount("AutorunTask"), 0u) << arguments;
    // The engine first, then the stored language, then the splash, then
    // the main window.
    std::vector<std::string> log = run.Log();
    auto at = [&](const std::string& line) { return std::find(log.begin(), log.end(), line) - log.begin(); };
    ASSERT_LT(at("Shown TMainForm"), static_cast<long>(log.size()));
    EXPECT_LT(at("Open"), at("config"));
    EXPECT_LT(at("config"), at("Shown TSplashForm"));
    EXPECT_LT(at("Shown TSplashForm"), at("Shown TMainForm"));
    EXPECT_EQ(run.Ask("close\tMainForm"), "ok");
    EXPECT_EQ(run.WaitForExit(), 0u);
  }
}

TEST(Startup, WithoutItsEngineFileTheProgramSaysSoAndEnds) {
  TProgramRun run("EngineMissing", TProgramRun::Shipped);
  ASSERT_TRUE(DeleteFileA(run.File("Tarnwick.dll").c_str()));
  ASSERT_TRUE(run.Start("", false));
  ExpectEngineMessageAndEnd(run);
  EXPECT_FALSE(std::ifstream(run.File("Config\\black.lst")).good());
}

TEST(Startup, AnUnregisteredEngineRegistersItselfAndStarts) {
  TProgramRun run("EngineUnregistered", TProgramRun::Shipped);
  harness::RegisterEngine(run.File("Tarnwick.dll"), false);
  ASSERT_EQ(harness::RegisteredEngineFile(), "");
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.AwaitReady());
  EXPECT_EQ(lstrcmpiA(harness::RegisteredEngineFile().c_str(), run.File("Tarnwick.dll").c_str()), 0)
      << harness::RegisteredEngineFile();
  EXPECT_EQ(run.Await("text\tMainForm.cklblMemoryUsage",
                      [](const std::string& text) { return text.rfind("MEM usage: ", 0) == 0; })
                .rfind("MEM usage: ", 0),
            0u);
  EXPECT_EQ(run.Ask("close\tMainForm"), "ok");
  EXPECT_EQ(run.WaitForExit(), 0u);
}

TEST(Startup, AnEngineThatCannotBeLoadedEndsTheProgramWithTheMessage) {
  TProgramRun run("EngineBroken", TProgramRun::Shipped);
  harness::RegisterEngine(run.File("Tarnwick.dll"), false);
  std::ofstream(run.File("Tarnwick.dll"), std::ios::trunc | std::ios::binary) << "not a program file";
  ASSERT_TRUE(run.Start("", false));
  ExpectEngineMessageAndEnd(run);
}

TEST(Startup, AStoredLanguageThatIsNoValidIndexBecomesTheFirstAndIsWrittenBack) {
  // Other texts that are no index (out of range, negative, empty) are the
  // formulas' tests; here the program goes on through its whole start.
  TProgramRun run("LanguageIndex", TProgramRun::Scripted);
  run.Setting("PROGRAM_OPTION", "LANGUAGE", "abc");
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.AwaitReady());
  EXPECT_EQ(run.Ask("boxes"), "");  // no conversion error
  EXPECT_EQ(run.SettingNow("PROGRAM_OPTION", "LANGUAGE"), "0");
  EXPECT_EQ(run.Prop("MainForm.tmrOverview", "Enabled"), "True");
  EXPECT_EQ(run.Ask("close\tMainForm"), "ok");
  EXPECT_EQ(run.WaitForExit(), 0u);
}

TEST(Startup, AStoredLanguageIndexLoadsThatLanguage) {
  TProgramRun run("LanguageGerman", TProgramRun::Scripted);
  // The shipped German file is the one language beside the built-in texts.
  run.Setting("PROGRAM_OPTION", "LANGUAGE", "1");
  ASSERT_TRUE(run.Start());
  ASSERT_TRUE(run.AwaitReady());
  EXPECT_EQ(run.Await("text\tMainForm.cklblMemoryUsage",
                      [](const std::string& text) { return text.rfind("Speicher: ", 0) == 0; })
                .rfind("Speicher: ", 0),
            0u);
  EXPECT_EQ(run.SettingNow("PROGRAM_OPTION", "LANGUAGE"), "1");
  // A splash made now, as at start, speaks the language too.
  ASSERT_TRUE(run.Script("splash"));
  EXPECT_EQ(run.Prop("SplashForm", "Caption"), "Startbild");
  EXPECT_EQ(run.Text("SplashForm.lylblAppName"), "Brimvale");
  EXPECT_EQ(run.Ask("close\tMainForm"), "ok");
  EXPECT_EQ(run.WaitForExit(), 0u);
}
