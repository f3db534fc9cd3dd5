// TControl, TGraphicControl, TCustomControl, TControlCanvas and the small
// helpers of the control layer. TWinControl lives in WinControl.cpp.
#include "gui/Controls.h"

#include <algorithm>

#include "ControlsInternal.h"
#include "gui/ActnList.h"
#include "gui/Forms.h"
#include "gui/Menus.h"

namespace gui {

namespace {

const TEnumInfo kAlignInfo{"TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"}};
const TEnumInfo kAnchorInfo{"TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"}};

TControl* captureControl = nullptr;

}  // namespace

const TEnumInfo& AlignmentInfo() {
  static const TEnumInfo info{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};
  return info;
}

const TEnumInfo& BorderStyleInfo() {
  static const TEnumInfo info{"TBorderStyle", {"bsNone", "bsSingle"}};
  return info;
}

const TIdentMap& CursorIdents() {
  static const TIdentMap map{"TCursor",
                             {{"crDefault", crDefault},
                              {"crNone", crNone},
                              {"crArrow", crArrow},
                              {"crCross", crCross},
                              {"crIBeam", crIBeam},
                              {"crSizeNESW", crSizeNESW},
                              {"crSizeNS", crSizeNS},
                              {"crSizeNWSE", crSizeNWSE},
                              {"crSizeWE", crSizeWE},
                              {"crUpArrow", crUpArrow},
                              {"crHourGlass", crHourGlass},
                              {"crNo", crNo},
                              {"crAppStart", crAppStart},
                              {"crHelp", crHelp},
                              {"crHandPoint", crHandPoint},
                              {"crSizeAll", crSizeAll}}};
  return map;
}

// --- helpers ----------------------------------------------------------------------

