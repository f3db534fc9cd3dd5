// Every library of the tree in one program, as the program itself will hold
// them: the build links each archive whole, and this file includes every
// public header, so two libraries that define one symbol, one inline
// function or one global name fail to build. What only shows at run time,
// a class name or a resource two libraries both claim, is tested here.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The ownership kit and the class library.
#include "gui/ActnList.h"
#include "gui/Automation.h"
#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Color.h"
#include "gui/ComCtrls.h"
#include "gui/ComObj.h"
#include "gui/Component.h"
#include "gui/Controls.h"
#include "gui/Dialogs.h"
#include "gui/Events.h"
#include "gui/Exceptions.h"
#include "gui/ExtCtrls.h"
#include "gui/FormLexer.h"
#include "gui/FormReader.h"
#include "gui/Forms.h"
#include "gui/Graphic.h"
#include "gui/Icon.h"
#include "gui/ImageList.h"
#include "gui/Menus.h"
#include "gui/Messages.h"
#include "gui/Object.h"
#include "gui/StdCtrls.h"
#include "gui/Streams.h"
#include "gui/Strings.h"
#include "gui/Themes.h"
#include "gui/Types.h"
#include "kit/Own.h"
// The engine (its server entry points and module) and its client.
#include "EngineServer.h"
#include "com/ComModule.h"
#include "engineclient/EngineClient.h"
// The PNG codec and picture.
#include "PngChunks.h"
#include "PngErrors.h"
#include "PngImage.h"
#include "PngPicture.h"
#include "PngStream.h"
// The components.
#include "HotKeyManager.h"
#include "HotKeyTexts.h"
#include "LayeredButton.h"
#include "LayeredControl.h"
#include "LayeredDraw.h"
#include "LayeredGdiplus.h"
#include "LayeredLabel.h"
#include "LayeredUtils.h"
#include "LayeredWnd.h"
#include "MagnetCS.h"
#include "PathChecks.h"
#include "SharedUtilityWindow.h"
#include "SimpleTimer.h"
#include "TrayIcon.h"
#include "VeeButton.h"
#include "VeeButtonLayout.h"
#include "VeeCustomButton.h"
#include "VeeRegTools.h"
#include "VeeSysTools.h"
#include "VeeTabPanel.h"
#include "VeeWindowsUtils.h"
#include "VozEverAvizi.h"
// The controls.
#include "CkButton.h"
#include "CkCommon.h"
#include "CkDisplay.h"
#include "CkEdit.h"
#include "CkFramed.h"
#include "CkGrafx.h"
#include "CkLabel.h"
#include "CkListVw.h"
#include "CkLstBox.h"
#include "CkPrgres.h"
#include "CkRadChk.h"
#include "CkShell.h"
#include "CkTabOnEnter.h"
#include "CkTrkBar.h"
// The skins.
#include "SkinForm.h"
#include "SkinGraphics.h"
#include "SkinImagePanel.h"
#include "SkinProgressBar.h"
#include "SkinRegistration.h"
#include "SkinTheme.h"
// What the tests share.
#include "testsupport/FormFixture.h"
#include "testsupport/Hooks.h"
#include "testsupport/Pixels.h"
#include "testsupport/Pump.h"

namespace {

// The class registry refuses a second class under a name it holds, so a
// name two libraries both publish fails here.
TEST(OneProgram, TheClassesOfEveryLibraryRegisterUnderNamesOfTheirOwn) {
  skins::RegisterSkinClasses();
  png::RegisterPngPicture();
  const std::vector<const gui::TClass*> classes = {
      &components::THotKeyManager::StaticClass(), &components::TLayeredButton::StaticClass(),
      &components::TLayeredLabel::StaticClass(),  &components::TfrmLayered::StaticClass(),
      &components::TMagnetServer::StaticClass(),  &components::TMagnetClient::StaticClass(),
      &components::TTrayIcon::StaticClass(),      &components::TVeeButton::StaticClass(),
      &ck::TCkLabel::StaticClass(),               &ck::TCkProgressBar::StaticClass(),
      &ck::TCkCheckBox::StaticClass(),            &ck::TCkRadioButton::StaticClass(),
      &ck::TCkTrackBar::StaticClass(),            &ck::TCkListBox::StaticClass(),
      &ck::TCkEdit::StaticClass(),                &ck::TCkListView::StaticClass(),
      &ck::TCkFrameController::StaticClass(),
  };
  for (const gui::TClass* cls : classes) EXPECT_NO_THROW(gui::RegisterClasses({cls})) << cls->Name();

  for (const gui::TClass* cls : classes) EXPECT_EQ(gui::GetClass(cls->Name()), cls) << cls->Name();
  EXPECT_EQ(gui::GetClass("TMOMain"), &gui::TMOMain::StaticClass());
  EXPECT_EQ(gui::GetClass("TPngPicture"), &png::TPngPicture::StaticClass());
  EXPECT_EQ(gui::GetClass("TSkinProgressBar"), &skins::TSkinProgressBar::StaticClass());
  EXPECT_EQ(gui::GetClass("TLabel"), &gui::TLabel::StaticClass());
}

// Resources of the libraries land in the one module: a name or number two
// of them claimed would leave one of them without its own.
TEST(OneProgram, TheResourcesOfEveryLibraryAreInTheOneModule) {
  HMODULE self = GetModuleHandleW(nullptr);
  EXPECT_NE(tarnwick::com::TypeInfoOf(IID_IMOMain), nullptr) << "the engine's type library";
  char name[64] = {};
  EXPECT_GT(LoadStringA(self, 100, name, sizeof(name)), 0);
  EXPECT_STREQ(name, "Tarnwick");
  for (const char* bitmap : {"CKTRKBAR_H_BOX", "CKTRKBAR_WIN95_MASK", "MACOS_PROGRESSBAR", "BLUEGLASS_PROGRESSBAR"}) {
    kit::Gdi<HBITMAP> loaded(static_cast<HBITMAP>(LoadImageA(self, bitmap, IMAGE_BITMAP, 0, 0, 0)));
    EXPECT_TRUE(loaded) << bitmap;
  }
  EXPECT_NE(LoadCursorA(self, "CKTRKBAR_V_CURSOR"), nullptr);
}

}  // namespace
