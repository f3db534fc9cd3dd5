#include "CkRadChk.h"

#include <vssym32.h>

#include <algorithm>

#include "CkGrafx.h"
#include "CkTabOnEnter.h"
#include "gui/Themes.h"
#include "kit/Own.h"

namespace ck {

const TEnumInfo LeftRightInfo{"TLeftRight", {"taLeftJustify", "taRightJustify"}};

namespace {

// A 32-bit work bitmap of the given size.
std::unique_ptr<TBitmap> WorkBitmap(int width, int height) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(width, height);
  return b;
}

std::string Trim(const std::string& s) {
  std::size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  std::size_t last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

}  // namespace

// --- action link ------------------------------------------------------------------

class TCkCustomGlyphButton::CheckLink : public TWinControlActionLink {
 public:
  using TWinControlActionLink::TWinControlActionLink;
  void SetChecked(bool value) override {
    if (!IsCheckedLinked()) return;
    auto* button = static_cast<TCkCustomGlyphButton*>(Client());
    button->clicksSuppressed_ = true;
    auto done = kit::OnExit([button] { button->clicksSuppressed_ = false; });
    button->SetChecked(value);
  }
};

std::unique_ptr<TControlActionLink> TCkCustomGlyphButton::CreateActionLink() {
  return std::make_unique<CheckLink>(this);
}

// --- glyph button -----------------------------------------------------------------

GUI_DEFINE_CLASS(TCkCustomGlyphButton) {
  c.Publish("Action");
  for (const char* name : {"Align", "Anchors", "Caption", "Enabled", "Font", "Hint", "ParentFont", "ParentShowHint",
                           "PopupMenu", "ShowHint", "TabOrder", "Visible"})
    c.Publish(name);
  c.Publish("Color", clWindow);
  c.Publish("ParentColor", true);
  c.Enumeration("Alignment", LeftRightInfo, &TCkCustomGlyphButton::Alignment, &TCkCustomGlyphButton::SetAlignment,
                taRightJustify);
  c.Publish("AlignmentVertical", avTop);
  for (const char* name : {"HighlightColor", "HotTrack", "HotTrackColor", "HotTrackColorType", "LightTextStyle",
                           "TextHighlightColor", "TextShadowColor", "TextShadowDepth", "TextStyle", "Transparent"})
    c.Publish(name);
  c.Boolean("Checked", &TCkCustomGlyphButton::Checked, &TCkCustomGlyphButton::SetChecked, false);
  c.Object("CustomGlyphs", &TCkCustomGlyphButton::CustomGlyphs, &TCkCustomGlyphButton::SetCustomGlyphs);
  c.Boolean("UseCustomGlyphs", &TCkCustomGlyphButton::UseCustomGlyphs, &TCkCustomGlyphButton::SetUseCustomGlyphs,
            false);
  c.Color("TransparentColor", &TCkCustomGlyphButton::TransparentColor, &TCkCustomGlyphButton::SetTransparentColor,
          clOlive);
  c.Color("WinMaskColor", &TCkCustomGlyphButton::WinMaskColor, &TCkCustomGlyphButton::SetWinMaskColor, clLime);
  c.Color("FillColor", &TCkCustomGlyphButton::FillColor, &TCkCustomGlyphButton::SetFillColor, clWindow);
  c.Color("FocusColor", &TCkCustomGlyphButton::FocusColor, &TCkCustomGlyphButton::SetFocusColor, clWindow);
  c.Color("DisabledColor", &TCkCustomGlyphButton::DisabledColor, &TCkCustomGlyphButton::SetDisabledColor,
          clBtnFace);
  c.Color("FrameColor", &TCkCustomGlyphButton::FrameColor, &TCkCustomGlyphButton::SetFrameColor, clBtnShadow);
  c.Boolean("ReadOnly", &TCkCustomGlyphButton::ReadOnly, &TCkCustomGlyphButton::SetReadOnly, false);
  c.Color("ReadOnlyColor", &TCkCustomGlyphButton::ReadOnlyColor, &TCkCustomGlyphButton::SetReadOnlyColor, clInfoBk);
  c.Boolean("ReadOnlyColorOnFocus", &TCkCustomGlyphButton::ReadOnlyColorOnFocus,
            &TCkCustomGlyphButton::SetReadOnlyColorOnFocus, false);
  c.Enumeration("HotTrackStyle", ButtonHotTrackStyleInfo, &TCkCustomGlyphButton::HotTrackStyle,
                &TCkCustomGlyphButton::SetHotTrackStyle, htsInterior);
  c.Component("FrameController", &TCkCustomGlyphButton::FrameController, &TCkCustomGlyphButton::SetFrameController);
  c.SetOf("FrameControllerNotifications", FrameControllerConnectionInfo,
          &TCkCustomGlyphButton::FrameControllerNotifications,
          &TCkCustomGlyphButton::SetFrameControllerNotifications, kAllFrameControllerNotifications.Bits());
  c.Boolean("TabOnEnter", &TCkCustomGlyphButton::TabOnEnter, &TCkCustomGlyphButton::SetTabOnEnter, false);
  for (const char* name : {"OnClick", "OnContextPopup", "OnEnter", "OnExit", "OnKeyDown", "OnKeyPress", "OnKeyUp",
                           "OnMouseDown", "OnMouseEnter", "OnMouseLeave", "OnMouseMove", "OnMouseUp"})
    c.Publish(name);
  // Older forms call hot tracking "Flat".
  c.Legacy("Flat", [](TCkCustomGlyphButton& b, const TFormValue& v) {
    b.SetHotTrack(v.kind == TFormValue::Kind::Identifier && SameText(v.Text, "True"));
  });
}

TCkCustomGlyphButton::TCkCustomGlyphButton(TComponent* owner)
    : TCkCustomButton(owner), customGlyphs_(std::make_unique<TBitmap>()), background_(WorkBitmap(0, 0)) {
  customGlyphs_->OnChange = [this](TObject* sender) { StripChanged(sender); };
}

TCkCustomGlyphButton::~TCkCustomGlyphButton() {
  customGlyphs_->OnChange = nullptr;
  frameController_.Set(nullptr);
}

void TCkCustomGlyphButton::SetAlignment(TLeftRight value) { Change(alignment_, value); }
void TCkCustomGlyphButton::SetFillColor(TColor value) { Change(fillColor_, value); }
void TCkCustomGlyphButton::SetFocusColor(TColor value) { Change(focusColor_, value); }
void TCkCustomGlyphButton::SetFrameColor(TColor value) { Change(frameColor_, value); }
void TCkCustomGlyphButton::SetDisabledColor(TColor value) { Change(disabledColor_, value); }
void TCkCustomGlyphButton::SetReadOnly(bool value) { Change(readOnly_, value); }
void TCkCustomGlyphButton::SetReadOnlyColor(TColor value) { Change(readOnlyColor_, value); }
void TCkCustomGlyphButton::SetReadOnlyColorOnFocus(bool value) { Change(readOnlyColorOnFocus_, value); }
void TCkCustomGlyphButton::SetTransparentColor(TColor value) { Change(transparentColor_, value); }
void TCkCustomGlyphButton::SetWinMaskColor(TColor value) { Change(winMaskColor_, value); }
void TCkCustomGlyphButton::SetHotTrackStyle(TCkButtonHotTrackStyle value) { Change(hotTrackStyle_, value); }

void TCkCustomGlyphButton::SetTransparent(bool value) {
  if (value == Transparent()) return;
  backgroundStale_ = true;
  inherited::SetTransparent(value);
}

void TCkCustomGlyphButton::SetCustomGlyphs(TBitmap* value) { customGlyphs_->Assign(value); }

void TCkCustomGlyphButton::StripChanged(TObject*) {
  useCustomGlyphs_ = !customGlyphs_->Empty();
  UpdateGlyphSize();
  backgroundStale_ = true;
  Invalidate();
}

void TCkCustomGlyphButton::SetUseCustomGlyphs(bool value) {
  if (value == useCustomGlyphs_) return;
  useCustomGlyphs_ = value;
  UpdateGlyphSize();
  Invalidate();
}

void TCkCustomGlyphButton::UpdateGlyphSize() {
  // A strip too narrow for its cells keeps a 13 x 13 room that shows nothing.
  int cellWidth = customGlyphs_->Width() / std::max(stateCount_, 1);
  if (useCustomGlyphs_ && cellWidth > 0 && customGlyphs_->Height() > 0) {
    glyphWidth_ = cellWidth;
    glyphHeight_ = customGlyphs_->Height();
  } else {
    glyphWidth_ = 13;
    glyphHeight_ = 13;
  }
}

void TCkCustomGlyphButton::SetFrameController(TCkFrameController* value) {
  frameController_.Set(value);
}

void TCkCustomGlyphButton::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != opRemove) return;
  frameController_.Removed(component);
}