TShiftState KeysToShiftState(WORD keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s.Include(ssShift);
  if (keys & MK_CONTROL) s.Include(ssCtrl);
  if (keys & MK_LBUTTON) s.Include(ssLeft);
  if (keys & MK_RBUTTON) s.Include(ssRight);
  if (keys & MK_MBUTTON) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

namespace {

char UpperChar(char ch) {
  char buffer[2] = {ch, 0};
  CharUpperBuffA(buffer, 1);
  return buffer[0];
}

}  // namespace

void PaintParentBackground(HDC dc, const TControl* control) {
  TWinControl* parent = control ? control->Parent() : nullptr;
  if (!parent || !dc) return;
  kit::SavedDC saved(dc);
  // The parent draws in its own client coordinates; shift them so the
  // control's corner lands on the context's origin.
  OffsetViewportOrgEx(dc, -control->Left(), -control->Top(), nullptr);
  TRect client = parent->ClientRect();
  IntersectClipRect(dc, 0, 0, client.Width(), client.Height());
  parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

void PaintParentBackground(TCanvas& canvas, const TControl* control) {
  if (control && control->Parent()) PaintParentBackground(canvas.Handle(), control);
}

bool IsAccel(WPARAM ch, const std::string& caption) {
  for (std::size_t i = 0; (i = caption.find('&', i)) != std::string::npos;) {
    if (i + 1 >= caption.size()) return false;
    if (caption[i + 1] == '&') {
      i += 2;
      continue;
    }
    return UpperChar(caption[i + 1]) == UpperChar(static_cast<char>(ch));
  }
  return false;
}

std::string StripHotkey(const std::string& caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    else if (caption[i] == '&') continue;
    out += caption[i];
  }
  return out;
}

TCustomForm* GetParentForm(TControl* control) {
  if (!control) return nullptr;
  while (control->Parent()) control = control->Parent();
  return dynamic_cast<TCustomForm*>(control);
}

TControl* GetCaptureControl() { return captureControl; }

void SetCaptureControl(TControl* control) {
  if (!control) {
    captureControl = nullptr;
    if (GetCapture()) ReleaseCapture();
    return;
  }
  auto* window = dynamic_cast<TWinControl*>(control);
  if (!window) window = control->Parent();
  if (!window || !window->HandleAllocated()) {
    captureControl = nullptr;
    return;
  }
  captureControl = nullptr;  // the old owner's WM_CAPTURECHANGED must not clear the new one
  SetCapture(window->Handle());
  captureControl = control;
}

namespace detail {

void ForgetCaptureOf(TControl* control) {
  if (captureControl == control) captureControl = nullptr;
}

}  // namespace detail

TControl* FindControlAtPos(TPoint screenPos) {
  HWND window = WindowFromPoint(POINT{screenPos.X, screenPos.Y});
  while (window && !FindControl(window)) window = GetParent(window);
  TWinControl* control = window ? FindControl(window) : nullptr;
  if (!control) return nullptr;
  if (TControl* child = control->ControlAtPos(control->ScreenToClient(screenPos), true)) return child;
  return control;
}

// --- TControl ---------------------------------------------------------------------

GUI_DEFINE_CLASS(TControl) {
  c.Integer("Left", &TControl::Left, &TControl::SetLeft);
  c.Integer("Top", &TControl::Top, &TControl::SetTop);
  c.Integer("Width", &TControl::Width, &TControl::SetWidth);
  c.Integer("Height", &TControl::Height, &TControl::SetHeight);
  c.Integer("Cursor", &TControl::Cursor, &TControl::SetCursor, crDefault, &CursorIdents());
  c.Protected();
  c.Enumeration("Align", kAlignInfo, &TControl::Align, &TControl::SetAlign, alNone);
  c.SetOf("Anchors", kAnchorInfo, &TControl::Anchors, &TControl::SetAnchors, 3);
  c.String("Caption", &TControl::Caption, &TControl::SetCaption);
  c.String("Text", &TControl::Text, &TControl::SetText);
  c.Color("Color", &TControl::Color, &TControl::SetColor);
  c.Boolean("ParentColor", &TControl::ParentColor, &TControl::SetParentColor);
  c.Object("Font", &TControl::Font, &TControl::SetFont);
  c.Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true);
  c.Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled, true);
  c.Boolean("Visible", &TControl::Visible, &TControl::SetVisible, true);
  c.String("Hint", &TControl::Hint, &TControl::SetHint);
  c.Boolean("ShowHint", &TControl::ShowHint, &TControl::SetShowHint);
  c.Boolean("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint, true);
  c.Component("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
  c.Component("Action", &TControl::Action, &TControl::SetAction);
  c.Integer("ClientWidth", &TControl::ClientWidth, &TControl::SetClientWidth);
  c.Integer("ClientHeight", &TControl::ClientHeight, &TControl::SetClientHeight);
  c.Event("OnClick", &TControl::OnClick);
  c.Event("OnDblClick", &TControl::OnDblClick);
  c.Event("OnMouseDown", &TControl::OnMouseDown);
  c.Event("OnMouseMove", &TControl::OnMouseMove);
  c.Event("OnMouseUp", &TControl::OnMouseUp);
  c.Event("OnMouseEnter", &TControl::OnMouseEnter);
  c.Event("OnMouseLeave", &TControl::OnMouseLeave);
  c.Event("OnMouseWheel", &TControl::OnMouseWheel);
  c.Event("OnMouseWheelDown", &TControl::OnMouseWheelDown);
  c.Event("OnMouseWheelUp", &TControl::OnMouseWheelUp);
  c.Event("OnContextPopup", &TControl::OnContextPopup);
  c.Event("OnResize", &TControl::OnResize);
}

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
  controlStyle_ = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  font_->OnChange = [this](TObject* sender) { FontChanged(sender); };
}

TControl::~TControl() {
  actionLink_.reset();
  if (Application) Application->ControlDestroyed(this);
  detail::ForgetCaptureOf(this);
  if (parent_) parent_->RemoveControl(this);
  font_->OnChange = nullptr;
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EComponentError("A control cannot be its own parent");
  if (parent_) parent_->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* window = dynamic_cast<TWinControl*>(parent)) SetParent(window);
}

