// The frame controller and the shared blink timer of CkCommon.
#include <algorithm>
#include <utility>

#include "CkCommon.h"
#include "gui/ExtCtrls.h"
#include "kit/Own.h"

namespace ck {

// --- TCkFrameController ------------------------------------------------------------------

GUI_DEFINE_CLASS(TCkFrameController) {
  using F = TCkFrameController;
  c.Color("Color", &F::Color, &F::SetColor, clWindow);
  c.Boolean("ParentColor", &F::ParentColor, &F::SetParentColor, false);
  c.Color("FlatButtonColor", &F::FlatButtonColor, &F::SetFlatButtonColor, clBtnFace);
  c.Boolean("FlatButtons", &F::FlatButtons, &F::SetFlatButtons, true);
  c.Color("DisabledColor", &F::DisabledColor, &F::SetDisabledColor, clBtnFace);
  c.Color("ReadOnlyColor", &F::ReadOnlyColor, &F::SetReadOnlyColor, clInfoBk);
  c.Boolean("ReadOnlyColorOnFocus", &F::ReadOnlyColorOnFocus, &F::SetReadOnlyColorOnFocus, false);
  c.Color("FocusColor", &F::FocusColor, &F::SetFocusColor, clWindow);
  c.Color("FrameColor", &F::FrameColor, &F::SetFrameColor, clBtnShadow);
  c.Color("FrameHotColor", &F::FrameHotColor, &F::SetFrameHotColor, clBtnShadow);
  c.Boolean("FrameHotTrack", &F::FrameHotTrack, &F::SetFrameHotTrack, false);
  c.Enumeration("FrameHotStyle", FrameStyleInfo, &F::FrameHotStyle, &F::SetFrameHotStyle, fsFlatBold);
  c.SetOf("FrameSides", SideInfo, &F::FrameSides, &F::SetFrameSides, kAllSides.Bits());
  c.Enumeration("FrameStyle", FrameStyleInfo, &F::FrameStyle, &F::SetFrameStyle, fsFlat);
  c.Boolean("FrameVisible", &F::FrameVisible, &F::SetFrameVisible, false);
  c.Enumeration("FramingPreference", FramingPreferenceInfo, &F::FramingPreference, &F::SetFramingPreference,
                fpXPThemes);
  c.Component("RegIniFile", &F::RegIniFile, &F::SetRegIniFile);
  // Older forms.
  c.Legacy("FrameFlat", [](F& f, const TFormValue& v) {
    bool flat = v.kind == TFormValue::Kind::Identifier && SameText(v.Text, "True");
    f.SetFrameHotTrack(flat);
    if (flat) {
      f.SetFrameStyle(fsStatus);
      f.SetFrameHotStyle(fsLowered);
    }
  });
  c.Legacy("FrameFocusStyle", [](F& f, const TFormValue& v) {
    int style = FrameStyleInfo.ValueOf(v.Text);
    if (v.kind == TFormValue::Kind::Identifier && style >= 0) f.SetFrameHotStyle(static_cast<TFrameStyle>(style));
  });
  c.Legacy("FrameFlatStyle", nullptr);
}

TCkFrameController::TCkFrameController(TComponent* owner) : TComponent(owner) {}

TCkFrameController::~TCkFrameController() = default;

void TCkFrameController::AddControl(TControl* control) {
  if (!control || std::find(controls_.begin(), controls_.end(), control) != controls_.end()) return;
  controls_.push_back(control);
  FreeNotification(control);  // so that a control gone without a word leaves the list
  NotifyControl(control, fcpAll);
}

void TCkFrameController::RemoveControl(TControl* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  controls_.shrink_to_fit();
}

void TCkFrameController::EndUpdate() {
  if (--updateCount_ > 0) return;
  updateCount_ = 0;
  NotifyControls(fcpAll);
}

void TCkFrameController::NotifyControls(TCkFrameControllerProperty property) {
  if (updateCount_ > 0 || controls_.empty()) return;
  // A control may leave while it is being told.
  std::vector<TControl*> controls = controls_;
  for (TControl* control : controls)
    if (std::find(controls_.begin(), controls_.end(), control) != controls_.end()) NotifyControl(control, property);
}

namespace {

// The published property of each notification, in notification order.
const char* const kPropertyNames[] = {
    "Color", "FocusColor", "DisabledColor", "ReadOnlyColor", "ReadOnlyColorOnFocus", "ParentColor",
    "FlatButtonColor", "FlatButtons", "FrameColor", "FrameHotColor", "FrameHotTrack", "FrameHotStyle",
    "FrameSides", "FrameStyle", "FrameVisible", "FramingPreference"};

bool IsOrdinal(TPropKind kind) {
  return kind == TPropKind::Integer || kind == TPropKind::Boolean || kind == TPropKind::Enumeration ||
         kind == TPropKind::Set || kind == TPropKind::Color;
}

}  // namespace

void TCkFrameController::WriteProperty(TControl* control, TCkFrameControllerProperty property) {
  const TPropInfo* info = control->ClassType().FindProperty(kPropertyNames[property]);
  if (!info || !IsOrdinal(info->Kind)) return;
  switch (property) {
    case fcpFrameSides:
      // Through the text form, so a control's own side type takes it.
      if (info->Kind == TPropKind::Set && info->Enum)
        info->SetOrd(*control, static_cast<std::int64_t>(TextToSet(*info->Enum, SetToText(SideInfo, frameSides_.Bits()))));
      return;
    case fcpFrameHotStyle:
    case fcpFrameStyle:
    case fcpFramingPreference: {
      int value = property == fcpFrameHotStyle ? static_cast<int>(frameHotStyle_)
                  : property == fcpFrameStyle  ? static_cast<int>(frameStyle_)
                                               : static_cast<int>(framingPreference_);
      if (info->Enum && value >= static_cast<int>(info->Enum->Names.size())) return;
      info->SetOrd(*control, value);
      return;
    }
    default: break;
  }
  std::int64_t value = 0;
  switch (property) {
    case fcpColor: value = color_; break;
    case fcpFocusColor: value = focusColor_; break;
    case fcpDisabledColor: value = disabledColor_; break;
    case fcpReadOnlyColor: value = readOnlyColor_; break;
    case fcpReadOnlyColorOnFocus: value = readOnlyColorOnFocus_; break;
    case fcpParentColor: value = parentColor_; break;
    case fcpFlatButtonColor: value = flatButtonColor_; break;
    case fcpFlatButtons: value = flatButtons_; break;
    case fcpFrameColor: value = frameColor_; break;
    case fcpFrameHotColor: value = frameHotColor_; break;
    case fcpFrameHotTrack: value = frameHotTrack_; break;
    case fcpFrameVisible: value = frameVisible_; break;
    default: return;
  }
  info->SetOrd(*control, value);
}

void TCkFrameController::NotifyControl(TControl* control, TCkFrameControllerProperty property) {
  if (!control) return;
  TCkFrameControllerNotifications mask = kAllFrameControllerNotifications;
  if (const TPropInfo* info = control->ClassType().FindProperty("FrameControllerNotifications"))
    if (info->Kind == TPropKind::Set && info->GetOrd)
      mask = TCkFrameControllerNotifications::FromBits(static_cast<std::uint64_t>(info->GetOrd(*control)) & 0xFFFF);
  if (auto* client = dynamic_cast<ICkFrameControllerClient*>(control)) {
    client->ApplyFrameController();
    return;
  }
  if (property != fcpAll) {
    if (mask.Contains(property)) WriteProperty(control, property);
    return;
  }
  static const TCkFrameControllerProperty kOrder[] = {
      fcpParentColor, fcpColor, fcpDisabledColor, fcpReadOnlyColor, fcpReadOnlyColorOnFocus, fcpFocusColor,
      fcpFlatButtonColor, fcpFlatButtons, fcpFrameColor, fcpFrameHotColor, fcpFrameHotTrack, fcpFrameHotStyle,
      fcpFrameSides, fcpFrameStyle, fcpFrameVisible, fcpFramingPreference};
  for (TCkFrameControllerProperty p : kOrder) {
    if (p == fcpColor && parentColor_) continue;
    if (mask.Contains(p)) WriteProperty(control, p);
  }
}

void TCkFrameController::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TCkFrameController*>(source);
  if (!other) {
    inherited::Assign(source);
    return;
  }
  BeginUpdate();
  SetColor(other->color_);
  SetParentColor(other->parentColor_);
  SetFlatButtonColor(other->flatButtonColor_);
  SetFlatButtons(other->flatButtons_);
  SetDisabledColor(other->disabledColor_);
  SetReadOnlyColor(other->readOnlyColor_);
  SetReadOnlyColorOnFocus(other->readOnlyColorOnFocus_);
  SetFocusColor(other->focusColor_);
  SetFrameColor(other->frameColor_);
  SetFrameHotColor(other->frameHotColor_);
  SetFrameHotTrack(other->frameHotTrack_);
  SetFrameHotStyle(other->frameHotStyle_);
  SetFrameSides(other->frameSides_);
  SetFrameStyle(other->frameStyle_);
  SetFrameVisible(other->frameVisible_);
  SetFramingPreference(other->framingPreference_);
  EndUpdate();
}