void TCkCustomGlyphButton::ApplyFrameControllerSettings() {
  TCkFrameController* fc = frameController_.Visible();
  if (!fc) return;
  SetHotTrack(true);
  auto wanted = [this](TCkFrameControllerProperty p) { return frameController_.Wants(p); };
  if (wanted(fcpColor)) SetFillColor(fc->Color());
  if (wanted(fcpFrameColor)) SetFrameColor(fc->FrameColor());
  if (wanted(fcpFocusColor)) SetFocusColor(fc->FocusColor());
  if (wanted(fcpDisabledColor)) SetDisabledColor(fc->DisabledColor());
  if (wanted(fcpReadOnlyColor)) SetReadOnlyColor(fc->ReadOnlyColor());
  if (wanted(fcpReadOnlyColorOnFocus)) SetReadOnlyColorOnFocus(fc->ReadOnlyColorOnFocus());
  if (wanted(fcpFrameHotTrack)) SetHotTrackStyle(fc->FrameHotTrack() ? htsFrame : htsInterior);
  if (wanted(fcpFrameHotColor) && hotTrackStyle_ == htsFrame) SetHotTrackColor(fc->FrameHotColor());
  Invalidate();
}

TRect TCkCustomGlyphButton::GlyphRect() {
  int x = GlyphAtRight() ? Width() - glyphWidth_ : 0;
  int y = 2;
  if (AlignmentVertical() == avCenter)
    y = (Height() - glyphHeight_) / 2;
  else if (AlignmentVertical() == avBottom)
    y = Height() - glyphHeight_ - 2;
  return Bounds(x, y, glyphWidth_, glyphHeight_);
}