void TControl::SetName(const std::string& name) {
  bool follow = controlStyle_.Contains(csSetCaption) && !ComponentState().Contains(csLoading) && GetText() == Name();
  inherited::SetName(name);
  if (follow) SetText(name);
}

void TControl::SetBoundsFields(int left, int top, int width, int height) {
  left_ = left;
  top_ = top;
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  bool resized = width != width_ || height != height_;
  if (parent_ && visible_) detail::InvalidateIn(parent_, BoundsRect());
  SetBoundsFields(left, top, width, height);
  if (parent_ && visible_) detail::InvalidateIn(parent_, BoundsRect());
  UpdateAnchorRules();
  RequestAlign();
  if (resized) Resize();
}

void TControl::SetBoundsFromLayout(int left, int top, int width, int height) {
  bool was = controlState_.Contains(csAligning);
  controlState_.Include(csAligning);
  auto restore = kit::OnExit([&] { SetControlState(csAligning, was); });
  SetBounds(left, top, width, height);
}

TRect TControl::ClientRect() { return Rect(0, 0, width_, height_); }

void TControl::SetClientSize(int width, int height) { SetBounds(left_, top_, width, height); }

TPoint TControl::ClientOrigin() {
  if (!parent_) return {left_, top_};
  TPoint o = parent_->ClientOrigin();
  return {o.X + left_, o.Y + top_};
}

void TControl::SetAlign(TAlign value) {
  if (value == align_) return;
  align_ = value;
  if (parent_) parent_->Realign();
}

void TControl::SetAnchors(TAnchors value) {
  anchors_ = value;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (!parent_ || controlState_.Contains(csAligning)) return;
  TRect client = parent_->ClientRect();
  anchorRight_ = client.Width() - (left_ + width_);
  anchorBottom_ = client.Height() - (top_ + height_);
}

void TControl::RequestAlign() {
  if (parent_ && align_ != alNone && !controlState_.Contains(csAligning)) parent_->Realign();
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  Perform(CM_VISIBLECHANGED, value ? 1 : 0);
  if (parent_ && align_ != alNone) parent_->Realign();
}

void TControl::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Perform(CM_ENABLEDCHANGED);
}

std::string TControl::GetText() { return text_; }

void TControl::SetText(const std::string& value) {
  if (GetText() == value) return;
  SetTextBuf(value);
  Perform(CM_TEXTCHANGED);
}

// A colour set is the control's own, even one it already shows.
void TControl::SetColor(TColor value) {
  parentColor_ = false;
  if (value == color_) return;
  color_ = value;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
  if (value == parentColor_) return;
  parentColor_ = value;
  if (value && parent_) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::FontChanged(TObject*) {
  if (!takingParentFont_) parentFont_ = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool value) {
  if (value == parentFont_) return;
  parentFont_ = value;
  if (value && parent_) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetShowHint(bool value) {
  parentShowHint_ = false;
  if (value == showHint_) return;
  showHint_ = value;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool value) {
  if (value == parentShowHint_) return;
  parentShowHint_ = value;
  if (value && parent_) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* value) {
  if (popupMenu_ && popupMenu_ != value) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = value;
  if (value) value->FreeNotification(this);
}

void TControl::SetCursor(TCursor value) {
  if (value == cursor_) return;
  cursor_ = value;
  Perform(CM_CURSORCHANGED);
}

TBasicAction* TControl::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

std::unique_ptr<TControlActionLink> TControl::CreateActionLink() {
  return std::make_unique<TControlActionLink>(this);
}

void TControl::SetAction(TBasicAction* value) {
  TBasicAction* old = Action();
  if (value == old) return;
  if (old) old->RemoveFreeNotification(this);
  if (!value) {
    actionLink_.reset();
    return;
  }
  if (!actionLink_) actionLink_ = CreateActionLink();
  actionLink_->SetAction(value);
  value->FreeNotification(this);
  ActionChange(value, ComponentState().Contains(csLoading));
}

void TControl::ActionChange(TBasicAction* sender, bool checkDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  if (!checkDefaults || GetText().empty()) SetCaption(action->Caption());
  if (!checkDefaults || Enabled()) SetEnabled(action->Enabled());
  if (!checkDefaults || hint_.empty()) SetHint(action->Hint());
  if (!checkDefaults || Visible()) SetVisible(action->Visible());
  // A control with a check takes the action's through its link; while a
  // form is read, a check the form set stays.
  if (actionLink_ && (!checkDefaults || action->Checked())) actionLink_->SetChecked(action->Checked());
}

void TControl::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == popupMenu_) popupMenu_ = nullptr;
  if (actionLink_ && component == actionLink_->Action()) actionLink_.reset();
}

