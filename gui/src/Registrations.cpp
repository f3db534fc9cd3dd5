// The layer's own classes that forms and picture data may name.
#include "gui/ActnList.h"
#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/ComCtrls.h"
#include "gui/Component.h"
#include "gui/Events.h"
#include "gui/ExtCtrls.h"
#include "gui/Icon.h"
#include "gui/ImageList.h"
#include "gui/Menus.h"
#include "gui/StdCtrls.h"

namespace gui {

void RegisterStandardClasses() {
  RegisterClasses({&TComponent::StaticClass(), &TImageList::StaticClass(), &TBitmap::StaticClass(),
                   &TIcon::StaticClass(), &TPicture::StaticClass(), &TFont::StaticClass(),
                   &TBrush::StaticClass(), &TPen::StaticClass(), &TLabel::StaticClass(), &TButton::StaticClass(),
                   &TListBox::StaticClass(), &TEdit::StaticClass(), &TPanel::StaticClass(), &TShape::StaticClass(),
                   &TTimer::StaticClass(), &TPopupMenu::StaticClass(), &TMenuItem::StaticClass(),
                   &TActionList::StaticClass(), &TAction::StaticClass(), &TListView::StaticClass(),
                   &THotKey::StaticClass()});
}

const TIdentMap& ModalResultIdents() {
  static const TIdentMap map{"TModalResult",
                             {{"mrNone", mrNone},
                              {"mrOk", mrOk},
                              {"mrCancel", mrCancel},
                              {"mrAbort", mrAbort},
                              {"mrRetry", mrRetry},
                              {"mrIgnore", mrIgnore},
                              {"mrYes", mrYes},
                              {"mrNo", mrNo},
                              {"mrClose", mrClose}}};
  return map;
}

}  // namespace gui
