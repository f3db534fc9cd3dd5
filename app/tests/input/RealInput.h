// The program used as a person uses it: the pointer, its buttons and the
// keys go through the system's input queue (SendInput from this process, in
// the program's session), never as messages posted to a window. What they
// did is read from outside: the program's windows, their places and states,
// the active window and the focus, and the files it writes.
//
// Under X without a window manager the keys go to the window under the
// pointer, so the pointer rests on the window that is to take them.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ProgramHarness.h"

namespace realinput {

// --- input ---------------------------------------------------------------------------

void PointerTo(POINT at);
// Moves there, rests, presses and lets go.
void Click(POINT at);
void RightClick(POINT at);
// Presses at `from`, moves in steps to `to` and lets go there.
void Drag(POINT from, POINT to);
// A key pressed and let go, with the keys of `held` pressed before it and let
// go after it (VK_CONTROL, VK_MENU, VK_SHIFT).
void Key(WORD key, std::initializer_list<WORD> held = {});
// Letters, digits, '.', '-' and blanks, key by key.
void Type(const std::string& text);

// --- looking -----------------------------------------------------------------------------

std::string ClassOf(HWND window);
std::string TextOf(HWND window);
RECT RectOf(HWND window);
POINT Centre(HWND window);
// A point of the window, from its top left corner.
POINT At(HWND window, int x, int y);
// "Class [text] at x,y wxh" for a failure's message.
std::string Name(HWND window);

// The visible top-level windows of a process; the first of a class, or null.
std::vector<HWND> TopLevels(DWORD processId);
HWND TopLevel(DWORD processId, const std::string& className);
// The visible windows below a window; the first of a class (and text, when
// given), or null.
std::vector<HWND> Below(HWND parent);
HWND Below(HWND parent, const std::string& className, const std::string& text = std::string(1, '\x01'));

// What the thread of a window has: its active window and its focus.
HWND ActiveOf(HWND window);
HWND FocusOf(HWND window);
bool InMenu(HWND window);

// The items of a list box, read as its own messages give them.
std::vector<std::string> ListItems(HWND listBox);

// What a running process writes to the debugger, read by attaching to it as
// its debugger (the process runs on as before; detached when this goes, or
// when the process ends).
class TDebugOutput {
 public:
  explicit TDebugOutput(DWORD processId);
  ~TDebugOutput();
  TDebugOutput(const TDebugOutput&) = delete;
  TDebugOutput& operator=(const TDebugOutput&) = delete;

  // Whether the attaching worked (it waits for it).
  bool Attached();
  // Everything written so far, one text after another.
  std::string Text();

 private:
  void Watch(DWORD processId);

  struct TShared;
  std::unique_ptr<TShared> shared_;
  std::thread thread_;  // the debugger's: events come to the thread that attached
};

// Asks `done` again until it holds, for limitMs at most (generous: the
// machine is shared with other builds); whether it held.
bool Until(const std::function<bool()>& done, DWORD limitMs = harness::kPatienceMs);

}  // namespace realinput
