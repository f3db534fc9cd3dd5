// Binds a form class's typed fields to the components its form resource
// made, by name, once the form is read.
#pragma once

#include <string>

#include "gui/Component.h"
#include "gui/Exceptions.h"

namespace orvane {

// The component `name` of `form`, of class T; EFormError when the form has
// none (a form resource out of step with its class).
template <class T>
void Bind(gui::TComponent& form, T*& field, const char* name) {
  field = dynamic_cast<T*>(form.FindComponent(name));
  if (!field)
    throw gui::EFormError("The form " + form.Name() + " has no " + T::StaticClass().Name() + " " + name);
}

}  // namespace orvane
