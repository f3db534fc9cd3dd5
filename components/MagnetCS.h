// Window snapping: secondary windows snap to the main window's edges and then
// travel with it. This header holds the geometry; the components that hook
// the forms follow below it.
#pragma once

#include <vector>

#include "gui/Component.h"
#include "gui/Messages.h"
#include "gui/Object.h"
#include "gui/Types.h"

namespace gui {
class TCustomForm;
}

namespace components {

// The sides of the server window a client may dock to.
enum TMagnetStyle { msTop, msBottom, msLeft, msRight, msNone };
using TMagnetStyles = gui::Set<TMagnetStyle>;
const gui::TEnumInfo& MagnetStyleInfo();

// How far a client may overlap the server's right edge and still count as
// lying to its right.
constexpr int kMagnetRightOverlap = 10;

// The side of `server` next to which `client` lies, within `distance` pixels
// (msNone when none). Above or below needs one of the client's vertical edges
// inside the server's span; left or right one of its horizontal edges.
TMagnetStyle MagnetSide(const gui::TRect& client, const gui::TRect& server, int distance);

// Where the client's top-left goes when it snaps to `side`: only the one
// coordinate against that side changes. False (and `topLeft` untouched) for
// msNone or a side missing from `styles`.
bool MagnetSnap(TMagnetStyle side, TMagnetStyles styles, const gui::TRect& client, const gui::TRect& server,
                gui::TPoint& topLeft);

// ---------------------------------------------------------------------------

class TMagnetClient;

// What server and client share: the form they serve and the hook on its
// window procedure, which goes with the component.
class TMagnetComponent : public gui::TComponent {
  GUI_CLASS(TMagnetComponent, gui::TComponent)

 public:
  explicit TMagnetComponent(gui::TComponent* owner) : gui::TComponent(owner) {}
  ~TMagnetComponent() override;

  gui::TCustomForm* OwnerForm() const { return ownerForm_; }
  void SetOwnerForm(gui::TCustomForm* form);

 protected:
  // Takes the owner as OwnerForm (EInvalidCast when it is no form) and,
  // outside design time, hooks its window procedure.
  void ServeOwner();
  // The one message of the form the component takes; it answers it itself.
  virtual bool FormMessage(gui::TMessage& message) = 0;
  void Notification(gui::TComponent* component, gui::TOperation operation) override;

 private:
  gui::TCustomForm* ownerForm_ = nullptr;
  gui::TCustomForm* hooked_ = nullptr;
  int hookId_ = 0;
};

// Sits on the main window (the first one made is the process's server) and
// takes every docked client along when that window moves.
class TMagnetServer : public TMagnetComponent {
  GUI_CLASS(TMagnetServer, TMagnetComponent)

 public:
  // The owner must be a form (EInvalidCast otherwise). While another server
  // exists, the new one stays dormant: it hooks nothing and serves no one.
  explicit TMagnetServer(gui::TComponent* owner);
  ~TMagnetServer() override;

  // The server clients dock to, or null.
  static TMagnetServer* Current();

  // The docked clients, in docking order.
  const std::vector<TMagnetClient*>& MagnetClientList() const { return clients_; }
  TMagnetStyles MagnetStyle() const { return magnetStyle_; }
  void SetMagnetStyle(TMagnetStyles value) { magnetStyle_ = value; }
  // Off: clients neither dock nor follow.
  bool Active() const { return active_; }
  void SetActive(bool value) { active_ = value; }

 protected:
  bool FormMessage(gui::TMessage& message) override;

 private:
  friend class TMagnetClient;
  void Dock(TMagnetClient* client);
  void Undock(TMagnetClient* client);

  std::vector<TMagnetClient*> clients_;
  TMagnetStyles magnetStyle_{msTop, msBottom, msLeft, msRight};
  bool active_ = true;
};

// Sits on a secondary window: after each move of that window it snaps it to
// a side of the server's window within Distance pixels and docks it, or
// undocks it.
class TMagnetClient : public TMagnetComponent {
  GUI_CLASS(TMagnetClient, TMagnetComponent)

 public:
  explicit TMagnetClient(gui::TComponent* owner);
  ~TMagnetClient() override;

  // Set when the client docks; the server moves only enabled clients.
  bool Enable() const { return enable_; }
  void SetEnable(bool value) { enable_ = value; }
  int Distance() const { return distance_; }
  void SetDistance(int value) { distance_ = value; }

  // The server it is docked to, or null.
  TMagnetServer* DockedTo() const { return server_; }

 protected:
  bool FormMessage(gui::TMessage& message) override;

 private:
  friend class TMagnetServer;
  void Moved(int x, int y);

  bool enable_ = false;
  int distance_ = 50;
  TMagnetServer* server_ = nullptr;
};

}  // namespace components
