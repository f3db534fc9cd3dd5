#include "RealInput.h"

#include <atomic>
#include <cstdlib>
#include <cstdio>
#include <mutex>

namespace realinput {

namespace {

constexpr DWORD kAnswerMs = 10000;  // a window's answer to a question about itself

INPUT MouseInput(DWORD flags, POINT at) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  // The system scales 0..65535 onto the screen; round up onto the pixel.
  input.mi.dx = static_cast<LONG>((at.x * 65536LL + width - 1) / width);
  input.mi.dy = static_cast<LONG>((at.y * 65536LL + height - 1) / height);
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return input;
}

INPUT KeyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

void Send(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Returns once the thread of the window has handled what it had.
void Sync(HWND window) {
  DWORD_PTR result = 0;
  if (window) SendMessageTimeoutA(GetAncestor(window, GA_ROOT), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &result);
}

bool PointerIsAt(POINT at) {
  POINT now{};
  return GetCursorPos(&now) && now.x == at.x && now.y == at.y;
}

void ButtonAt(POINT at, DWORD down, DWORD up) {
  // A second click of the same button at the same place within the system's
  // double-click time is a double click: a person who means two clicks lets
  // that time pass.
  static DWORD lastButton = 0, lastTime = 0;
  static POINT lastAt{};
  const DWORD since = GetTickCount() - lastTime;
  if (down == lastButton && std::abs(at.x - lastAt.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
      std::abs(at.y - lastAt.y) <= GetSystemMetrics(SM_CYDOUBLECLK) && since <= GetDoubleClickTime())
    Sleep(GetDoubleClickTime() - since + 50);
  PointerTo(at);
  Send({MouseInput(down, at)});
  Send({MouseInput(up, at)});
  lastButton = down;
  lastTime = GetTickCount();
  lastAt = at;
}

struct TSearch {
  DWORD ProcessId;
  std::vector<HWND> Found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->ProcessId && IsWindowVisible(window)) search->Found.push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
  if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

GUITHREADINFO ThreadInfo(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info;
}

}  // namespace

// While a program holds the pointer (a menu, a move, a capture) the X server
// refuses to move it for anyone else: the system takes the new place, the X
// server keeps the old.
bool PointerHeld() {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(0, &info) &&
         (info.hwndCapture || (info.flags & (GUI_INMENUMODE | GUI_INMOVESIZE | GUI_POPUPMENUMODE)));
}

void PointerTo(POINT at) {
  POINT from{};
  GetCursorPos(&from);
  Send({MouseInput(0, at)});
  if (PointerHeld()) {
    Until([&] { return PointerIsAt(at); }, kAnswerMs);
    return;
  }
  // The programs under the pointer hear of a move from the X server and pass
  // on the place they were told; one that tells late puts the pointer back
  // where it was. And the system asks the X server itself where the pointer
  // is once it has not moved for 100 ms. So the pointer has arrived when the
  // windows under the old and the new place have handled what they had and
  // it has stayed put past that time.
  constexpr DWORD kStillMs = 150;
  DWORD still = 0;
  Until(
      [&] {
        Sync(WindowFromPoint(from));
        Sync(WindowFromPoint(at));
        if (!PointerIsAt(at)) {
          Send({MouseInput(0, at)});
          still = 0;
          return false;
        }
        if (!still) still = GetTickCount();
        return GetTickCount() - still >= kStillMs;
      },
      kAnswerMs * 3);
}

void Click(POINT at) { ButtonAt(at, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP); }

void RightClick(POINT at) { ButtonAt(at, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP); }

void Drag(POINT from, POINT to) {
  PointerTo(from);
  Send({MouseInput(MOUSEEVENTF_LEFTDOWN, from)});
  constexpr int kSteps = 8;
  for (int step = 1; step <= kSteps; ++step)
    PointerTo({from.x + (to.x - from.x) * step / kSteps, from.y + (to.y - from.y) * step / kSteps});
  Send({MouseInput(MOUSEEVENTF_LEFTUP, to)});
}

void Key(WORD key, std::initializer_list<WORD> held) {
  std::vector<INPUT> inputs;
  for (WORD modifier : held) inputs.push_back(KeyInput(modifier, false));
  inputs.push_back(KeyInput(key, false));
  inputs.push_back(KeyInput(key, true));
  for (auto it = held.end(); it != held.begin();) inputs.push_back(KeyInput(*--it, true));
  Send(inputs);
}

void Type(const std::string& text) {
  for (char c : text) {
    const SHORT scan = VkKeyScanA(c);
    if (scan == -1) continue;
    const WORD key = LOBYTE(scan);
    if (HIBYTE(scan) & 1)
      Key(key, {VK_SHIFT});
    else
      Key(key);
  }
}

std::string ClassOf(HWND window) {
  char name[128] = {};
  GetClassNameA(window, name, sizeof(name));
  return name;
}

std::string TextOf(HWND window) {
  // The system's copy of the window's text: the program is not asked.
  char text[512] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

RECT RectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

POINT Centre(HWND window) {
  const RECT r = RectOf(window);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT At(HWND window, int x, int y) {
  const RECT r = RectOf(window);
  return {r.left + x, r.top + y};
}

std::string Name(HWND window) {
  if (!window) return "no window";
  const RECT r = RectOf(window);
  char place[64];
  std::snprintf(place, sizeof(place), " at %ld,%ld %ldx%ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
  return ClassOf(window) + " [" + TextOf(window) + "]" + place + (IsWindowVisible(window) ? "" : " hidden");
}

std::vector<HWND> TopLevels(DWORD processId) {
  TSearch search{processId, {}};
  EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

HWND TopLevel(DWORD processId, const std::string& className) {
  for (HWND window : TopLevels(processId))
    if (ClassOf(window) == className) return window;
  return nullptr;
}

std::vector<HWND> Below(HWND parent) {
  std::vector<HWND> found;
  if (parent) EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND Below(HWND parent, const std::string& className, const std::string& text) {
  const bool anyText = text == std::string(1, '\x01');
  for (HWND window : Below(parent))
    if (ClassOf(window) == className && (anyText || TextOf(window) == text)) return window;
  return nullptr;
}

HWND ActiveOf(HWND window) { return ThreadInfo(window).hwndActive; }

HWND FocusOf(HWND window) { return ThreadInfo(window).hwndFocus; }

bool InMenu(HWND window) { return (ThreadInfo(window).flags & GUI_INMENUMODE) != 0; }

std::vector<std::string> ListItems(HWND listBox) {
  std::vector<std::string> items;
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutA(listBox, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, kAnswerMs, &count)) return items;
  for (WPARAM i = 0; i < count; ++i) {
    // The list keeps wide texts; across processes only the wide answer comes whole.
    wchar_t text[512] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, kAnswerMs,
                        &length);
    char narrow[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof(narrow), nullptr, nullptr);
    items.emplace_back(narrow);
  }
  return items;
}

// --- the debugger's view --------------------------------------------------------------

struct TDebugOutput::TShared {
  std::mutex Lock;
  std::string Text;
  std::atomic<int> Attach{0};  // 0 not yet, 1 attached, -1 refused
  std::atomic<bool> Stop{false};
};

TDebugOutput::TDebugOutput(DWORD processId)
    : shared_(new TShared), thread_([this, processId] { Watch(processId); }) {}

TDebugOutput::~TDebugOutput() {
  shared_->Stop = true;
  thread_.join();
}

bool TDebugOutput::Attached() {
  Until([&] { return shared_->Attach != 0; }, 60000);
  return shared_->Attach == 1;
}

std::string TDebugOutput::Text() {
  std::lock_guard<std::mutex> lock(shared_->Lock);
  return shared_->Text;
}

// Events come to the thread that attached; everything but the texts is let
// through unchanged (exceptions to the process's own handlers).
void TDebugOutput::Watch(DWORD processId) {
  if (!DebugActiveProcess(processId)) {
    shared_->Attach = -1;
    return;
  }
  DebugSetProcessKillOnExit(FALSE);
  shared_->Attach = 1;
  HANDLE process = nullptr;
  bool ended = false;
  while (!ended) {
    DEBUG_EVENT event{};
    if (!WaitForDebugEvent(&event, 50)) {
      if (shared_->Stop) break;
      continue;
    }
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        process = event.u.CreateProcessInfo.hProcess;
        if (event.u.CreateProcessInfo.hFile) CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile) CloseHandle(event.u.LoadDll.hFile);
        break;
      case EXCEPTION_DEBUG_EVENT:
        // The break-in of the attaching is the debugger's; the rest the process's.
        if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
          status = DBG_EXCEPTION_NOT_HANDLED;
        break;
      case OUTPUT_DEBUG_STRING_EVENT: {
        const OUTPUT_DEBUG_STRING_INFO& info = event.u.DebugString;
        std::string text(info.nDebugStringLength, '\0');
        SIZE_T read = 0;
        if (process && !info.fUnicode)
          ReadProcessMemory(process, info.lpDebugStringData, text.data(), text.size(), &read);
        text.resize(read);
        while (!text.empty() && text.back() == '\0') text.pop_back();
        std::lock_guard<std::mutex> lock(shared_->Lock);
        shared_->Text += text;
        break;
      }
      case EXIT_PROCESS_DEBUG_EVENT:
        ended = true;
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
  }
  if (!ended) DebugActiveProcessStop(processId);
}

bool Until(const std::function<bool()>& done, DWORD limitMs) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < limitMs; Sleep(25))
    if (done()) return true;
  return done();
}

}  // namespace realinput
