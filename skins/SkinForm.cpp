#include "SkinForm.h"

#include "SkinGraphics.h"

namespace skins {

using namespace gui;

GUI_DEFINE_CLASS(TSkinForm) {
  c.Object("Glyph", &TSkinForm::Glyph, &TSkinForm::SetGlyph);
  c.Color("TransparentColor", &TSkinForm::TransparentColor, &TSkinForm::SetTransparentColor);
  c.Event("OnRegionChanged", &TSkinForm::OnRegionChanged);
  c.Event("OnPaint", &TSkinForm::OnPaint);
  c.Publish("PopupMenu");
  c.Publish("Cursor", crDefault);
  for (const char* name : {"OnClick", "OnDblClick", "OnMouseDown", "OnMouseMove", "OnMouseUp"}) c.Publish(name);
}

TSkinForm::TSkinForm(TComponent* owner) : TGraphicControl(owner), glyph_(std::make_unique<TBitmap>()) {
  form_ = dynamic_cast<TCustomForm*>(owner);
  if (form_) {
    if (!ComponentState().Contains(csDesigning)) form_->SetBorderStyle(bsNone);
    // A window made anew (a border or icon change) starts without a region.
    formHook_ = form_->AddWindowHook([this](TMessage& m) {
      if (m.Msg == WM_CREATE) ShapeForm();
      return false;
    });
  }
  SetBounds(Left(), Top(), 200, 100);
}

TSkinForm::~TSkinForm() {
  if (form_) form_->RemoveWindowHook(formHook_);
}

void TSkinForm::SetGlyph(TBitmap* value) {
  glyph_->Assign(value);
  UpdateSkinRegion();
  Invalidate();
}

void TSkinForm::SetTransparentColor(TColor value) {
  if (value == transparentColor_) return;
  transparentColor_ = value;
  UpdateSkinRegion();
  Invalidate();
}

void TSkinForm::UpdateSkinRegion() {
  if (glyph_->Empty()) return;
  if (form_ && !ComponentState().Contains(csDesigning)) {
    // A form being read gets its shape when its window is made: making the
    // window now would make every control read after it a window at once.
    if (!ComponentState().Contains(csLoading)) form_->HandleNeeded();
    ShapeForm();
  }
  SetBounds(0, 0, glyph_->Width(), glyph_->Height());
  if (form_) form_->SetClientSize(Width(), Height());
  if (OnRegionChanged) OnRegionChanged(this);
}

void TSkinForm::ShapeForm() {
  if (glyph_->Empty() || !form_->HandleAllocated() || ComponentState().Contains(csDesigning)) return;
  SetRegionFromBitmap(form_->Handle(), glyph_.get(), transparentColor_);
}

void TSkinForm::Paint() {
  TCanvas* canvas = Canvas();
  if (!glyph_->Empty()) {
    canvas->Draw(0, 0, glyph_.get());
  } else {
    // An outline to see the control by while it has no glyph.
    canvas->Brush().SetColor(clBlack);
    canvas->FrameRect(ClientRect());
  }
  if (OnPaint) OnPaint(this);
}

void TSkinForm::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  inherited::MouseDown(button, shift, x, y);
  if (!form_ || !form_->HandleAllocated()) return;
  // The system then moves the form as if its caption had been pressed
  // there: the press's screen position is where the move starts from.
  const TPoint at = ClientToScreen(Point(x, y));
  ReleaseCapture();
  SendMessageA(form_->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(at.X, at.Y));
}

}  // namespace skins
