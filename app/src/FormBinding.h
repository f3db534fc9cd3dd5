// What the code formgen writes from the form files stands on (see
// tools/formgen/README.md): binding a typed field to the form's component of
// its name once the form is read, the places of a form's texts, and the
// language tables that fill them.
#pragma once

#include <span>
#include <string>

#include "gui/Component.h"
#include "gui/Exceptions.h"
#include "gui/Object.h"

namespace orvane {

// The component `name` of `form`, of class T; EFormError when the form has
// none (a form resource out of step with its class).
template <class T>
void Bind(gui::TComponent& form, T*& field, const char* name) {
  field = dynamic_cast<T*>(form.FindComponent(name));
  if (!field)
    throw gui::EFormError("The form " + form.Name() + " has no " + T::StaticClass().Name() + " " + name);
}

// A bound field as a component; EFormError while it is not bound yet.
template <class T>
gui::TComponent& BoundPart(T* field, const char* name) {
  if (!field) throw gui::EFormError(std::string("The component ") + name + " is not bound yet");
  return *field;
}

// A part number outside the form's parts.
[[noreturn]] void NoSuchPart(const char* form, int part);

// Where a text of a component goes: its caption, hint or text, or the
// caption of one of a list view's columns.
struct TTextSlot {
  enum TKind { Caption, Hint, Text, ColumnCaption };
  TKind Kind = Caption;
  int Column = 0;
  friend constexpr bool operator==(const TTextSlot&, const TTextSlot&) = default;
};
inline constexpr TTextSlot kCaption{TTextSlot::Caption};
inline constexpr TTextSlot kHint{TTextSlot::Hint};
inline constexpr TTextSlot kText{TTextSlot::Text};
constexpr TTextSlot ColumnCaption(int column) { return {TTextSlot::ColumnCaption, column}; }

// "Caption", "Hint", "Text", "Columns[1].Caption".
std::string SlotName(TTextSlot slot);
// Whether objects of the class have the slot: its property (published or
// not), or the columns of a list view.
bool HasSlot(const gui::TClass& cls, TTextSlot slot);
// Sets the slot through the class's property table, as reading the form
// did; a column the list view does not have is passed over. EFormError
// when the component has no such slot.
void SetSlotText(gui::TComponent& component, TTextSlot slot, const std::string& text);

// A text one of a form's parts (the form or a component) shows.
template <class Part>
struct TFormText {
  Part Component;
  TTextSlot Slot;
};

// A row of a window's language table: the slot takes the language string.
template <class Part>
struct TLanguageText {
  Part Component;
  TTextSlot Slot;
  const std::string* Text;
};

// A window's texts from the language strings, in the order they are set,
// and the texts of its form that no row sets: kept as the form gives them,
// or set by code with figures or a state.
template <class Part>
struct TLanguageTable {
  std::span<const TLanguageText<Part>> Rows;
  std::span<const TFormText<Part>> NotFromTable;
};

// Sets every row's text on the form's parts, in order.
template <class Form>
void ApplyTexts(Form& form, const TLanguageTable<typename Form::Part>& table) {
  for (const auto& row : table.Rows) SetSlotText(form.PartComponent(row.Component), row.Slot, *row.Text);
}

}  // namespace orvane
