// A test that owns one form read from its form resource: made before each
// test, deleted after it, with the messages on either side handled.
#pragma once

#include <gtest/gtest.h>

#include "gui/Forms.h"
#include "testsupport/Pump.h"

namespace testsupport {

template <class Form>
class FormFixture : public ::testing::Test {
 protected:
  // Shown forms take the focus and the foreground; a form that stays hidden
  // still gets its window, so it can be painted and sent messages.
  enum class Show { Yes, No };
  explicit FormFixture(Show show = Show::Yes) : show_(show) {}

  void SetUp() override {
    form = gui::CreateForm<Form>(gui::Application);
    if (show_ == Show::Yes)
      form->Show();
    else
      form->HandleNeeded();
    Pump();
  }

  void TearDown() override {
    delete form;
    form = nullptr;
    Pump();
  }

  // A component of the form by name; a failure (and null) when there is no
  // such component of that class.
  template <class T>
  T* Get(const char* name) {
    T* c = dynamic_cast<T*>(form->FindComponent(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }

  Form* form = nullptr;

 private:
  Show show_;
};

}  // namespace testsupport