void TCkFrameController::Loaded() {
  inherited::Loaded();
  NotifyControls(fcpAll);
}

void TCkFrameController::Notification(TComponent* component, TOperation operation) {
  inherited::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == regIniFile_) regIniFile_ = nullptr;
  // A control that goes without unregistering must not stay in the list.
  // (It may be half destroyed already: compare addresses only.)
  std::erase_if(controls_, [component](TControl* c) { return static_cast<TComponent*>(c) == component; });
}

void TCkFrameController::SetColor(TColor value) {
  if (value == color_) return;
  if (color_ == focusColor_) focusColor_ = value;  // the focus colour follows until set apart
  color_ = value;
  parentColor_ = false;
  NotifyControls(fcpColor);
}

void TCkFrameController::SetParentColor(bool value) {
  if (value == parentColor_) return;
  parentColor_ = value;
  NotifyControls(fcpParentColor);
  if (!value) NotifyControls(fcpColor);
}

void TCkFrameController::SetFrameHotTrack(bool value) {
  if (value == frameHotTrack_) return;
  frameHotTrack_ = value;
  if (value) {
    SetFrameVisible(true);
    if (!ComponentState().Contains(csLoading)) frameSides_ = kAllSides;
  }
  NotifyControls(fcpFrameHotTrack);
}