void TControl::Loaded() {
  inherited::Loaded();
  if (parent_) {
    if (parentColor_) Perform(CM_PARENTCOLORCHANGED);
    if (parentFont_) Perform(CM_PARENTFONTCHANGED);
    if (parentShowHint_) Perform(CM_PARENTSHOWHINTCHANGED);
  }
  UpdateAnchorRules();
  RequestAlign();
}

bool TControl::MouseCapture() const { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool value) {
  if (value == MouseCapture()) return;
  SetCaptureControl(value ? this : nullptr);
}

void TControl::SetControlState(TControlStateFlag flag, bool on) {
  if (on)
    controlState_.Include(flag);
  else
    controlState_.Exclude(flag);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  MainWndProc(m);
  return m.Result;
}

void TControl::Invalidate() {
  if (parent_ && visible_) detail::InvalidateIn(parent_, BoundsRect(), !controlStyle_.Contains(csOpaque));
}

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Click() {
  if (OnClick)
    OnClick(this);
  else if (actionLink_)
    actionLink_->Execute();
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  if (!handled) handled = WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
  return handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
  return handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
  return handled;
}

bool TControl::DoContextPopup(TPoint MousePos) {
  bool handled = false;
  if (OnContextPopup) OnContextPopup(this, MousePos, handled);
  if (handled) return true;
  TPopupMenu* menu = GetPopupMenu();
  if (!menu || !menu->AutoPopup()) return false;
  TPoint at = MousePos.X == -1 && MousePos.Y == -1 ? TPoint{width_ / 2, height_ / 2} : MousePos;
  at = ClientToScreen(at);
  menu->SetPopupComponent(this);
  menu->Popup(at.X, at.Y);
  return true;
}

// --- the dispatcher -----------------------------------------------------------------

void TControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEMOVE: WMMouseMove(m); return;
    case WM_LBUTTONDOWN: WMLButtonDown(m); return;
    case WM_LBUTTONDBLCLK: WMLButtonDown(m); return;
    case WM_LBUTTONUP: WMLButtonUp(m); return;
    case WM_RBUTTONDOWN: WMButtonDown(m, mbRight); return;
    case WM_RBUTTONDBLCLK: WMButtonDown(m, mbRight); return;
    case WM_RBUTTONUP: WMButtonUp(m, mbRight); return;
    case WM_MBUTTONDOWN: WMButtonDown(m, mbMiddle); return;
    case WM_MBUTTONDBLCLK: WMButtonDown(m, mbMiddle); return;
    case WM_MBUTTONUP: WMButtonUp(m, mbMiddle); return;
    case WM_MOUSEWHEEL: WMMouseWheel(m); return;
    case CM_MOUSEENTER: CMMouseEnter(m); return;
    case CM_MOUSELEAVE: CMMouseLeave(m); return;
    case CM_VISIBLECHANGED: CMVisibleChanged(m); return;
    case CM_ENABLEDCHANGED: Invalidate(); return;
    case CM_COLORCHANGED: Invalidate(); return;
    case CM_FONTCHANGED: Invalidate(); return;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(m); return;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(m); return;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(m); return;
    case CM_HITTEST: m.Result = HTCLIENT; return;
    case detail::CM_SETPAINTING: SetControlState(csPaintingSelf, m.WParam != 0); return;
  }
  DefaultHandler(m);
}

