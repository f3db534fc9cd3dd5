#include "FormBinding.h"

#include "gui/ComCtrls.h"

namespace orvane {

namespace {

const char* PropertyName(TTextSlot slot) {
  switch (slot.Kind) {
    case TTextSlot::Hint:
      return "Hint";
    case TTextSlot::Text:
      return "Text";
    case TTextSlot::Caption:
    case TTextSlot::ColumnCaption:
      break;
  }
  return "Caption";
}

// The string property a slot other than a column's is, published or not.
const gui::TPropInfo* SlotProperty(const gui::TClass& cls, TTextSlot slot) {
  const gui::TPropInfo* prop = cls.FindDeclaredProperty(PropertyName(slot));
  return prop && prop->Kind == gui::TPropKind::String && prop->SetStr ? prop : nullptr;
}

}  // namespace

void NoSuchPart(const char* form, int part) {
  throw gui::EFormError(std::string("The form ") + form + " has no part " + std::to_string(part));
}

std::string SlotName(TTextSlot slot) {
  if (slot.Kind == TTextSlot::ColumnCaption) return "Columns[" + std::to_string(slot.Column) + "].Caption";
  return PropertyName(slot);
}

bool HasSlot(const gui::TClass& cls, TTextSlot slot) {
  if (slot.Kind == TTextSlot::ColumnCaption) return cls.InheritsFrom(gui::TCustomListView::StaticClass());
  return SlotProperty(cls, slot) != nullptr;
}

void SetSlotText(gui::TComponent& component, TTextSlot slot, const std::string& text) {
  if (slot.Kind == TTextSlot::ColumnCaption) {
    if (auto* list = dynamic_cast<gui::TCustomListView*>(&component)) {
      if (slot.Column >= 0 && slot.Column < list->Columns()->Count())
        list->Columns()->Items(slot.Column)->SetCaption(text);
      return;
    }
  } else if (const gui::TPropInfo* prop = SlotProperty(component.ClassType(), slot)) {
    prop->SetStr(component, text);
    return;
  }
  throw gui::EFormError(component.Name() + " (" + component.ClassName() + ") has no " + SlotName(slot));
}

}  // namespace orvane
