#include "MagnetCS.h"

#include "gui/Forms.h"

using gui::TPoint;
using gui::TRect;

const gui::TEnumInfo& MagnetStyleInfo() {
  static const gui::TEnumInfo info{"TMagnetStyle", {"msTop", "msBottom", "msLeft", "msRight", "msNone"}};
  return info;
}

namespace {
bool Between(int v, int lo, int hi) { return lo <= v && v <= hi; }
bool Near(int gap, int low, int distance) { return low <= gap && gap < distance; }
}  // namespace

TMagnetStyle MagnetSide(const TRect& c, const TRect& s, int distance) {
  if (Between(c.Left, s.Left, s.Right) || Between(c.Right, s.Left, s.Right)) {
    if (Near(c.Top - s.Bottom, 0, distance)) return msBottom;
    if (Near(s.Top - c.Bottom, 0, distance)) return msTop;
  }
  if (!Between(c.Top, s.Top, s.Bottom) && !Between(c.Bottom, s.Top, s.Bottom)) return msNone;
  if (Near(c.Left - s.Right, -kMagnetRightOverlap, distance)) return msRight;
  if (Near(s.Left - c.Right, 0, distance)) return msLeft;
  return msNone;
}

bool MagnetSnap(TMagnetStyle side, TMagnetStyles styles, const TRect& c, const TRect& s, TPoint& topLeft) {
  if (side == msNone || !styles.Contains(side)) return false;
  topLeft = {c.Left, c.Top};
  switch (side) {
    case msTop: topLeft.Y = s.Top - c.Height(); break;
    case msBottom: topLeft.Y = s.Bottom; break;
    case msLeft: topLeft.X = s.Left - c.Width(); break;
    case msRight: topLeft.X = s.Right; break;
    default: break;
  }
  return true;
}

// ---------------------------------------------------------------------------

namespace {

TMagnetServer* g_server = nullptr;

gui::TCustomForm* OwnerAsForm(gui::TComponent* owner) {
  // Owner may be null; As<> on a null owner would have nothing to name.
  if (!owner) throw gui::EInvalidCast("Invalid class typecast");
  return &owner->As<gui::TCustomForm>();
}

bool Designing(const gui::TComponent& c) { return c.ComponentState().Contains(gui::csDesigning); }

// The window's rectangle as the system has it now: while a move is being
// reported the form's own bounds have not caught up yet.
TRect WindowBounds(gui::TCustomForm& form) {
  RECT r;
  if (form.HandleAllocated() && GetWindowRect(form.Handle(), &r)) return gui::Rect(r.left, r.top, r.right, r.bottom);
  return form.BoundsRect();
}

}  // namespace

GUI_DEFINE_CLASS(TMagnetServer) {
  c.Component("OwnerForm", &TMagnetServer::OwnerForm, &TMagnetServer::SetOwnerForm);
  c.SetOf("MagnetStyle", MagnetStyleInfo(), &TMagnetServer::MagnetStyle, &TMagnetServer::SetMagnetStyle);
  c.Boolean("Active", &TMagnetServer::Active, &TMagnetServer::SetActive);
}

TMagnetServer::TMagnetServer(gui::TComponent* owner) : gui::TComponent(owner) {
  if (g_server) return;
  ownerForm_ = OwnerAsForm(owner);
  g_server = this;
  if (!Designing(*this)) {
    hooked_ = ownerForm_;
    hookId_ = hooked_->AddWindowHook([this](gui::TMessage& m) { return FormMessage(m); });
  }
}

TMagnetServer::~TMagnetServer() {
  if (hooked_) hooked_->RemoveWindowHook(hookId_);
  // Clients still docked must not reach back to a server that is gone.
  for (TMagnetClient* client : clients_) client->server_ = nullptr;
  if (g_server == this) g_server = nullptr;
}

TMagnetServer* TMagnetServer::Current() { return g_server; }

void TMagnetServer::SetOwnerForm(gui::TCustomForm* form) {
  if (form == ownerForm_) return;
  if (ownerForm_ && ownerForm_ != Owner()) ownerForm_->RemoveFreeNotification(this);
  ownerForm_ = form;
  if (form && form != Owner()) form->FreeNotification(this);
}

