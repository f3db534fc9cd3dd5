#include "MagnetCS.h"

#include "gui/Forms.h"

namespace components {

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

// The window's rectangle as the system has it now: while a move is being
// reported the form's own bounds have not caught up yet.
TRect WindowBounds(gui::TCustomForm& form) {
  RECT r;
  if (form.HandleAllocated() && GetWindowRect(form.Handle(), &r)) return gui::Rect(r.left, r.top, r.right, r.bottom);
  return form.BoundsRect();
}

}  // namespace

GUI_DEFINE_CLASS(TMagnetComponent) {
  c.Component("OwnerForm", &TMagnetComponent::OwnerForm, &TMagnetComponent::SetOwnerForm);
}

TMagnetComponent::~TMagnetComponent() {
  if (hooked_) hooked_->RemoveWindowHook(hookId_);
}

void TMagnetComponent::ServeOwner() {
  if (!Owner()) throw gui::EInvalidCast("Invalid class typecast");
  ownerForm_ = &Owner()->As<gui::TCustomForm>();
  if (ComponentState().Contains(gui::csDesigning)) return;
  hooked_ = ownerForm_;
  hookId_ = hooked_->AddWindowHook([this](gui::TMessage& m) { return FormMessage(m); });
}

void TMagnetComponent::SetOwnerForm(gui::TCustomForm* form) {
  if (form == ownerForm_) return;
  // The owner outlives this component anyway; any other form may go first.
  if (ownerForm_ && ownerForm_ != Owner()) ownerForm_->RemoveFreeNotification(this);
  ownerForm_ = form;
  if (form && form != Owner()) form->FreeNotification(this);
}

void TMagnetComponent::Notification(gui::TComponent* component, gui::TOperation operation) {
  inherited::Notification(component, operation);
  if (operation == gui::opRemove && component == ownerForm_) ownerForm_ = nullptr;
}

// ---------------------------------------------------------------------------

GUI_DEFINE_CLASS(TMagnetServer) {
  c.SetOf("MagnetStyle", MagnetStyleInfo(), &TMagnetServer::MagnetStyle, &TMagnetServer::SetMagnetStyle);
  c.Boolean("Active", &TMagnetServer::Active, &TMagnetServer::SetActive);
}

TMagnetServer::TMagnetServer(gui::TComponent* owner) : TMagnetComponent(owner) {
  if (g_server) return;
  ServeOwner();
  g_server = this;
}

TMagnetServer::~TMagnetServer() {
  // Clients still docked must not reach back to a server that is gone.
  for (TMagnetClient* client : clients_) client->server_ = nullptr;
  if (g_server == this) g_server = nullptr;
}

TMagnetServer* TMagnetServer::Current() { return g_server; }

bool TMagnetServer::FormMessage(gui::TMessage& m) {
  if (m.Msg != WM_MOVING) return false;
  m.Result = 0;
  const RECT* target = reinterpret_cast<const RECT*>(m.LParam);
  gui::TCustomForm* form = OwnerForm();
  if (!form || !active_ || !target) return true;
  int dx = target->left - form->Left();
  int dy = target->top - form->Top();
  form->SetBounds(target->left, target->top, form->Width(), form->Height());
  // Each client moves in one step: a move in two (left, then top) would let
  // it snap against the server's new place half-way and land elsewhere.
  std::vector<TMagnetClient*> snapshot = clients_;
  for (TMagnetClient* client : snapshot) {
    gui::TCustomForm* clientForm = client->OwnerForm();
    if (!client->Enable() || !clientForm) continue;
    clientForm->SetBounds(clientForm->Left() + dx, clientForm->Top() + dy, clientForm->Width(), clientForm->Height());
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
  c.Boolean("Enable", &TMagnetClient::Enable, &TMagnetClient::SetEnable);
  c.Integer("Distance", &TMagnetClient::Distance, &TMagnetClient::SetDistance);
}

TMagnetClient::TMagnetClient(gui::TComponent* owner) : TMagnetComponent(owner) { ServeOwner(); }

TMagnetClient::~TMagnetClient() {
  if (server_) server_->Undock(this);
}

bool TMagnetClient::FormMessage(gui::TMessage& m) {
  if (m.Msg != WM_MOVE) return false;
  m.Result = 0;
  Moved(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
  return true;
}

void TMagnetClient::Moved(int x, int y) {
  TMagnetServer* server = TMagnetServer::Current();
  if (!OwnerForm() || !server || !server->OwnerForm()) return;
  gui::TCustomForm& form = *OwnerForm();
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

namespace {
// Forms may name the classes as soon as the program links them.
const bool registered = (gui::RegisterClasses({&TMagnetServer::StaticClass(), &TMagnetClient::StaticClass()}), true);
}  // namespace

}  // namespace components