bool TCkCustomGlyphButton::GlyphAtRight() const {
  // No right-to-left reading in this library: the glyph sits on the right
  // only for a caption aligned left.
  const bool rightToLeft = false;
  return rightToLeft == (alignment_ == taRightJustify);
}

bool TCkCustomGlyphButton::DrawsFromStrip() const {
  return useCustomGlyphs_ && glyphWidth_ * stateCount_ <= customGlyphs_->Width() && !customGlyphs_->Empty();
}

TCkGlyphState TCkCustomGlyphButton::DrawState() const {
  if (!Enabled()) return gsDisabled;
  if (ShowingPressed()) return gsPressed;
  if (MouseOver()) return gsHot;
  return gsNormal;
}

TCkGlyphStyle TCkCustomGlyphButton::GlyphStyle() {
  TCkGlyphStyle s;
  s.ReadOnlyColor = readOnlyColor_;
  s.ReadOnlyColorOnFocus = readOnlyColorOnFocus_;
  s.ReadOnly = readOnly_;
  if (HotTrackColorType() == htctActual) {
    s.HotColor = HotTrackColor();
    s.HotColor2 = MixColors(clWhite, HotTrackColor(), 190);
  } else {
    s.HotColor2 = OppositeHueColor(HotTrackColor(), 180);
    s.HotColor = DarkenColor(s.HotColor2, 30);
  }
  s.DisabledColor = disabledColor_;
  s.FocusColor = focusColor_;
  s.FillColor = fillColor_;
  s.MarkColor = HighlightColor();
  s.FrameColor = frameColor_;
  s.HotStyle = hotTrackStyle_;
  s.Focused = Focused();
  s.State = DrawState();
  s.TransparentColor = clOlive;  // the painter's own key, not TransparentColor
  s.Transparent = Transparent();
  s.BackgroundColor = Color();
  return s;
}

void TCkCustomGlyphButton::ClickUnlessSuppressed() {
  if (!clicksSuppressed_) Click();
}

void TCkCustomGlyphButton::CopyCell(int index, TBitmap& glyph) {
  TRect cell = Rect(0, 0, glyphWidth_, glyphHeight_);
  glyph.Canvas().CopyRect(cell, customGlyphs_->Canvas(), Bounds(index * glyphWidth_, 0, glyphWidth_, glyphHeight_));
}

