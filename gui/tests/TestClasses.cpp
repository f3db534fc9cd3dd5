#include "TestClasses.h"

#include <cstring>
#include <mutex>

#include "gui/Streams.h"

namespace testing_gui {

namespace {
const TEnumInfo kTestKindInfo{"TTestKind", {"tkAlpha", "tkBeta", "tkGamma"}};
}

std::vector<std::string>& WriteLog() {
  static std::vector<std::string> log;
  return log;
}

GUI_DEFINE_CLASS(TTestGraphic) {}

void TTestGraphic::Assign(TPersistent* source) {
  if (auto* g = dynamic_cast<TTestGraphic*>(source)) {
    width = g->width;
    height = g->height;
    color = g->color;
    Changed();
    return;
  }
  inherited::Assign(source);
}

void TTestGraphic::Draw(TCanvas& canvas, const TRect& rect) {
  canvas.Brush().SetColor(color);
  canvas.Brush().SetStyle(bsSolid);
  canvas.FillRect(rect);
}

void TTestGraphic::LoadFromStream(TStream& stream) {
  char magic[4];
  std::int32_t w, h;
  std::uint32_t c;
  stream.ReadBuffer(magic, 4);
  if (std::memcmp(magic, "TPIC", 4) != 0) throw EInvalidGraphic("not a test picture");
  stream.ReadBuffer(&w, 4);
  stream.ReadBuffer(&h, 4);
  stream.ReadBuffer(&c, 4);
  width = w;
  height = h;
  color = c;
  Changed();
}

void TTestGraphic::SaveToStream(TStream& stream) {
  stream.WriteBuffer("TPIC", 4);
  std::int32_t w = width, h = height;
  std::uint32_t c = color;
  stream.WriteBuffer(&w, 4);
  stream.WriteBuffer(&h, 4);
  stream.WriteBuffer(&c, 4);
}

GUI_DEFINE_CLASS(TTestWidget) {
  c.Integer("Count", &TTestWidget::Count, &TTestWidget::SetCount, 0);
  c.Integer("Small", &TTestWidget::Small, &TTestWidget::SetSmall);
  c.Boolean("Enabled", &TTestWidget::Enabled, &TTestWidget::SetEnabled, true);
  c.Enumeration("Kind", kTestKindInfo, &TTestWidget::Kind, &TTestWidget::SetKind, tkAlpha);
  c.SetOf("Kinds", kTestKindInfo, &TTestWidget::Kinds, &TTestWidget::SetKinds);
  c.Color("Color", &TTestWidget::Color, &TTestWidget::SetColor, clWindow);
  c.String("Caption", &TTestWidget::Caption, &TTestWidget::SetCaption);
  c.Integer("ModalResult", &TTestWidget::ModalResult, &TTestWidget::SetModalResult, 0, &ModalResultIdents());
  c.Object("Font", &TTestWidget::Font, &TTestWidget::SetFont);
  c.Object("Picture", &TTestWidget::Picture, &TTestWidget::SetPicture);
  c.Object("Glyph", &TTestWidget::Glyph, &TTestWidget::SetGlyph);
  c.Component("Buddy", &TTestWidget::Buddy, &TTestWidget::SetBuddy);
  c.Component("Images", &TTestWidget::Images, &TTestWidget::SetImages);
  c.Collection("Parts", &TTestWidget::Parts);
  c.Event("OnClick", &TTestWidget::OnClick);
  c.Event("OnMouseDown", &TTestWidget::OnMouseDown);
  c.Legacy("OldFlag", [](TTestWidget& w, const TFormValue& v) {
    w.SetEnabled(v.kind == TFormValue::Kind::Identifier && SameText(v.Text, "True"));
  });
  c.Legacy("OldStyle", nullptr);
}

TTestWidget::TTestWidget(TComponent* owner) : TComponent(owner) {}

GUI_DEFINE_CLASS(TTestPart) { c.Component("Buddy", &TTestPart::Buddy, &TTestPart::SetBuddy); }

TTestWidget::~TTestWidget() {
  if (destroyedFlag) *destroyedFlag = true;
  if (ownerWasDestroying) *ownerWasDestroying = Owner() && Owner()->ComponentState().Contains(csDestroying);
}

void TTestWidget::SetBuddy(TTestWidget* v) {
  Log("Buddy");
  buddy_ = v;
  if (v) v->FreeNotification(this);
}

void TTestWidget::Loaded() {
  ++loadedCalls;
  loadingInLoaded = ComponentState().Contains(csLoading);
}

void TTestWidget::Notification(TComponent* component, TOperation operation) {
  notifications.emplace_back(component, operation);
  if (operation == opRemove && component == buddy_) buddy_ = nullptr;
}

void TTestWidget::Log(const char* property) {
  WriteLog().push_back(Name() + "." + property);
  if (ComponentState().Contains(csLoading)) loadingWhileRead = true;
}

GUI_DEFINE_CLASS(TTestForm) {
  c.Handler("ButtonClick", &TTestForm::ButtonClick);
  c.Handler("ButtonMouseDown", &TTestForm::ButtonMouseDown);
}

GUI_DEFINE_CLASS(TDerivedForm) { c.Handler("OtherClick", &TDerivedForm::OtherClick); }

GUI_DEFINE_CLASS(TPlainDerivedForm) {}

void RegisterTestClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterClasses({&TTestWidget::StaticClass(), &TTestForm::StaticClass(), &TDerivedForm::StaticClass()});
    TPicture::RegisterFileFormat("tpic", "Test pictures", TTestGraphic::StaticClass());
  });
}

}  // namespace testing_gui