// --- mouse messages ---------------------------------------------------------------------

// The default handling and the hint's look come first; then the point and
// keys the message carries.
TControl::TMouseMessage TControl::BeginMouseMessage(TMessage& m) {
  DefaultHandler(m);
  TMouseMessage info{PointFromLParam(m.LParam), KeysToShiftState(static_cast<WORD>(m.WParam))};
  if (Application) Application->HintMouseMessage(this, m);
  return info;
}

void TControl::WMMouseMove(TMessage& m) {
  auto [p, shift] = BeginMouseMessage(m);
  MouseMove(shift, p.X, p.Y);
}

void TControl::WMLButtonDown(TMessage& m) {
  TMouseMessage info = BeginMouseMessage(m);
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
  if (controlStyle_.Contains(csClickEvents)) controlState_.Include(csClicked);
  controlState_.Include(csLButtonDown);
  ButtonDown(m, mbLeft, info);
}

void TControl::WMLButtonUp(TMessage& m) {
  auto [p, shift] = BeginMouseMessage(m);
  controlState_.Exclude(csLButtonDown);
  if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(false);
  if (controlState_.Contains(csClicked)) {
    controlState_.Exclude(csClicked);
    if (ClientRect().Contains(p)) Click();
  }
  MouseUp(mbLeft, shift, p.X, p.Y);
}

void TControl::WMButtonDown(TMessage& m, TMouseButton button) { ButtonDown(m, button, BeginMouseMessage(m)); }

void TControl::WMButtonUp(TMessage& m, TMouseButton button) {
  auto [p, shift] = BeginMouseMessage(m);
  MouseUp(button, shift, p.X, p.Y);
}

// A press, or a double click where the control takes them.
void TControl::ButtonDown(const TMessage& m, TMouseButton button, TMouseMessage info) {
  bool dbl = (m.Msg == WM_LBUTTONDBLCLK || m.Msg == WM_RBUTTONDBLCLK || m.Msg == WM_MBUTTONDBLCLK) &&
             controlStyle_.Contains(csDoubleClicks);
  if (dbl) {
    DblClick();
    info.Shift.Include(ssDouble);
  }
  MouseDown(button, info.Shift, info.Pos.X, info.Pos.Y);
}

// Screen coordinates; the default procedure hands an unhandled wheel to the
// parent window.
void TControl::WMMouseWheel(TMessage& m) {
  TShiftState keys = KeysToShiftState(LOWORD(m.WParam));
  int delta = static_cast<short>(HIWORD(m.WParam));
  if (DoMouseWheel(keys, delta, PointFromLParam(m.LParam)))
    m.Result = 1;
  else
    DefaultHandler(m);
}

void TControl::CMMouseEnter(TMessage&) {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage&) {
  if (OnMouseLeave) OnMouseLeave(this);
}

// --- state from the parent ------------------------------------------------------------

void TControl::CMVisibleChanged(TMessage&) {
  if (parent_) detail::InvalidateIn(parent_, BoundsRect());
  if (!visible_ && Application) Application->ControlDestroyed(this);
}

void TControl::CMParentColorChanged(TMessage&) {
  if (!parentColor_ || !parent_) return;
  SetColor(parent_->Color());
  parentColor_ = true;
}

void TControl::CMParentFontChanged(TMessage&) {
  if (!parentFont_ || !parent_) return;
  takingParentFont_ = true;
  auto restore = kit::OnExit([this] { takingParentFont_ = false; });
  font_->Assign(parent_->Font());
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (!parentShowHint_ || !parent_) return;
  SetShowHint(parent_->ShowHint());
  parentShowHint_ = true;
}

// --- TControlCanvas -----------------------------------------------------------------

GUI_DEFINE_CLASS(TControlCanvas) {}

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* control) {
  if (control == control_) return;
  FreeHandle();
  control_ = control;
}