void TCkCustomGlyphButton::ComposeGlyph(TCanvas& target) {
  // A strip too narrow for its states has no cells to show.
  if (useCustomGlyphs_ && !DrawsFromStrip() && !customGlyphs_->Empty()) return;
  const TRect cell = Rect(0, 0, glyphWidth_, glyphHeight_);
  const TRect at = GlyphRect();
  const bool themes = UsingThemes();
  auto a = WorkBitmap(glyphWidth_, glyphHeight_);
  auto b = WorkBitmap(glyphWidth_, glyphHeight_);
  TBitmap* composed = b.get();
  if (Transparent() && themes) {
    a->Canvas().CopyRect(cell, target, at);
    DrawStateGlyph(*a);
    composed = a.get();
  } else if (Transparent()) {
    b->Canvas().CopyRect(cell, target, at);
    DrawStateGlyph(*a);
    DrawTransparentBitmapPart(b->Canvas(), *a, cell, transparentColor_, cell);
  } else {
    DrawStateGlyph(*a);
    b->Canvas().Brush().SetColor(Color());
    b->Canvas().BrushCopy(cell, a.get(), cell, transparentColor_);
  }
  std::unique_ptr<TBitmap> masked;
  if (useCustomGlyphs_) {
    masked = WorkBitmap(glyphWidth_, glyphHeight_);
    masked->Canvas().Brush().SetColor(clWindow);
    masked->Canvas().BrushCopy(cell, composed, cell, winMaskColor_);
    composed = masked.get();
  }
  if (Transparent() && !themes) SmoothGlyphEdge(*composed);
  target.Draw(at.Left, at.Top, composed);
}

void TCkCustomGlyphButton::Paint() {
  if (ComponentState().Contains(csDestroying)) return;
  const TRect client = ClientRect();
  TCanvas& screen = *Canvas();
  auto off = WorkBitmap(client.Width(), client.Height());
  TCanvas& canvas = off->Canvas();
  canvas.Font().Assign(Font());
  canvas.Brush().SetColor(Color());

  if (backgroundStale_) {
    background_->SetSize(client.Width(), client.Height());
    if (Transparent()) {
      // The parent itself, not the screen: whatever covered the control
      // while it painted would be kept otherwise.
      PaintParentUnderControl(this, background_->Canvas().Handle(), false);
    } else {
      background_->Canvas().Brush().SetColor(Color());
      background_->Canvas().FillRect(client);
    }
    backgroundStale_ = false;
  }
  canvas.CopyRect(client, background_->Canvas(), client);
  ComposeGlyph(canvas);

  TRect text{client.Left + 1, client.Top + 1, client.Right - 1, client.Bottom - 1};
  if (GlyphAtRight())
    text.Right -= glyphWidth_ + 4;
  else
    text.Left += glyphWidth_ + 4;
  DrawCaption(canvas, text, DT_WORDBREAK | DT_EXPANDTABS);

  text = {text.Left - 1, text.Top - 1, text.Right + 1, text.Bottom + 1};
  std::string caption = Caption();
  if (Focused() && !caption.empty()) {
    canvas.Font().Assign(Font());
    int focusWidth = std::min(text.Width(), canvas.TextWidth(Trim(caption)) + 3);
    text.Right = text.Left + focusWidth;
    DrawDottedFocusBorder(canvas, text);
  }
  screen.CopyRect(client, canvas, client);
}

void TCkCustomGlyphButton::DrawTransparentBackground(HDC dc) {
  if (Transparent()) PaintParentUnderControl(this, dc, false);
}

void TCkCustomGlyphButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  usingMouse_ = true;
  inherited::MouseDown(button, shift, x, y);
}

void TCkCustomGlyphButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  auto done = kit::OnExit([this] { usingMouse_ = false; });
  inherited::MouseUp(button, shift, x, y);
}

void TCkCustomGlyphButton::KeyPress(char& key) {
  if (!TakeEnterAsTab(*this, key, tabOnEnter_)) inherited::KeyPress(key);
}

void TCkCustomGlyphButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
    case WM_SIZE:
      backgroundStale_ = true;
      break;
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_PARENTCOLORCHANGED:
      backgroundStale_ = true;
      inherited::WndProc(m);
      Invalidate();
      return;
    case CM_WANTSPECIALKEY:
      if (WantEnterAsTab(m, tabOnEnter_)) return;
      break;
  }
  inherited::WndProc(m);
}

// --- check box --------------------------------------------------------------------

GUI_DEFINE_CLASS(TCkCustomCheckBox) {
  c.Boolean("AllowGrayed", &TCkCustomCheckBox::AllowGrayed, &TCkCustomCheckBox::SetAllowGrayed, false);
  c.Enumeration("State", CheckBoxStateInfo, &TCkCustomCheckBox::State, &TCkCustomCheckBox::SetState);
  c.Publish("TabStop", true);
}

