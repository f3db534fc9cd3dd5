// The test automation channel: in-process helpers and the window other
// processes send their commands to. Test builds only: nothing that ships
// links this file (checks_no_test_channel scans the program folder for its
// names).
#include "gui/Automation.h"

#include <cstdlib>
#include <deque>
#include <functional>
#include <sstream>
#include <vector>

#include "ControlsInternal.h"
#include "gui/ComCtrls.h"
#include "gui/Dialogs.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"

namespace gui::automation {

namespace {

constexpr ULONG_PTR kRequest = 0x42415551;  // "BAUQ"
constexpr ULONG_PTR kReply = 0x42415552;    // "BAUR"
constexpr UINT kRunAction = WM_APP + 1;
constexpr DWORD kHoldLimitMs = 10 * 60 * 1000;  // a held box a test forgot goes at last
const char kChannelClass[] = "BrimvaleAutomation";
const char kClientClass[] = "BrimvaleAutomationClient";

struct State {
  bool enabled = false;
  struct Answer {
    int id;
    bool hold;
  };
  std::deque<Answer> answers;
  std::deque<std::string> choices;
  std::vector<TBoxRecord> boxes;
  std::vector<std::string> popups;
  std::deque<std::function<void()>> actions;
  HWND channel = nullptr;
  bool acting = false;
  bool holding = false;  // a box is held open until released
  WORD buttons = 0;  // MK_* flags of the buttons held now
};

State& S() {
  static auto* state = new State;
  return *state;
}

int DefaultAnswer(UINT flags) {
  switch (flags & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDYES;
    case MB_RETRYCANCEL: return IDRETRY;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return IDOK;
  }
}

TMenuItem* FindItem(TMenuItem* root, const std::string& name) {
  for (int i = 0; i < root->Count(); ++i) {
    TMenuItem* item = root->Items(i);
    if (SameText(item->Name(), name) || SameText(StripHotkey(item->Caption()), name)) return item;
    if (TMenuItem* below = FindItem(item, name)) return below;
  }
  return nullptr;
}

// The window a control's mouse messages go to, and the point in it.
TWinControl* MouseTarget(TControl* control, TPoint& point) {
  if (auto* window = dynamic_cast<TWinControl*>(control)) return window;
  point.X += control->Left();
  point.Y += control->Top();
  return control->Parent();
}

void PostMouse(TControl* control, UINT msg, TPoint point) {
  TWinControl* window = MouseTarget(control, point);
  if (!window) throw Exception("The control has no window to receive the mouse");
  HWND handle = window->Handle();
  TPoint screen = window->ClientToScreen(point);
  // The system moves the pointer with a mouse message of its own, which may
  // come late on a loaded machine: none when it is there already.
  POINT now{};
  if (!GetCursorPos(&now) || now.x != screen.X || now.y != screen.Y) SetCursorPos(screen.X, screen.Y);
  WORD keys = S().buttons;
  if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
  if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
  PostMessageA(handle, msg, keys, PointToLParam(point));
  Pump();
}

WORD ButtonFlag(TMouseButton button) {
  return button == mbLeft ? MK_LBUTTON : button == mbRight ? MK_RBUTTON : MK_MBUTTON;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

TShiftState ParseShift(const std::string& text) {
  TShiftState shift;
  for (const std::string& part : Split(text, ',')) {
    if (SameText(part, "ssShift")) shift.Include(ssShift);
    if (SameText(part, "ssCtrl")) shift.Include(ssCtrl);
    if (SameText(part, "ssAlt")) shift.Include(ssAlt);
  }
  return shift;
}

}  // namespace

void Enable() {
  State& s = S();
  s.enabled = true;
  SetMessageBoxHook([](HWND, const std::string& text, const std::string& caption, UINT flags) {
    State& st = S();
    int answer = DefaultAnswer(flags);
    bool hold = false;
    if (!st.answers.empty()) {
      answer = st.answers.front().id;
      hold = st.answers.front().hold;
      st.answers.pop_front();
    }
    st.boxes.push_back({caption, text, flags, answer});
    if (hold) {
      st.holding = true;
      PumpUntil([&] { return !S().holding; }, kHoldLimitMs);
      st.holding = false;
    }
    return answer;
  });
  TPopupMenu::SetPopupChooser([](TPopupMenu& menu, TPoint) -> TMenuItem* {
    State& st = S();
    st.popups.push_back(menu.Name());
    if (st.choices.empty()) return nullptr;
    std::string name = st.choices.front();
    st.choices.pop_front();
    return name.empty() ? nullptr : FindItem(menu.Items(), name);
  });
}

void Disable() {
  S().enabled = false;
  SetMessageBoxHook({});
  TPopupMenu::SetPopupChooser({});
}

bool Enabled() { return S().enabled; }

TComponent* Find(const std::string& path) {
  if (!Application) return nullptr;
  std::size_t dot = path.find('.');
  std::string formName = path.substr(0, dot);
  TCustomForm* form = nullptr;
  for (TCustomForm* f : Application->Forms())
    if (SameText(f->Name(), formName)) form = f;
  if (!form)
    for (TCustomForm* f : Application->Forms())
      if (SameText(f->ClassName(), formName)) form = f;
  if (!form || dot == std::string::npos) return form;
  return form->FindComponent(path.substr(dot + 1));
}

void Pump() {
  if (!Application) return;
  // Twice: what the first round posts (a WM_CONTEXTMENU's popup, a
  // translated character) is handled too.
  Application->ProcessMessages();
  Application->ProcessMessages();
}

bool PumpUntil(const std::function<bool()>& done, DWORD limitMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > limitMs) return false;
    if (Application) Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

void MouseMove(TControl* control, TPoint point) { PostMouse(control, WM_MOUSEMOVE, point); }

void MouseDown(TControl* control, TMouseButton button, TPoint point) {
  S().buttons |= ButtonFlag(button);
  UINT msg = button == mbLeft ? WM_LBUTTONDOWN : button == mbRight ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
  PostMouse(control, msg, point);
}

void MouseUp(TControl* control, TMouseButton button, TPoint point) {
  S().buttons &= static_cast<WORD>(~ButtonFlag(button));
  UINT msg = button == mbLeft ? WM_LBUTTONUP : button == mbRight ? WM_RBUTTONUP : WM_MBUTTONUP;
  PostMouse(control, msg, point);
}

void Click(TControl* control, TMouseButton button) {
  ClickAt(control, {control->Width() / 2, control->Height() / 2}, button);
}

void ClickAt(TControl* control, TPoint point, TMouseButton button) {
  MouseMove(control, point);
  // Press and release are queued together: a system control may wait in a
  // loop of its own for the release once it sees the press.
  TPoint p = point;
  TWinControl* window = MouseTarget(control, p);
  if (!window) throw Exception("The control has no window to receive the mouse");
  UINT down = button == mbLeft ? WM_LBUTTONDOWN : button == mbRight ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
  PostMessageA(window->Handle(), down, S().buttons | ButtonFlag(button), PointToLParam(p));
  PostMessageA(window->Handle(), down + 1, S().buttons, PointToLParam(p));
  Pump();
}

void ClickRow(TControl* control, int index, TMouseButton button) {
  auto* list = dynamic_cast<TCustomListView*>(control);
  if (!list) throw Exception("no list view: " + (control ? control->Name() : std::string("nil")));
  TRect label = list->Items()->Item(index)->DisplayRect(drLabel);
  ClickAt(list, {(label.Left + label.Right) / 2, (label.Top + label.Bottom) / 2}, button);
}

void PressKey(WORD key, TShiftState shift) {
  HWND target = GetFocus();
  if (!target) target = GetActiveWindow();
  if (!target) return;
  BYTE saved[256], state[256];
  GetKeyboardState(saved);
  std::copy(saved, saved + 256, state);
  // The modifiers go down first and come up last, as on a keyboard: some
  // controls (the system's hot-key edit) follow them by their own messages.
  std::vector<WORD> modifiers;
  if (shift.Contains(ssCtrl)) modifiers.push_back(VK_CONTROL);
  if (shift.Contains(ssShift)) modifiers.push_back(VK_SHIFT);
  if (shift.Contains(ssAlt)) modifiers.push_back(VK_MENU);
  for (WORD modifier : modifiers) state[modifier] |= 0x80;
  state[key & 0xFF] |= 0x80;
  SetKeyboardState(state);
  bool altDown = false;
  auto post = [&](HWND to, WORD vk, bool up) {
    LPARAM data = 1 | (static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16) | (altDown ? (1 << 29) : 0);
    if (up) data |= (1 << 30) | (static_cast<LPARAM>(1) << 31);
    UINT msg = altDown ? (up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (up ? WM_KEYUP : WM_KEYDOWN);
    PostMessageA(to, msg, vk, data);
  };
  for (WORD modifier : modifiers) {
    if (modifier == VK_MENU) altDown = true;
    post(target, modifier, false);
  }
  post(target, key, false);
  Pump();
  state[key & 0xFF] &= 0x7F;
  SetKeyboardState(state);
  HWND now = GetFocus() ? GetFocus() : target;
  post(now, key, true);
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) {
    post(now, *it, true);
    if (*it == VK_MENU) altDown = false;
  }
  Pump();
  SetKeyboardState(saved);
}

void TypeText(const std::string& text) {
  for (char ch : text) {
    HWND target = GetFocus();
    if (!target) return;
    PostMessageA(target, WM_CHAR, static_cast<unsigned char>(ch), 1);
    Pump();
  }
}

std::string Text(TControl* control) { return control ? control->Caption() : ""; }

std::string Items(TControl* control) {
  std::string out;
  if (auto* list = dynamic_cast<TCustomListView*>(control)) {
    for (int i = 0; i < list->Items()->Count(); ++i) {
      TListItem* item = list->Items()->Item(i);
      out += (i ? "\n" : "") + item->Caption();
      for (int j = 0; j < item->SubItems()->Count(); ++j) out += "\t" + item->SubItems()->Strings(j);
    }
    return out;
  }
  if (auto* box = dynamic_cast<TCustomListBox*>(control)) {
    for (int i = 0; i < box->Items()->Count(); ++i) out += (i ? "\n" : "") + box->Items()->Strings(i);
    return out;
  }
  throw Exception("no list: " + (control ? control->Name() : std::string("nil")));
}

void Select(TControl* control, int index) {
  auto* list = dynamic_cast<TCustomListView*>(control);
  if (!list) throw Exception("no list view: " + (control ? control->Name() : std::string("nil")));
  list->SetSelected(index < 0 ? nullptr : list->Items()->Item(index));
  Pump();
}

std::string Property(TComponent* component, const std::string& name) {
  if (!component) throw Exception("No component");
  const TPropInfo* prop = component->ClassType().FindDeclaredProperty(name);
  if (!prop) throw Exception(component->ClassName() + " has no property " + name);
  TObject& object = *component;
  switch (prop->Kind) {
    case TPropKind::Integer: {
      std::int64_t v = prop->GetOrd(object);
      if (prop->Idents) {
        std::string ident = prop->Idents->NameOf(v);
        if (!ident.empty()) return ident;
      }
      return std::to_string(v);
    }
    case TPropKind::Boolean: return prop->GetOrd(object) ? "True" : "False";
    case TPropKind::Enumeration: return prop->Enum->NameOf(prop->GetOrd(object));
    case TPropKind::Set: return SetToText(*prop->Enum, static_cast<std::uint64_t>(prop->GetOrd(object)));
    case TPropKind::Color: {
      auto color = static_cast<TColor>(prop->GetOrd(object));
      std::string ident = ColorToIdent(color);
      return ident.empty() ? std::to_string(color) : ident;
    }
    case TPropKind::String: return prop->GetStr(object);
    case TPropKind::Component: {
      TObject* target = prop->GetObj(object);
      auto* c = dynamic_cast<TComponent*>(target);
      return c ? c->Name() : "nil";
    }
    default: throw Exception("The property " + name + " cannot be read as text");
  }
}

TRect ScreenBounds(TControl* control) {
  TPoint origin = control->Parent() ? control->Parent()->ClientToScreen({control->Left(), control->Top()})
                                    : TPoint{control->Left(), control->Top()};
  return Bounds(origin.X, origin.Y, control->Width(), control->Height());
}

void AnswerNextMessageBox(int answer) { S().answers.push_back({answer, false}); }
void HoldNextMessageBox(int answer) { S().answers.push_back({answer, true}); }
void ReleaseHeldMessageBox() { S().holding = false; }
const std::vector<TBoxRecord>& MessageBoxes() { return S().boxes; }
void ChooseNextMenuItem(const std::string& itemName) { S().choices.push_back(itemName); }
const std::vector<std::string>& PoppedMenus() { return S().popups; }

void ClearRecords() {
  State& s = S();
  s.boxes.clear();
  s.popups.clear();
  s.answers.clear();
  s.choices.clear();
  s.holding = false;
}

// --- the channel ---------------------------------------------------------------------

namespace {

TControl* NeedControl(const std::string& path) {
  auto* control = dynamic_cast<TControl*>(Find(path));
  if (!control) throw Exception("no control " + path);
  return control;
}

void Later(std::function<void()> action) {
  S().actions.push_back(std::move(action));
  PostMessageA(S().channel, kRunAction, 0, 0);
}

std::string Execute(const std::string& request) {
  std::vector<std::string> a = Split(request, '\t');
  const std::string& command = a[0];
  auto arg = [&](std::size_t i) -> const std::string& {
    if (i >= a.size()) throw Exception("missing argument " + std::to_string(i) + " of " + command);
    return a[i];
  };
  if (command == "ping") return "pong";
  if (command == "forms") {
    std::string names;
    for (TCustomForm* f : Application->Forms()) names += (names.empty() ? "" : "\n") + f->Name();
    return names;
  }
  if (command == "find") return Find(arg(1)) ? "1" : "0";
  if (command == "text") return Text(NeedControl(arg(1)));
  if (command == "items") return Items(NeedControl(arg(1)));
  if (command == "select") {
    TControl* c = NeedControl(arg(1));
    int index = std::stoi(arg(2));
    Later([c, index] { Select(c, index); });
    return "ok";
  }
  if (command == "prop") return Property(Find(arg(1)), arg(2));
  if (command == "bounds") {
    TRect r = ScreenBounds(NeedControl(arg(1)));
    std::ostringstream out;
    out << r.Left << ' ' << r.Top << ' ' << r.Right << ' ' << r.Bottom;
    return out.str();
  }
  if (command == "client") {
    TControl* c = NeedControl(arg(1));
    TPoint o = c->ClientOrigin();
    std::ostringstream out;
    out << o.X << ' ' << o.Y << ' ' << c->ClientWidth() << ' ' << c->ClientHeight();
    return out.str();
  }
  if (command == "focus") {
    // The form and the control that have the keyboard: "Form" or "Form.Control".
    TWinControl* control = FindControl(GetFocus());
    if (!control) return "";
    TCustomForm* form = GetParentForm(control);
    if (!form || form == control) return control->Name();
    return form->Name() + "." + control->Name();
  }
  if (command == "state") {
    TControl* c = NeedControl(arg(1));
    auto* w = dynamic_cast<TWinControl*>(c);
    std::ostringstream out;
    out << "visible=" << c->Visible() << " showing=" << c->Showing() << " enabled=" << c->Enabled()
        << " focused=" << (w && w->Focused());
    return out.str();
  }
  if (command == "click") {
    TControl* c = NeedControl(arg(1));
    TMouseButton button = a.size() > 2 && a[2] == "right" ? mbRight : mbLeft;
    if (a.size() > 3) {
      int row = std::stoi(a[3]);
      Later([c, row, button] { ClickRow(c, row, button); });
    } else {
      Later([c, button] { Click(c, button); });
    }
    return "ok";
  }
  if (command == "key") {
    WORD key = static_cast<WORD>(std::stoi(arg(1)));
    TShiftState shift = a.size() > 2 ? ParseShift(a[2]) : TShiftState{};
    Later([key, shift] { PressKey(key, shift); });
    return "ok";
  }
  if (command == "type") {
    std::string text = arg(1);
    Later([text] { TypeText(text); });
    return "ok";
  }
  if (command == "menu") {
    auto* item = dynamic_cast<TMenuItem*>(Find(arg(1)));
    if (!item) throw Exception("no menu item " + arg(1));
    Later([item] { item->Click(); });
    return "ok";
  }
  if (command == "choose") {
    ChooseNextMenuItem(a.size() > 1 ? a[1] : "");
    return "ok";
  }
  if (command == "answer") {
    if (a.size() > 2 && a[2] == "hold")
      HoldNextMessageBox(std::stoi(arg(1)));
    else
      AnswerNextMessageBox(std::stoi(arg(1)));
    return "ok";
  }
  if (command == "release") {
    if (!S().holding) throw Exception("no box is held");
    ReleaseHeldMessageBox();
    return "ok";
  }
  if (command == "openboxes") return std::to_string(OpenMessageBoxes());
  if (command == "boxes") {
    std::string out;
    for (const TBoxRecord& b : MessageBoxes())
      out += (out.empty() ? "" : "\n") + b.Caption + "\t" + b.Text + "\t" + std::to_string(b.Answer);
    return out;
  }
  if (command == "popups") {
    std::string out;
    for (const std::string& p : PoppedMenus()) out += (out.empty() ? "" : "\n") + p;
    return out;
  }
  if (command == "close") {
    auto* form = dynamic_cast<TCustomForm*>(Find(arg(1)));
    if (!form) throw Exception("no form " + arg(1));
    Later([form] { form->Close(); });
    return "ok";
  }
  if (command == "terminate") {
    Later([] { Application->Terminate(); });
    return "ok";
  }
  throw Exception("unknown command " + command);
}

LRESULT CALLBACK ChannelProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COPYDATA) {
    auto* data = reinterpret_cast<COPYDATASTRUCT*>(lParam);
    if (data->dwData != kRequest) return 0;
    std::string request(static_cast<const char*>(data->lpData), data->cbData);
    std::string reply;
    try {
      reply = Execute(request);
    } catch (const std::exception& e) {
      reply = std::string("error: ") + e.what();
    }
    COPYDATASTRUCT answer{kReply, static_cast<DWORD>(reply.size()), reply.data()};
    SendMessageA(reinterpret_cast<HWND>(wParam), WM_COPYDATA, reinterpret_cast<WPARAM>(window),
                 reinterpret_cast<LPARAM>(&answer));
    return 1;
  }
  if (msg == kRunAction) {
    // One action at a time, in order: an action that pumps messages must
    // not run the next one inside itself.
    State& s = S();
    if (s.acting || s.actions.empty()) return 0;
    std::function<void()> action = std::move(s.actions.front());
    s.actions.pop_front();
    s.acting = true;
    detail::Guarded(nullptr, action);
    s.acting = false;
    if (!s.actions.empty()) PostMessageA(window, kRunAction, 0, 0);
    return 0;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace

void OfferChannel() { detail::testChannelStarter = &StartChannelIfRequested; }

void StartChannelIfRequested() {
  const char* wanted = std::getenv("BRIMVALE_AUTOMATION");
  if (!wanted || std::string(wanted) != "1" || S().channel) return;
  Enable();
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &ChannelProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kChannelClass;
  RegisterClassExA(&wc);
  S().channel = CreateWindowExA(WS_EX_TOOLWINDOW, kChannelClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
}

// --- the client --------------------------------------------------------------------

TAutomationClient::TAutomationClient() {
  static bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &TAutomationClient::ReplyProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClientClass;
    return RegisterClassExA(&wc) != 0;
  }();
  (void)registered;
  window_ = CreateWindowExA(0, kClientClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                            nullptr);
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TAutomationClient::~TAutomationClient() {
  if (window_) DestroyWindow(window_);
}

namespace {

struct Search {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindChannel(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  char name[64] = {};
  GetClassNameA(window, name, sizeof(name));
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && std::string(name) == kChannelClass) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool TAutomationClient::Connect(DWORD processId, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    Search search{processId, nullptr};
    EnumWindows(&FindChannel, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      server_ = search.found;
      return true;
    }
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
}

std::string TAutomationClient::Send(const std::string& command) {
  if (!server_) return "error: not connected";
  replied_ = false;
  reply_.clear();
  COPYDATASTRUCT data{kRequest, static_cast<DWORD>(command.size()), const_cast<char*>(command.data())};
  DWORD_PTR result = 0;
  // A program on a loaded machine may be busy for a while (its engine
  // starting); a hung one is the test's to find.
  SendMessageTimeoutA(server_, WM_COPYDATA, reinterpret_cast<WPARAM>(window_), reinterpret_cast<LPARAM>(&data),
                      SMTO_NORMAL, 120000, &result);
  return replied_ ? reply_ : "error: no answer";
}

LRESULT CALLBACK TAutomationClient::ReplyProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COPYDATA) {
    auto* self = reinterpret_cast<TAutomationClient*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    auto* data = reinterpret_cast<COPYDATASTRUCT*>(lParam);
    if (self && data->dwData == kReply) {
      self->reply_.assign(static_cast<const char*>(data->lpData), data->cbData);
      self->replied_ = true;
      return 1;
    }
    return 0;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}

}  // namespace gui::automation