void TCkFrameController::SetFlatButtonColor(TColor value) { Change(flatButtonColor_, value, fcpFlatButtonColor); }
void TCkFrameController::SetFlatButtons(bool value) { Change(flatButtons_, value, fcpFlatButtons); }
void TCkFrameController::SetDisabledColor(TColor value) { Change(disabledColor_, value, fcpDisabledColor); }
void TCkFrameController::SetReadOnlyColor(TColor value) { Change(readOnlyColor_, value, fcpReadOnlyColor); }
void TCkFrameController::SetReadOnlyColorOnFocus(bool value) {
  Change(readOnlyColorOnFocus_, value, fcpReadOnlyColorOnFocus);
}
void TCkFrameController::SetFocusColor(TColor value) { Change(focusColor_, value, fcpFocusColor); }
void TCkFrameController::SetFrameColor(TColor value) { Change(frameColor_, value, fcpFrameColor); }
void TCkFrameController::SetFrameHotColor(TColor value) { Change(frameHotColor_, value, fcpFrameHotColor); }
void TCkFrameController::SetFrameHotStyle(TFrameStyle value) { Change(frameHotStyle_, value, fcpFrameHotStyle); }
void TCkFrameController::SetFrameSides(TSides value) { Change(frameSides_, value, fcpFrameSides); }
void TCkFrameController::SetFrameStyle(TFrameStyle value) { Change(frameStyle_, value, fcpFrameStyle); }
void TCkFrameController::SetFrameVisible(bool value) { Change(frameVisible_, value, fcpFrameVisible); }
void TCkFrameController::SetFramingPreference(TFramingPreference value) {
  Change(framingPreference_, value, fcpFramingPreference);
}

