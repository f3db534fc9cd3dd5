// Test automation: find components by name, click and type without a user,
// read texts, properties and positions, run menu items and answer message
// boxes. Its own library (brimvale_gui_automation), linked only into tests
// and test builds of programs, never into what ships. Switched on only for
// tests: in-process with Enable(), or, for a test that drives another
// process, by a test build that calls OfferChannel() and is started with
// the environment variable BRIMVALE_AUTOMATION=1; the test talks to it
// through TAutomationClient.
//
// While automation is on, message boxes do not show: each is recorded and
// answered from the queue of answers (IDOK / the first button when empty);
// popup menus do not show either: each is recorded and the next queued
// choice runs (nothing when the queue is empty).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/Controls.h"
#include "gui/Events.h"

namespace gui {

class TMenuItem;

namespace automation {

void Enable();
void Disable();
bool Enabled();
// Makes Application->Initialize start the channel when the environment asks
// for it; a test build of a program calls it before Initialize (a program
// that never calls it has no channel, whatever its environment says).
void OfferChannel();
// Starts the channel other processes talk to when the environment asks
// for it (what OfferChannel hands to Initialize).
void StartChannelIfRequested();

// "FormName" or "FormName.ComponentName" (forms by name, then by class
// name); null when there is none.
TComponent* Find(const std::string& path);

// Moves the real cursor to a client point of the control and sends the
// mouse messages the system would; the program handles them before these
// return.
void MouseMove(TControl* control, TPoint point);
void MouseDown(TControl* control, TMouseButton button, TPoint point);
void MouseUp(TControl* control, TMouseButton button, TPoint point);
// Move, press and release at the control's centre, at a client point, or
// on a list view's row (the middle of its label).
void Click(TControl* control, TMouseButton button = mbLeft);
void ClickAt(TControl* control, TPoint point, TMouseButton button = mbLeft);
void ClickRow(TControl* control, int index, TMouseButton button = mbLeft);
// Presses and releases a key (with Shift, Ctrl and Alt as given, pressed
// before it and released after it) in the focused window, through the
// program's message loop.
void PressKey(WORD key, TShiftState shift = {});
// Types text into the focused window as characters.
void TypeText(const std::string& text);
// Handles every message waiting now, and the ones they post.
void Pump();
// Handles messages as they come until done() holds; false when it did not
// within limitMs (a safety net for tests, generous for a loaded machine,
// not a speed check).
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 60000);

std::string Text(TControl* control);
// The rows of a list view, one a line, each its caption and sub-items
// separated by tabs; or the items of a list box, one a line.
std::string Items(TControl* control);
// Selects and focuses the row at index of a list view (-1: none), which
// tells the list's OnSelectItem as a click on the row would.
void Select(TControl* control, int index);
// A published property's value as text (sets as "[a, b]", references by
// name, events as "assigned"/"").
std::string Property(TComponent* component, const std::string& name);
TRect ScreenBounds(TControl* control);

// Message boxes and popup menus shown while automation is on.
struct TBoxRecord {
  std::string Caption;
  std::string Text;
  UINT Flags;
  int Answer;
};
void AnswerNextMessageBox(int answer);
// The same, the box left open until ReleaseHeldMessageBox, as a box a user
// reads is: timers, posted messages and calls from other apartments go on
// meanwhile. For a test that acts while a box is open, however slowly it
// gets there.
void HoldNextMessageBox(int answer);
void ReleaseHeldMessageBox();
const std::vector<TBoxRecord>& MessageBoxes();
// The next popup menu runs the item of this name ("" dismisses it).
void ChooseNextMenuItem(const std::string& itemName);
// Names of the popup menus shown, in order.
const std::vector<std::string>& PoppedMenus();
void ClearRecords();

// Drives a program started with BRIMVALE_AUTOMATION=1 from another process.
// Commands and answers are text; see the channel's command list in
// gui/README.md.
class TAutomationClient {
 public:
  TAutomationClient();
  ~TAutomationClient();
  TAutomationClient(const TAutomationClient&) = delete;
  TAutomationClient& operator=(const TAutomationClient&) = delete;

  // Waits up to timeoutMs for the program's channel to appear.
  bool Connect(DWORD processId, DWORD timeoutMs);
  // Sends one command (its words separated by tabs) and returns the
  // answer; "error: ..." for a command the program could not carry out.
  std::string Send(const std::string& command);

 private:
  static LRESULT CALLBACK ReplyProc(HWND, UINT, WPARAM, LPARAM);
  HWND window_ = nullptr;
  HWND server_ = nullptr;
  std::string reply_;
  bool replied_ = false;
};

}  // namespace automation
}  // namespace gui
