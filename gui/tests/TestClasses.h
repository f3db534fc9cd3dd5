// Classes the tests read forms into: a widget with one property of every
// kind, two form classes with handlers, and a picture format of their own.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Component.h"
#include "gui/Events.h"
#include "gui/Graphic.h"
#include "gui/ImageList.h"

namespace testing_gui {

using namespace gui;

// Every property write lands here in order, as "Component.Property".
std::vector<std::string>& WriteLog();

// "TPIC", width, height, colour: drawn as a filled rectangle.
class TTestGraphic : public TGraphic {
  GUI_CLASS(TTestGraphic, TGraphic)

 public:
  void Assign(TPersistent* source) override;
  void Draw(TCanvas& canvas, const TRect& rect) override;
  bool Empty() const override { return width == 0; }
  int Height() const override { return height; }
  int Width() const override { return width; }
  void SetHeight(int h) override { height = h; }
  void SetWidth(int w) override { width = w; }
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  void LoadFromClipboardFormat(UINT, HANDLE, HPALETTE) override {}
  void SaveToClipboardFormat(UINT&, HANDLE&, HPALETTE&) override {}

  int width = 0, height = 0;
  TColor color = clBlack;
};

enum TTestKind { tkAlpha, tkBeta, tkGamma };
using TTestKinds = Set<TTestKind>;

class TTestWidget;

// An item of a widget's Parts: a collection whose items hold a reference.
class TTestPart : public TPersistent {
  GUI_CLASS(TTestPart, TPersistent)

 public:
  TTestWidget* Buddy() const { return buddy; }
  void SetBuddy(TTestWidget* v) { buddy = v; }
  TTestWidget* buddy = nullptr;
};

class TTestParts {
 public:
  TTestPart* Add() { return items.emplace_back(std::make_unique<TTestPart>()).get(); }
  void Clear() { items.clear(); }
  std::vector<std::unique_ptr<TTestPart>> items;
};

class TTestWidget : public TComponent {
  GUI_CLASS(TTestWidget, TComponent)

 public:
  explicit TTestWidget(TComponent* owner);
  ~TTestWidget() override;

  int Count() const { return count_; }
  void SetCount(int v) { Log("Count"); count_ = v; }
  std::uint8_t Small() const { return small_; }
  void SetSmall(std::uint8_t v) { Log("Small"); small_ = v; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { Log("Enabled"); enabled_ = v; }
  TTestKind Kind() const { return kind_; }
  void SetKind(TTestKind v) { Log("Kind"); kind_ = v; }
  TTestKinds Kinds() const { return kinds_; }
  void SetKinds(TTestKinds v) { Log("Kinds"); kinds_ = v; }
  TColor Color() const { return color_; }
  void SetColor(TColor v) { Log("Color"); color_ = v; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { Log("Caption"); caption_ = v; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult v) { Log("ModalResult"); modalResult_ = v; }
  TFont* Font() { return &font_; }
  void SetFont(TFont* v) { Log("Font"); font_.Assign(v); }
  TPicture* Picture() { return &picture_; }
  void SetPicture(TPicture* v) { Log("Picture"); picture_.Assign(v); }
  TBitmap* Glyph() { return &glyph_; }
  void SetGlyph(TBitmap* v) { Log("Glyph"); glyph_.Assign(v); }
  TTestWidget* Buddy() const { return buddy_; }
  void SetBuddy(TTestWidget* v);
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* v) { images_ = v; }
  TTestParts* Parts() { return &parts_; }

  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;

  // What reading did to this widget.
  TComponent* parentComponent = nullptr;
  int loadedCalls = 0;
  bool loadingWhileRead = false;  // csLoading was on during a property write
  bool loadingInLoaded = true;
  std::vector<std::pair<TComponent*, TOperation>> notifications;
  bool* destroyedFlag = nullptr;
  bool* ownerWasDestroying = nullptr;  // set from the owner's csDestroying

  void Loaded() override;
  void SetParentComponent(TComponent* parent) override { parentComponent = parent; }

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void Log(const char* property);
  int count_ = 0;
  std::uint8_t small_ = 0;
  bool enabled_ = true;
  TTestKind kind_ = tkAlpha;
  TTestKinds kinds_;
  TColor color_ = clWindow;
  std::string caption_;
  TModalResult modalResult_ = mrNone;
  TFont font_;
  TPicture picture_;
  TBitmap glyph_;
  TTestWidget* buddy_ = nullptr;
  TImageList* images_ = nullptr;
  TTestParts parts_;
};

class TTestForm : public TComponent {
  GUI_CLASS(TTestForm, TComponent)

 public:
  explicit TTestForm(TComponent* owner = nullptr) : TComponent(owner) {}
  void ButtonClick(TObject* sender) { clicks.push_back(sender); }
  void ButtonMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y) { mouseX = x; }
  void Loaded() override { ++loadedCalls; }

  std::vector<TObject*> clicks;
  int mouseX = -1;
  int loadedCalls = 0;
};

class TDerivedForm : public TTestForm {
  GUI_CLASS(TDerivedForm, TTestForm)

 public:
  explicit TDerivedForm(TComponent* owner = nullptr) : TTestForm(owner) {}
  void OtherClick(TObject* sender) { otherClicks++; }
  int otherClicks = 0;
};

// A form class without a form of its own: it reads TTestForm's.
class TPlainDerivedForm : public TTestForm {
  GUI_CLASS(TPlainDerivedForm, TTestForm)

 public:
  explicit TPlainDerivedForm(TComponent* owner = nullptr) : TTestForm(owner) {}
};

// Registers the classes above once (and the picture format under "tpic").
void RegisterTestClasses();

}  // namespace testing_gui