void TCkFrameController::SetRegIniFile(TCkRegIniFile* value) {
  if (value == regIniFile_) return;
  if (regIniFile_) regIniFile_->RemoveFreeNotification(this);
  regIniFile_ = value;
  if (value) value->FreeNotification(this);
}

void TCkFrameControllerLink::Set(TCkFrameController* value) {
  if (value == controller_) return;
  if (controller_) {
    controller_->RemoveControl(control_);
    controller_->RemoveFreeNotification(control_);
  }
  controller_ = value;
  if (value) {
    value->FreeNotification(control_);
    value->AddControl(control_);
  }
}

// --- blinking -----------------------------------------------------------------------------

TCkBlinkingControlsList* BlinkingControls = nullptr;

namespace {
void ReleaseBlinkingControls() { delete std::exchange(BlinkingControls, nullptr); }
}  // namespace

TCkBlinkingControlsList::TCkBlinkingControlsList() : timer_(std::make_unique<TTimer>(nullptr)) {
  timer_->SetInterval(intervalOff_);
  timer_->OnTimer = [this](TObject* sender) { Tick(sender); };
  timer_->SetEnabled(true);
}

TCkBlinkingControlsList::~TCkBlinkingControlsList() = default;

void TCkBlinkingControlsList::Add(TControl* control) {
  if (std::find(controls_.begin(), controls_.end(), control) == controls_.end()) controls_.push_back(control);
  Wake();
}

void TCkBlinkingControlsList::Wake() {
  if (timer_->Enabled()) return;
  timer_->SetInterval(state_ ? intervalOn_ : intervalOff_);
  timer_->SetEnabled(true);
}

void TCkBlinkingControlsList::Remove(TControl* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
}

void TCkBlinkingControlsList::Tick(TObject*) {
  state_ = !state_;
  timer_->SetInterval(state_ ? intervalOn_ : intervalOff_);
  // A control may leave while it blinks, the last one too: the list stays
  // until the walk is over and goes at the end of the tick. Nothing here
  // touches the list or its timer after that, and the timer's own dispatch
  // touches nothing of the timer once its handler returns.
  auto releaseWhenEmpty = kit::OnExit([this] {
    ticking_ = false;
    if (controls_.empty()) ReleaseBlinkingControls();
  });
  ticking_ = true;
  bool blinked = false;
  std::vector<TControl*> controls = controls_;
  for (TControl* control : controls) {
    if (std::find(controls_.begin(), controls_.end(), control) == controls_.end()) continue;
    if (control->Perform(CM_BLINKQUERY) != 1) continue;
    blinked = true;
    control->Perform(CM_BLINKSTATE, state_ ? 1 : 0);
  }
  // Most controls never blink: the timer sleeps until a control's answer
  // changes (Wake).
  if (!blinked) timer_->SetEnabled(false);
}

TCkBlinkRegistration::TCkBlinkRegistration(TControl* control) : control_(control) {
  if (!BlinkingControls) BlinkingControls = new TCkBlinkingControlsList;
  BlinkingControls->Add(control);
}

TCkBlinkRegistration::~TCkBlinkRegistration() {
  if (!BlinkingControls) return;
  BlinkingControls->Remove(control_);
  if (BlinkingControls->Count() == 0 && !BlinkingControls->Ticking()) ReleaseBlinkingControls();
}

// The list lives at least as long as this registration.
void TCkBlinkRegistration::AnswerChanged() { BlinkingControls->Wake(); }

}  // namespace ck
