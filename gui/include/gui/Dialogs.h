// Message boxes that return the answer, and the beep; tests (and the
// automation channel) may answer the boxes and hear the beeps instead of the
// user.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace gui {

// The platform's message box with 8-bit texts; returns IDOK, IDYES, ...
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);
// The boxes open now (a box answered by the hook counts while it is being
// answered): a window closing under an open box waits for its answer.
int OpenMessageBoxes();
// A box with the application's title and an OK button.
void ShowMessage(const std::string& text);

// Receives every box instead of the screen and returns its answer; an empty
// hook restores the real boxes.
using TMessageBoxHook =
    std::function<int(HWND Owner, const std::string& Text, const std::string& Caption, UINT Flags)>;
void SetMessageBoxHook(TMessageBoxHook hook);

// The system's default sound (MessageBeep), or the hook when one is set.
void Beep();
void SetBeepHook(std::function<void()> hook);

}  // namespace gui
