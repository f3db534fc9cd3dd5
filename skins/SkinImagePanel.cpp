#include "SkinImagePanel.h"

#include "SkinGraphics.h"

namespace skins {

using namespace gui;

namespace {

const TEnumInfo kDrawStyleInfo{"TSkinDrawStyle", {"skNormal", "skStretch", "skTile"}};

bool IsBlank(const std::string& text) {
  for (char ch : text)
    if (static_cast<unsigned char>(ch) > ' ') return false;
  return true;
}

}  // namespace

GUI_DEFINE_CLASS(TSkinCustomPanel) {
  c.Protected();
  c.Object("Picture", &TSkinCustomPanel::Picture, &TSkinCustomPanel::SetPicture);
  c.Boolean("Transparent", &TSkinCustomPanel::Transparent, &TSkinCustomPanel::SetTransparent, false);
  c.Boolean("AutoSize", &TSkinCustomPanel::AutoSize, &TSkinCustomPanel::SetAutoSize);
  c.Enumeration("DrawStyle", kDrawStyleInfo, &TSkinCustomPanel::DrawStyle, &TSkinCustomPanel::SetDrawStyle);
}

GUI_DEFINE_CLASS(TSkinImagePanel) {
  c.Publish("BorderWidth", 0);
  c.Publish("Anchors");
  c.Publish("Picture");
  c.Publish("Transparent", 0);
  c.Publish("AutoSize");
  c.Publish("Alignment", taCenter);
  c.Publish("Align", alNone);
  c.Publish("Font");
  c.Publish("TabStop", 0);
  c.Publish("TabOrder", -1);
  c.Publish("Caption");
  c.Publish("Color", clBtnFace);
  c.Publish("DrawStyle");
  c.Publish("Visible", 1);
  c.Publish("PopupMenu");
  for (const char* name : {"OnClick", "OnDblClick", "OnEnter", "OnExit", "OnMouseDown", "OnMouseMove", "OnMouseUp",
                           "OnResize"})
    c.Publish(name);
}

TSkinCustomPanel::TSkinCustomPanel(TComponent* owner)
    : TCustomPanel(owner), picture_(std::make_unique<TPicture>()) {
  picture_->OnChange = [this](TObject* sender) { PictureChanged(sender); };
  SetBevelInner(bvNone);
  SetBevelOuter(bvNone);
  Invalidate();
}

TSkinCustomPanel::~TSkinCustomPanel() { picture_->OnChange = nullptr; }

void TSkinCustomPanel::SetPicture(TPicture* value) {
  picture_->Assign(value);
  Invalidate();
}

void TSkinCustomPanel::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  if (HasGraphic()) ApplyTransparent();
  Invalidate();
}

void TSkinCustomPanel::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  if (HasGraphic()) AdjustToPicture();
}

void TSkinCustomPanel::SetDrawStyle(TSkinDrawStyle value) {
  if (value == drawStyle_) return;
  drawStyle_ = value;
  Invalidate();
}

void TSkinCustomPanel::PictureChanged(TObject*) {
  if (HasGraphic()) {
    AdjustToPicture();
    ApplyTransparent();
  }
  Invalidate();
}

void TSkinCustomPanel::AdjustToPicture() {
  if (!autoSize_) return;
  TAlign a = Align();
  int w = a == alTop || a == alBottom || a == alClient ? Width() : picture_->Width();
  int h = a == alLeft || a == alRight || a == alClient ? Height() : picture_->Height();
  SetBounds(Left(), Top(), w, h);
}

void TSkinCustomPanel::ApplyTransparent() {
  TGraphic* graphic = picture_->Graphic();
  if (graphic->Transparent() != transparent_) graphic->SetTransparent(transparent_);
}

void TSkinCustomPanel::Paint() {
  TRect client = ClientRect();
  if (Width() <= 0 || Height() <= 0) return;
  // Only the part to be painted: a label's new text over the panel asks for
  // its strip, not for the whole picture and the parent's background again.
  TPaintBuffer buffer(*Canvas(), client);
  if (buffer.Empty()) return;
  TCanvas& canvas = buffer.Canvas();
  if (transparent_) {
    gui::PaintParentBackground(canvas, this);
  } else {
    // Where a picture leaves room, the panel's colour rather than a blank bitmap.
    canvas.Brush().SetColor(Color());
    canvas.FillRect(client);
  }
  if (TGraphic* graphic = picture_->Graphic()) {
    switch (drawStyle_) {
      case skStretch: canvas.StretchDraw(client, graphic); break;
      case skTile: TilePicture(canvas, picture_.get(), client); break;
      case skNormal: canvas.Draw(0, 0, graphic); break;
    }
  }
  std::string caption = Caption();
  if (!IsBlank(caption)) {
    canvas.Font().Assign(Font());
    canvas.Brush().SetStyle(bsClear);
    UINT align = Alignment() == taLeftJustify ? DT_LEFT : Alignment() == taRightJustify ? DT_RIGHT : DT_CENTER;
    TRect r = client;
    canvas.DrawText(caption, r, DT_SINGLELINE | DT_VCENTER | align);
  }
  buffer.Commit();
}

void TSkinCustomPanel::Resize() {
  inherited::Resize();
  Invalidate();
}

void TSkinCustomPanel::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;  // Paint covers everything
      return;
    case CM_TEXTCHANGED:
      Invalidate();
      break;
  }
  inherited::WndProc(m);
}

}  // namespace skins
