// Event types. An event is a std::function held in a public data member of
// the component (OnClick, OnChange, ...); an empty function means "not
// assigned". Forms bind them by handler name (see FormReader.h), and code may
// assign any callable.
#pragma once

#include <windows.h>

#include <functional>

#include "gui/Types.h"

namespace gui {

class TObject;

enum TShiftFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = Set<TShiftFlag>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
// Key is a virtual-key code; a handler may change it (0 swallows the key).
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// The answer a modal form or message box gives; the values are the
// platform's dialog-box command identifiers.
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;
constexpr TModalResult mrClose = IDCLOSE;

struct TIdentMap;
// mrNone .. mrClose by name, for modal-result properties.
const TIdentMap& ModalResultIdents();

}  // namespace gui
