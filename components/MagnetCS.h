// Window snapping: secondary windows snap to the main window's edges and then
// travel with it. This header holds the geometry; the components that hook
// the forms follow below it.
#pragma once

#include "gui/Object.h"
#include "gui/Types.h"

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