GUI_DEFINE_CLASS(TCkCheckBox) {}

TCkCustomCheckBox::TCkCustomCheckBox(TComponent* owner) : TCkCustomGlyphButton(owner) {
  SetAlignmentVertical(avTop);
  SetGlyphStateCount(9);
}

void TCkCustomCheckBox::SetState(TCheckBoxState value) {
  if (value == state_) return;
  state_ = value;
  Repaint();
  ClickUnlessSuppressed();
}

void TCkCustomCheckBox::PressAction() {
  if (ReadOnly() && UsingMouse()) return;
  switch (state_) {
    case cbUnchecked: SetState(AllowGrayed() ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCkCustomCheckBox::DrawStateGlyph(TBitmap& glyph) {
  TCanvas& c = glyph.Canvas();
  const TRect cell = Rect(0, 0, GlyphWidth(), GlyphHeight());
  if (DrawsFromStrip()) {
    int index = Enabled() ? (ShowingPressed() ? 3 : 0) + state_ : 6 + state_;
    CopyCell(index, glyph);
  } else if (UsingThemes()) {
    c.Brush().SetColor(Color());
    c.FillRect(cell);
    int base = state_ == cbChecked ? CBS_CHECKEDNORMAL : state_ == cbGrayed ? CBS_MIXEDNORMAL : CBS_UNCHECKEDNORMAL;
    int offset = !Enabled() ? 3 : ShowingPressed() ? 2 : MouseOver() ? 1 : 0;
    ThemeServices().DrawElement(c.Handle(), L"BUTTON", BP_CHECKBOX, base + offset, cell);
  } else if (HotTrack()) {
    DrawCheckGlyph(c, cell, state_, GlyphStyle());
  } else {
    UINT flags = DFCS_BUTTONCHECK;
    if (state_ == cbChecked) flags |= DFCS_CHECKED;
    if (state_ == cbGrayed) flags |= DFCS_BUTTON3STATE | DFCS_CHECKED;
    if (ShowingPressed()) flags |= DFCS_PUSHED;
    if (!Enabled()) flags |= DFCS_INACTIVE;
    RECT r{cell.Left, cell.Top, cell.Right, cell.Bottom};
    DrawFrameControl(c.Handle(), &r, DFC_BUTTON, flags);
  }
}

void TCkCustomCheckBox::KeyDown(WORD& key, TShiftState shift) {
  inherited::KeyDown(key, shift);
  if (ReadOnly()) return;
  if (key == VK_SPACE) {
    SetShowPressed(true);
    keyTogglePending_ = true;
    Repaint();
  } else if (key == VK_ESCAPE) {
    SetShowPressed(false);
    keyTogglePending_ = false;
    Repaint();
  }
}

void TCkCustomCheckBox::KeyUp(WORD& key, TShiftState shift) {
  inherited::KeyUp(key, shift);
  if (ReadOnly() || key != VK_SPACE) return;
  SetShowPressed(false);
  if (keyTogglePending_) {
    keyTogglePending_ = false;
    PressAction();
  }
  Repaint();
}

void TCkCustomCheckBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case BM_GETCHECK:
      m.Result = state_ == cbChecked ? BST_CHECKED : state_ == cbGrayed ? BST_INDETERMINATE : BST_UNCHECKED;
      return;
    case WM_KILLFOCUS:
      SetShowPressed(false);
      keyTogglePending_ = false;
      break;  // the base repaints
    case CM_DIALOGCHAR:
      if (IsAccel(m.WParam, Caption()) && CanFocus()) {
        SetFocus();
        if (Focused() && !ReadOnly()) {
          PressAction();
          Repaint();
        }
        m.Result = 1;
        return;
      }
      break;
  }
  inherited::WndProc(m);
}

// --- radio button -----------------------------------------------------------------

GUI_DEFINE_CLASS(TCkRadioButton) {
  c.Publish("TabStop", false);
  c.Publish("OnDblClick");
}

TCkRadioButton::TCkRadioButton(TComponent* owner) : TCkCustomGlyphButton(owner) {
  SetAlignmentVertical(avTop);
  SetGlyphStateCount(6);
  SetTabStop(false);
}

template <class F>
void TCkRadioButton::ForSiblings(F f) {
  TWinControl* parent = Parent();
  if (!parent) return;
  std::vector<TCkRadioButton*> siblings;
  for (int i = 0; i < parent->ControlCount(); ++i)
    if (auto* r = dynamic_cast<TCkRadioButton*>(parent->Controls(i)); r && r != this) siblings.push_back(r);
  for (TCkRadioButton* r : siblings) f(r);
}

void TCkRadioButton::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  SetTabStop(value);
  Repaint();
  if (!value) return;
  ForSiblings([](TCkRadioButton* r) { r->SetChecked(false); });
  ClickUnlessSuppressed();
}

