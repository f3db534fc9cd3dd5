// Classes the control tests read forms into: widgets that log what a frame
// controller writes into them, and the test form.
#pragma once

#include <string>
#include <vector>

#include "CkCommon.h"
#include "CkLabel.h"
#include "CkPrgres.h"
#include "gui/ExtCtrls.h"
#include "gui/Forms.h"

namespace cktest {

using namespace ck;

// "name.Property=value" for every property a widget is given.
std::vector<std::string>& Writes();

// Publishes colour and frame properties under the controller's names.
class TFramedWidget : public TGraphicControl {
  GUI_CLASS(TFramedWidget, TGraphicControl)

 public:
  explicit TFramedWidget(TComponent* owner) : TGraphicControl(owner) {}
  void SetLoggedColor(TColor value);
  void SetLoggedParentColor(bool value);
  void SetFocusColor(TColor value);
  void SetFrameStyle(TFrameStyle value);
  void SetFrameSides(TSides value);
  void SetFrameVisible(bool value);

  TColor focusColor = clWindow;
  TFrameStyle frameStyle = fsNone;
  TSides frameSides;
  bool frameVisible = false;

 protected:
  void Log(const std::string& what);
};

// The same, with its own choice of notifications.
class TMaskedWidget : public TFramedWidget {
  GUI_CLASS(TMaskedWidget, TFramedWidget)

 public:
  explicit TMaskedWidget(TComponent* owner) : TFramedWidget(owner) {}
  TCkFrameControllerNotifications notifications = kAllFrameControllerNotifications;
};

// Publishes only a focus colour: no frame properties at all.
class TPlainWidget : public TGraphicControl {
  GUI_CLASS(TPlainWidget, TGraphicControl)

 public:
  explicit TPlainWidget(TComponent* owner) : TGraphicControl(owner) {}
  TColor focusColor = clWindow;
};

// Reads the controller itself.
class TClientWidget : public TGraphicControl, public ICkFrameControllerClient {
  GUI_CLASS(TClientWidget, TGraphicControl)

 public:
  explicit TClientWidget(TComponent* owner) : TGraphicControl(owner) {}
  void ApplyFrameController() override { ++applied; }
  int applied = 0;
};

// A window that paints its parent's background under itself.
class TSeeThrough : public TCustomControl {
  GUI_CLASS(TSeeThrough, TCustomControl)

 public:
  explicit TSeeThrough(TComponent* owner) : TCustomControl(owner) {}
};

class TControlsForm : public TForm {
  GUI_CLASS(TControlsForm, TForm)

 public:
  explicit TControlsForm(TComponent* owner) : TForm(owner) {}
  void BarChange(TObject* Sender, int Percent);
  std::vector<int> changes;
};

// Read from older forms only; the current form types keep their own.
class TLegacyForm : public TForm {
  GUI_CLASS(TLegacyForm, TForm)

 public:
  explicit TLegacyForm(TComponent* owner) : TForm(owner) {}
};

void RegisterControlClasses();

}  // namespace cktest
