#include "CkFramed.h"

#include "gui/ComCtrls.h"
#include "gui/Forms.h"
#include "gui/StdCtrls.h"
#include "gui/Themes.h"
#include "kit/Own.h"

namespace ck {

// --- TCkItemHint -----------------------------------------------------------------------

THintWindow* TCkItemHint::Make() {
  if (!window_) {
    window_ = new THintWindow(&owner_);
    if (Application) window_->SetColor(Application->HintColor());
  }
  return window_;
}

TRect TCkItemHint::Measure(const std::string& text) {
  int screenWidth = Screen ? Screen->Width() : GetSystemMetrics(SM_CXSCREEN);
  return Make()->CalcHintRect(screenWidth, text);
}

void TCkItemHint::ShowAt(TPoint at, const TRect& size, const std::string& text) {
  THintWindow* window = Make();
  if (window->IsHintShowing() && at.X == at_.X && at.Y == at_.Y) return;
  at_ = at;
  window->ActivateHint(Bounds(at.X, at.Y, size.Width(), size.Height()), text);
}

void TCkItemHint::Hide() {
  if (window_) window_->ReleaseHandle();
}

void TCkItemHint::SetFont(TFont* font) { Make()->Font()->Assign(font); }

void TCkItemHint::Removed(TComponent* component) {
  if (component == window_) window_ = nullptr;
}

// --- TCkFramedControl ------------------------------------------------------------------

template <class Base>
TCkFramedControl<Base>::TCkFramedControl(TComponent* owner) : Base(owner) {}

template <class Base>
TCkFramedControl<Base>::~TCkFramedControl() = default;

template <class Base>
bool TCkFramedControl<Base>::ThemedFraming() const {
  return framingPreference_ == fpXPThemes && ThemeServices().ThemesEnabled();
}

template <class Base>
bool TCkFramedControl<Base>::FrameHot() {
  return frameHotTrack_ && (mouseOver_ || HasFocusLook());
}

template <class Base>
TColor TCkFramedControl<Base>::StateColor() {
  if (!this->Enabled()) return disabledColor_;
  if (this->Focused()) return focusColor_;
  return normalColor_;
}

template <class Base>
void TCkFramedControl<Base>::UpdateColors() {
  if (this->ComponentState().Contains(csLoading)) return;
  updatingColor_ = true;
  auto done = kit::OnExit([this] { updatingColor_ = false; });
  this->SetColor(StateColor());
}

template <class Base>
void TCkFramedControl<Base>::UpdateState(bool value) {
  mouseOver_ = value;
  StateChanged();
}

template <class Base>
void TCkFramedControl<Base>::StateChanged() {
  if (frameHotTrack_) RedrawFrame();
  UpdateColors();
}

template <class Base>
void TCkFramedControl<Base>::ColorValueChanged() {
  updatingColor_ = true;
  auto done = kit::OnExit([this] { updatingColor_ = false; });
  this->Perform(CM_COLORCHANGED);
}

template <class Base>
void TCkFramedControl<Base>::ColorChangedOutside() {
  if (focusColor_ == normalColor_) focusColor_ = this->Color();
  normalColor_ = this->Color();
  if (frameVisible_) RedrawFrame();
}

template <class Base>
void TCkFramedControl<Base>::RedrawFrame() {
  if (this->HandleAllocated()) InvalidateNonClient(this->Handle(), Rect(0, 0, this->Width(), this->Height()));
}

template <class Base>
void TCkFramedControl<Base>::PaintFrame() {
  if (!frameVisible_ || ThemedFraming() || !this->HandleAllocated()) return;
  kit::WindowDC dc(this->Handle(), kit::WindowDC::Whole);
  if (!dc) return;
  frameCanvas_.SetHandle(dc.Get());
  auto done = kit::OnExit([this] { frameCanvas_.SetHandle(nullptr); });
  bool hot = FrameHot();
  DrawControlFrame(frameCanvas_, this->Width(), this->Height(), false, frameSides_,
                   hot ? frameHotColor_ : frameColor_, this->Color(), hot ? frameHotStyle_ : frameStyle_);
}

template <class Base>
void TCkFramedControl<Base>::SetFocusColor(TColor value) {
  focusColor_ = value;
  if (this->Focused()) UpdateColors();
}

template <class Base>
void TCkFramedControl<Base>::SetDisabledColor(TColor value) {
  disabledColor_ = value;
  if (!this->Enabled()) UpdateColors();
}

template <class Base>
void TCkFramedControl<Base>::SetFrameColor(TColor value) { ChangeFrame(frameColor_, value); }

template <class Base>
void TCkFramedControl<Base>::SetFrameHotColor(TColor value) { ChangeFrame(frameHotColor_, value); }

template <class Base>
void TCkFramedControl<Base>::SetFrameHotStyle(TFrameStyle value) { ChangeFrame(frameHotStyle_, value); }

template <class Base>
void TCkFramedControl<Base>::SetFrameSides(TSides value) { ChangeFrame(frameSides_, value); }

template <class Base>
void TCkFramedControl<Base>::SetFrameStyle(TFrameStyle value) { ChangeFrame(frameStyle_, value); }

template <class Base>
void TCkFramedControl<Base>::SetFrameHotTrack(bool value) {
  if (value == frameHotTrack_) return;
  frameHotTrack_ = value;
  if (value) {
    SetFrameVisible(true);
    if (!this->ComponentState().Contains(csLoading)) frameSides_ = kAllSides;
  }
  RedrawFrame();
  this->Invalidate();
}

template <class Base>
void TCkFramedControl<Base>::SetFrameVisible(bool value) {
  if (value == frameVisible_) return;
  frameVisible_ = value;
  if (value) ctl3D_ = true;
  if (RecreateOnFrameVisible()) this->RecreateWnd();
}

template <class Base>
void TCkFramedControl<Base>::SetFramingPreference(TFramingPreference value) {
  if (value == framingPreference_) return;
  framingPreference_ = value;
  if (value == fpCustomFraming) RedrawFrame();
}

template <class Base>
void TCkFramedControl<Base>::SetCtl3D(bool value) {
  if (value == ctl3D_) return;
  ctl3D_ = value;
  this->RecreateWnd();
}

template <class Base>
void TCkFramedControl<Base>::SetFrameController(TCkFrameController* value) {
  writingController_ = true;
  auto done = kit::OnExit([this] { writingController_ = false; });
  frameController_.Set(value);
}

template <class Base>
void TCkFramedControl<Base>::Notification(TComponent* component, TOperation operation) {
  Base::Notification(component, operation);
  if (operation == opRemove) frameController_.Removed(component);
}

template <class Base>
void TCkFramedControl<Base>::CreateParams(TCreateParams& p) {
  Base::CreateParams(p);
  if (!ctl3D_ && (p.ExStyle & WS_EX_CLIENTEDGE)) {
    p.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    p.Style |= WS_BORDER;
  }
}

template <class Base>
void TCkFramedControl<Base>::Loaded() {
  Base::Loaded();
  UpdateColors();
  UpdateState(mouseOver_);
}

template <class Base>
void TCkFramedControl<Base>::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_ENTER:
      FocusStateChanged(true);
      Base::WndProc(m);
      return;
    case CM_EXIT:
      Base::WndProc(m);
      FocusStateChanged(false);
      return;
    case WM_MOUSEMOVE:
      Base::WndProc(m);
      PointerOver();
      return;
    case CM_MOUSEENTER:
      Base::WndProc(m);
      if (!this->ComponentState().Contains(csDesigning)) UpdateState(true);
      PointerOver();
      return;
    case CM_MOUSELEAVE:
      Base::WndProc(m);
      if (!this->ComponentState().Contains(csDesigning)) UpdateState(false);
      PointerGone();
      return;
    case CM_ENABLEDCHANGED:
      Base::WndProc(m);
      UpdateColors();
      return;
    case CM_COLORCHANGED: {
      bool outside = !updatingColor_;
      Base::WndProc(m);
      if (outside) ColorChangedOutside();
      return;
    }
    case WM_NCPAINT:
      Base::WndProc(m);
      PaintFrame();
      m.Result = 0;
      return;
    case WM_SIZE:
      Base::WndProc(m);
      if (frameVisible_ && !ThemedFraming()) RedrawFrame();
      return;
  }
  Base::WndProc(m);
}

template class TCkFramedControl<TCustomListBox>;
template class TCkFramedControl<TCustomMaskEdit>;
template class TCkFramedControl<TCustomListView>;

}  // namespace ck
