// The program started as a user starts it (no automation channel: real
// message boxes, real popup menus) and used through real input. Each test
// runs it in a program folder of its own and reads what it did from outside.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ProgramHarness.h"
#include "RealInput.h"

namespace realinput {

using harness::TProgramRun;

class ProgramInUse : public ::testing::Test {
 protected:
  void TearDown() override;

  // The run, made on first use; settings written before Start stay.
  TProgramRun& Run(TProgramRun::TBuild build = TProgramRun::Shipped);
  // Starts it and waits for its main window's first showing, the pointer
  // resting on the window.
  void Start(TProgramRun::TBuild build = TProgramRun::Shipped);
  HWND Main() const { return main_; }
  DWORD ProcessId() { return Run().ProcessId(); }

  // A visible top-level window of the program of that class once it shows
  // (null when none did).
  HWND AwaitWindow(const std::string& className);
  // Whether the window went (hidden or destroyed).
  bool AwaitGone(HWND window);
  // The program's message box once it shows; its caption and static texts,
  // joined by "|".
  HWND AwaitBox();
  // Answers the box with Enter, the pointer resting on it, and waits until
  // it went.
  void AnswerBox(HWND box);
  static std::string BoxTexts(HWND box) { return harness::DialogTexts(box); }
  // A popup menu of the program once it shows and takes the keys (the
  // program then holds the pointer: it stays where it is).
  HWND AwaitMenu();

  // The pointer rests at `rest` until the window is the active one.
  bool KeysTo(HWND window, POINT rest);
  // The same on the main window, at a place where nothing reacts to it.
  bool KeysToMain();
  // Returns once the program has ended the handler it is in (a sent no-op
  // comes back only then). Input still queued is not waited for.
  void Settle();
  // The active window and the focus of the program's thread.
  HWND Active() { return ActiveOf(main_); }
  HWND Focus() { return FocusOf(main_); }
  // Presses Tab until the focus is on `control`, at most once per control of
  // the page; whether it got there.
  bool TabTo(HWND control);

  // The five tab buttons, top to bottom, and the page shown now.
  std::vector<HWND> TabButtons();
  HWND Page();
  // Clicks a tab button and waits until its page shows (the selected tab
  // button is disabled).
  void ShowPage(int index);
  // A visible control of the main window, by class and text.
  HWND Control(const std::string& className, const std::string& text);
  // The page's controls that take the focus by Tab, in reading order (top to
  // bottom, then left to right).
  static std::vector<HWND> TabStops(HWND page);

  // Config\<name>, a list file: its lines (ListFiles.h).
  std::vector<std::string> ListFile(const std::string& name);
  void WriteListFile(const std::string& name, const std::vector<std::string>& lines);
  // The rules window, opened as the user opens it: the general page's list
  // box right-clicked, its menu's one item chosen.
  HWND OpenRulesWindow(const std::string& listBox);

  // Wine's own notification area ("Wine System Tray") and the program's icon
  // in it, the only icon there.
  static HWND TrayWindow();
  static POINT TrayIcon();
  // Takes from the tray the icons of programs ended from outside.
  static void ClearTheTray();
  // Right-clicks the icon, waits for its menu and presses the item's key.
  void TrayMenu(char itemKey);
  // Opens the about window from the help menu, or from the tray menu.
  HWND OpenAboutFromHelpMenu();
  HWND OpenAboutFromTray();

 private:
  std::unique_ptr<TProgramRun> run_;
  HWND main_ = nullptr;
};

}  // namespace realinput
