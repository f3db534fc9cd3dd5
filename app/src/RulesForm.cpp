#include "RulesForm.h"

#include <algorithm>
#include <string>

#include "LanguageTables.h"
#include "MagnetCS.h"
#include "MainForm.h"
#include "SkinForm.h"
#include "SkinImagePanel.h"
#include "VeeButton.h"
#include "VozEverAvizi.h"
#include "CkEdit.h"
#include "CkLabel.h"
#include "CkLstBox.h"
#include "engineclient/EngineClient.h"

using namespace gui;
using namespace components;

namespace orvane {

TRulesForm* RulesForm = nullptr;

namespace {

// Nothing but blanks and control characters.
bool IsBlank(const std::string& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

TComPtr<IMORulesList> EngineList(int listType) {
  TMOMain& engine = *MainForm->Quillon;
  switch (listType) {
    case TRulesForm::kBlackList: return engine.BlackList();
    case TRulesForm::kWhiteList: return engine.WhiteList();
    case TRulesForm::kSmartList: return engine.SmartList();
    default: return {};
  }
}

const std::string& ListTitle(int listType) {
  switch (listType) {
    case TRulesForm::kBlackList: return LANG_RL_BLACKLIST;
    case TRulesForm::kWhiteList: return LANG_RL_WHITELIST;
    case TRulesForm::kSmartList: return LANG_RL_SMARTLIST;
    default: return LANG_RL_RULESLIST;
  }
}

}  // namespace

GUI_DEFINE_CLASS(TRulesForm) { DefineHandlers(c); }

void TRulesForm::Loaded() {
  inherited::Loaded();
  BindComponents();
}

void TRulesForm::FormCreate(TObject*) { ListType = 0; }

void TRulesForm::FormShow(TObject*) { ApplyLanguage(); }

void TRulesForm::ApplyLanguage() {
  const std::string& title = ListTitle(ListType);
  SetCaption(title);
  cklblRLTitle->SetCaption(title);
  ApplyTexts(*this, RulesFormLanguage());
}

void TRulesForm::ShowList(int listType) {
  TComPtr<IMORulesList> list = EngineList(listType);
  if (!list) return;
  ListType = listType;
  const bool readOnly = listType == kSmartList;
  cklblRLAutoList->SetVisible(readOnly);
  ckedtRLNewItem->SetVisible(!readOnly);
  btnRLAdd->SetVisible(!readOnly);
  btnRLDelete->SetVisible(!readOnly);

  cklstRLRuleList->Clear();
  // The engine reads its file again, so the window shows what it holds now.
  OleCheck(list->Refresh());
  unsigned long count = 0;
  OleCheck(list->get_ItemCount(&count));
  for (unsigned long i = 0; i < count; ++i) {
    TBStr item;
    // S_FALSE: the list shrank meanwhile (the analyzer rebuilds the smart list).
    if (OleCheck(list->get_Item(i, item.Out())) != S_OK) break;
    cklstRLRuleList->AddString(item.Text());
  }
  if (cklstRLRuleList->Items()->Count() > 0) cklstRLRuleList->SetItemIndex(0);
}

void TRulesForm::cklblRLTitleMouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  ReleaseCapture();
  PostMessageA(Handle(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void TRulesForm::btnRLCloseClick(TObject*) { Close(); }

void TRulesForm::ckedtRLNewItemClick(TObject*) { ckedtRLNewItem->SelectAll(); }

// The name goes to the engine as typed, blanks and case kept; a name the
// list already holds in any case is not added twice.
void TRulesForm::btnRLAddClick(TObject*) {
  const std::string text = ckedtRLNewItem->Text();
  if (IsBlank(text) || text == LANG_RL_CKEDTRLNEWITEM) return;
  if (Editable()) {
    TComPtr<IMORulesList> list = EngineList(ListType);
    TBStr name(text);
    VARIANT_BOOL listed = VARIANT_FALSE;
    OleCheck(list->get_IsInList(name, &listed));
    if (!listed) {
      OleCheck(list->AddItem(name));
      cklstRLRuleList->AddString(text);
      cklstRLRuleList->SetItemIndex(cklstRLRuleList->Items()->Count() - 1);
    }
  }
  if (ckedtRLNewItem->CanFocus()) ckedtRLNewItem->SetFocus();
  ckedtRLNewItem->SelectAll();
}

void TRulesForm::btnRLDeleteClick(TObject*) {
  if (!Editable()) return;
  const std::string text = cklstRLRuleList->GetSelectedText();
  if (IsBlank(text)) return;
  OleCheck(EngineList(ListType)->RemoveItem(TBStr(text)));
  // The entry now at the removed one's place is selected, or the new last.
  const int index = cklstRLRuleList->ItemIndex();
  cklstRLRuleList->Items()->Delete(index);
  const int count = cklstRLRuleList->Items()->Count();
  if (count > 0) cklstRLRuleList->SetItemIndex(std::min(index, count - 1));
}

}  // namespace orvane