void TMagnetServer::Notification(gui::TComponent* component, gui::TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == gui::opRemove && component == ownerForm_) ownerForm_ = nullptr;
}

bool TMagnetServer::FormMessage(gui::TMessage& m) {
  if (m.Msg != WM_MOVING) return false;
  m.Result = 0;
  const RECT* target = reinterpret_cast<const RECT*>(m.LParam);
  if (!ownerForm_ || !active_ || !target) return true;
  int dx = target->left - ownerForm_->Left();
  int dy = target->top - ownerForm_->Top();
  ownerForm_->SetBounds(target->left, target->top, ownerForm_->Width(), ownerForm_->Height());
  // Each client moves in one step: a move in two (left, then top) would let
  // it snap against the server's new place half-way and land elsewhere.
  std::vector<TMagnetClient*> snapshot = clients_;
  for (TMagnetClient* client : snapshot) {
    gui::TCustomForm* form = client->OwnerForm();
    if (!client->Enable() || !form) continue;
    form->SetBounds(form->Left() + dx, form->Top() + dy, form->Width(), form->Height());
  }
  return true;
}

void TMagnetServer::Dock(TMagnetClient* client) {
  client->server_ = this;
  client->SetEnable(true);
  clients_.push_back(client);
}

void TMagnetServer::Undock(TMagnetClient* client) {
  client->server_ = nullptr;
  std::erase(clients_, client);
}

// ---------------------------------------------------------------------------

GUI_DEFINE_CLASS(TMagnetClient) {
  c.Component("OwnerForm", &TMagnetClient::OwnerForm, &TMagnetClient::SetOwnerForm);
  c.Boolean("Enable", &TMagnetClient::Enable, &TMagnetClient::SetEnable);
  c.Integer("Distance", &TMagnetClient::Distance, &TMagnetClient::SetDistance);
}

TMagnetClient::TMagnetClient(gui::TComponent* owner) : gui::TComponent(owner) {
  ownerForm_ = OwnerAsForm(owner);
  if (!Designing(*this)) {
    hooked_ = ownerForm_;
    hookId_ = hooked_->AddWindowHook([this](gui::TMessage& m) { return FormMessage(m); });
  }
}

TMagnetClient::~TMagnetClient() {
  if (hooked_) hooked_->RemoveWindowHook(hookId_);
  if (server_) server_->Undock(this);
}

void TMagnetClient::SetOwnerForm(gui::TCustomForm* form) {
  if (form == ownerForm_) return;
  if (ownerForm_ && ownerForm_ != Owner()) ownerForm_->RemoveFreeNotification(this);
  ownerForm_ = form;
  if (form && form != Owner()) form->FreeNotification(this);
}

void TMagnetClient::Notification(gui::TComponent* component, gui::TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == gui::opRemove && component == ownerForm_) ownerForm_ = nullptr;
}

bool TMagnetClient::FormMessage(gui::TMessage& m) {
  if (m.Msg != WM_MOVE) return false;
  m.Result = 0;
  Moved(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
  return true;
}

void TMagnetClient::Moved(int x, int y) {
  TMagnetServer* server = TMagnetServer::Current();
  if (!ownerForm_ || !server || !server->OwnerForm()) return;
  gui::TCustomForm& form = *ownerForm_;
  const TRect window = WindowBounds(form);
  const TRect client = gui::Bounds(x, y, window.Width(), window.Height());
  const TRect area = WindowBounds(*server->OwnerForm());

  TMagnetStyle side = MagnetSide(client, area, distance_);
  TPoint snapped;
  bool snaps = MagnetSnap(side, server->MagnetStyle(), client, area, snapped);
  if (snaps) {
    // Only the coordinate against the side changes. The window is moved
    // directly: the form's bounds are still those before this move, so its
    // setters could take the new place for no change at all.
    TPoint to{window.Left, window.Top};
    if (side == msTop || side == msBottom)
      to.Y = snapped.Y;
    else
      to.X = snapped.X;
    if (to.X != window.Left || to.Y != window.Top)
      SetWindowPos(form.Handle(), nullptr, to.X, to.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (snaps && server->Active()) {
    if (!server_) server->Dock(this);
  } else {
    (server_ ? server_ : server)->Undock(this);
  }
}
