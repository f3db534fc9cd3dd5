// A small program built from the GUI layer alone: a form from its resource
// that counts clicks, keys and timer ticks, asks a question, and reads the
// engine's name through the client component. The automation tests drive it.
#include <windows.h>

#include <string>

#include "engineclient/EngineClient.h"
#include "gui/Automation.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"

using namespace gui;

class TDemoForm : public TForm {
  GUI_CLASS(TDemoForm, TForm)

 public:
  explicit TDemoForm(TComponent* owner) : TForm(owner) {}

  void FormCreate(TObject*) { Put(Counter(), 0); }
  void AddClick(TObject*) { Put(Counter(), ++count_); }
  void SpotMouseDown(TObject*, TMouseButton button, TShiftState, int, int) {
    if (button == mbLeft) Put(Counter(), count_ += 10);
  }
  void ResetClick(TObject*) { Put(Counter(), count_ = 0); }
  void DoubleCountClick(TObject*) { Put(Counter(), count_ *= 2); }
  void FormKeyDown(TObject*, WORD& key, TShiftState) {
    if (key == VK_F5) {
      Put(Counter(), count_ = 0);
      key = 0;
    }
  }
  void TickTimer(TObject*) {
    static_cast<TLabel*>(FindComponent("lblTicks"))->SetCaption("ticks " + std::to_string(++ticks_));
  }
  void EngineClick(TObject*) {
    auto* engine = static_cast<TMOMain*>(FindComponent("Quillon"));
    static_cast<TLabel*>(FindComponent("lblEngine"))->SetCaption(engine->Name());
  }
  void AskClick(TObject*) {
    int answer = Application->ShowMessageBox("Count on?", "Question", MB_YESNO | MB_ICONQUESTION);
    static_cast<TLabel*>(FindComponent("lblAnswer"))->SetCaption(answer == IDYES ? "yes" : "no");
  }

 private:
  TLabel* Counter() { return static_cast<TLabel*>(FindComponent("lblCounter")); }
  static void Put(TLabel* label, int value) { label->SetCaption(std::to_string(value)); }
  int count_ = 0;
  int ticks_ = 0;
};

GUI_DEFINE_CLASS(TDemoForm) {
  c.Handler("FormCreate", &TDemoForm::FormCreate);
  c.Handler("AddClick", &TDemoForm::AddClick);
  c.Handler("SpotMouseDown", &TDemoForm::SpotMouseDown);
  c.Handler("ResetClick", &TDemoForm::ResetClick);
  c.Handler("DoubleCountClick", &TDemoForm::DoubleCountClick);
  c.Handler("FormKeyDown", &TDemoForm::FormKeyDown);
  c.Handler("TickTimer", &TDemoForm::TickTimer);
  c.Handler("EngineClick", &TDemoForm::EngineClick);
  c.Handler("AskClick", &TDemoForm::AskClick);
}

TDemoForm* DemoForm = nullptr;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  automation::OfferChannel();
  Application->Initialize();
  Application->SetTitle("Demo");
  Application->CreateForm(DemoForm);
  Application->Run();
  return 0;
}