void TControlCanvas::FreeHandle() {
  if (!ownDc_) return;
  SetHandle(nullptr);
  ownDc_.reset();
}

void TControlCanvas::CreateHandle() {
  if (!control_) return;
  auto* window = dynamic_cast<TWinControl*>(control_);
  bool windowless = !window;
  if (windowless) window = control_->Parent();
  if (!window) return;
  ownDc_.emplace(window->Handle(), DWORD{DCX_CACHE | DCX_CLIPSIBLINGS});
  HDC dc = ownDc_->Get();
  if (!dc) {
    ownDc_.reset();
    return;
  }
  if (windowless) {
    SetViewportOrgEx(dc, control_->Left(), control_->Top(), nullptr);
    ::IntersectClipRect(dc, 0, 0, control_->Width(), control_->Height());
  }
  SetHandle(dc);
}

namespace detail {

// Paints `paint` on canvas bound to dc, with the control's font and colour
// as the starting tools and csPaintingSelf set (so a parent asked to paint
// its background into this context leaves the control out).
void PaintOnCanvas(TControl& control, TControlCanvas& canvas, HDC dc, const std::function<void()>& paint) {
  canvas.FreeHandle();
  canvas.SetHandle(dc);
  control.Perform(detail::CM_SETPAINTING, 1);
  auto done = kit::OnExit([&] {
    control.Perform(detail::CM_SETPAINTING, 0);
    canvas.SetHandle(nullptr);
  });
  paint();
}

std::unique_ptr<TControlCanvas> MakeCanvas(TControl& control) {
  auto canvas = std::make_unique<TControlCanvas>();
  canvas->SetControl(&control);
  canvas->Font().Assign(control.Font());
  canvas->Brush().SetColor(control.Color());
  return canvas;
}

void UpdateCanvasTools(TControl& control, TControlCanvas* canvas, UINT msg) {
  if (!canvas) return;
  if (msg == CM_FONTCHANGED) canvas->Font().Assign(control.Font());
  if (msg == CM_COLORCHANGED) canvas->Brush().SetColor(control.Color());
}

}  // namespace detail

// --- TGraphicControl ----------------------------------------------------------------

GUI_DEFINE_CLASS(TGraphicControl) {}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

TGraphicControl::~TGraphicControl() = default;

TCanvas* TGraphicControl::Canvas() {
  if (!canvas_) canvas_ = detail::MakeCanvas(*this);
  return canvas_.get();
}

void TGraphicControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT: WMPaint(m); return;
    case CM_FONTCHANGED: detail::UpdateCanvasTools(*this, canvas_.get(), m.Msg); break;
    case CM_COLORCHANGED: detail::UpdateCanvasTools(*this, canvas_.get(), m.Msg); break;
  }
  inherited::WndProc(m);
}

// Painted by the parent into its context (WParam); never on its own.
void TGraphicControl::WMPaint(TMessage& m) {
  if (!m.WParam) return;
  Canvas();
  detail::PaintOnCanvas(*this, *canvas_, reinterpret_cast<HDC>(m.WParam), [this] { Paint(); });
}

// --- TCustomControl -----------------------------------------------------------------

GUI_DEFINE_CLASS(TCustomControl) {}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

TCustomControl::~TCustomControl() {
  if (canvas_) canvas_->FreeHandle();
}

TCanvas* TCustomControl::Canvas() {
  if (!canvas_) canvas_ = detail::MakeCanvas(*this);
  return canvas_.get();
}

void TCustomControl::PaintWindow(HDC dc) {
  Canvas();
  detail::PaintOnCanvas(*this, *canvas_, dc, [this] { Paint(); });
}

void TCustomControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_FONTCHANGED: detail::UpdateCanvasTools(*this, canvas_.get(), m.Msg); break;
    case CM_COLORCHANGED: detail::UpdateCanvasTools(*this, canvas_.get(), m.Msg); break;
    case WM_NCDESTROY: if (canvas_) canvas_->FreeHandle(); break;
  }
  inherited::WndProc(m);
}

}  // namespace gui