void TCkRadioButton::SetReadOnly(bool value) {
  if (value == ReadOnly()) return;
  inherited::SetReadOnly(value);
  Repaint();
  ForSiblings([value](TCkRadioButton* r) { r->SetReadOnly(value); });
}

void TCkRadioButton::PressAction() {
  if (!checked_ && !ReadOnly()) SetChecked(true);
}

void TCkRadioButton::DrawStateGlyph(TBitmap& glyph) {
  TCanvas& c = glyph.Canvas();
  const TRect cell = Rect(0, 0, GlyphWidth(), GlyphHeight());
  const int on = checked_ ? 1 : 0;
  if (DrawsFromStrip()) {
    CopyCell(Enabled() ? (ShowingPressed() ? 2 : 0) + on : 4 + on, glyph);
  } else if (UsingThemes()) {
    if (!Transparent()) {
      c.Brush().SetColor(Color());
      c.FillRect(cell);
    }
    int base = checked_ ? RBS_CHECKEDNORMAL : RBS_UNCHECKEDNORMAL;
    int offset = !Enabled() ? 3 : ShowingPressed() ? 2 : MouseOver() ? 1 : 0;
    ThemeServices().DrawElement(c.Handle(), L"BUTTON", BP_RADIOBUTTON, base + offset, cell);
  } else if (HotTrack()) {
    DrawRadioGlyph(c, cell, checked_, GlyphStyle());
  } else {
    c.Brush().SetColor(TransparentColor());
    c.FillRect(cell);
    UINT flags = DFCS_BUTTONRADIO | DFCS_TRANSPARENT;
    if (checked_) flags |= DFCS_CHECKED;
    if (ShowingPressed()) flags |= DFCS_PUSHED;
    if (!Enabled()) flags |= DFCS_INACTIVE;
    RECT r{cell.Left, cell.Top, cell.Right, cell.Bottom};
    DrawFrameControl(c.Handle(), &r, DFC_BUTTON, flags);
  }
}

void TCkRadioButton::SmoothGlyphEdge(TBitmap& glyph) {
  static const TPoint kHalf[] = {{4, 0},  {8, 0},  {2, 1},  {10, 1}, {1, 2},  {11, 2},  {0, 4},  {12, 4},
                                 {0, 8},  {12, 8}, {1, 10}, {11, 10}, {2, 11}, {10, 11}, {4, 12}, {8, 12}};
  static const TPoint kLight[] = {{3, 0}, {9, 0}, {0, 3}, {12, 3}, {0, 9}, {12, 9}, {3, 12}, {9, 12}};
  TCanvas& c = glyph.Canvas();
  auto blend = [&](const TPoint& p, std::uint8_t weight) {
    if (p.X >= glyph.Width() || p.Y >= glyph.Height()) return;
    c.SetPixels(p.X, p.Y, MixColors(FrameColor(), c.Pixels(p.X, p.Y), weight));
  };
  for (const TPoint& p : kHalf) blend(p, 128);
  for (const TPoint& p : kLight) blend(p, 40);
}

void TCkRadioButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case BM_GETCHECK:
      inherited::WndProc(m);
      m.Result = checked_ ? 1 : 0;
      return;
    case WM_SETFOCUS:
      inherited::WndProc(m);
      if (!UsingMouse() && !ReadOnly()) SetChecked(true);
      return;
    case WM_LBUTTONDBLCLK:
      inherited::WndProc(m);
      DblClick();
      return;
    case CM_DIALOGKEY:
      if (m.WParam == VK_DOWN && KeyboardStateToShiftState().Empty() && CanFocus()) {
        PressAction();  // checks it; a button checked already fires nothing
        m.Result = 1;
        return;
      }
      break;
    case CM_DIALOGCHAR:
      if (IsAccel(m.WParam, Caption()) && CanFocus()) {
        SetFocus();
        m.Result = 1;
        return;
      }
      break;
  }
  inherited::WndProc(m);
}

}  // namespace ck
