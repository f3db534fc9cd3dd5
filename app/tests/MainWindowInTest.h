// A main window made inside a test program, over the engine copied beside
// it, as orvane.exe makes its own: for orders of events and engines a
// running program cannot be brought to.
#pragma once

#include <gtest/gtest.h>

#include "MainForm.h"
#include "Program.h"
#include "ProgramHarness.h"
#include "VozEverAvizi.h"
#include "gui/Automation.h"
#include "gui/Forms.h"

namespace harness {

// Call from SetUpTestSuite (a failed assertion there skips the suite).
inline void MakeMainWindow() {
  ASSERT_TRUE(RegisterEngine(OwnFolder() + "Tarnwick.dll"));
  orvane::RegisterProgramClasses();
  components::InitializeLanguages();
  gui::Application->Initialize();
  gui::automation::Enable();
  gui::Application->CreateForm(orvane::MainForm);
  ASSERT_FALSE(gui::Application->Terminated());
}

// Call from TearDownTestSuite.
inline void CloseMainWindow() {
  if (orvane::MainForm) orvane::MainForm->Close();
  gui::automation::Pump();
}

}  // namespace harness
