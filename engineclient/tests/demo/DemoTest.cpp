// The demonstration program, started as its own process and driven through
// the automation channel: a form from its resource, clicks on windowed and
// windowless controls, keys, a timer, a popup menu, a message box, the
// engine through the client component, and closing.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "gui/Automation.h"
#include "kit/Own.h"

using gui::automation::TAutomationClient;

namespace {

// Only keeps a broken run from hanging; a loaded machine takes its time.
constexpr DWORD kPatienceMs = 120000;

std::string Beside(const std::string& file) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self(path);
  return self.substr(0, self.find_last_of('\\') + 1) + file;
}

bool RegisterEngine() {
  HMODULE module = LoadLibraryA(Beside("Tarnwick.dll").c_str());
  auto registerServer = module ? reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
                                     reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")))
                               : nullptr;
  bool ok = registerServer && SUCCEEDED(registerServer());
  if (module) FreeLibrary(module);
  return ok;
}

class Demo : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RegisterEngine());
    SetEnvironmentVariableA("BRIMVALE_AUTOMATION", "1");
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    std::string command = "\"" + Beside("gui_demo.exe") + "\"";
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &started));
    process_.Reset(started.hProcess);
    kit::Handle thread(started.hThread);  // of no use here
    ASSERT_TRUE(client_.Connect(started.dwProcessId, kPatienceMs));
  }

  // A program the test left running goes with it.
  void TearDown() override {
    if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) TerminateProcess(process_.Get(), 1);
  }

  std::string Ask(const std::string& command) { return client_.Send(command); }

  // Asks again until the answer is one wanted (the program handles clicks
  // and keys after answering); gives the last answer.
  std::string Await(const std::string& command, const std::function<bool(const std::string&)>& wanted) {
    std::string answer;
    DWORD start = GetTickCount();
    do {
      answer = Ask(command);
      if (wanted(answer)) break;
      Sleep(20);
    } while (GetTickCount() - start < kPatienceMs);
    return answer;
  }
  std::string Await(const std::string& command, const std::string& wanted) {
    return Await(command, [&](const std::string& answer) { return answer == wanted; });
  }

  kit::Handle process_;
  TAutomationClient client_;
};

}  // namespace

TEST_F(Demo, TheProgramIsDrivenThroughTheAutomationChannel) {
  EXPECT_EQ(Ask("ping"), "pong");
  EXPECT_EQ(Ask("forms"), "DemoForm");
  std::string client = Ask("client\tDemoForm");
  EXPECT_EQ(client.substr(client.find(' ', client.find(' ') + 1) + 1), "300 200");
  EXPECT_EQ(Ask("text\tDemoForm.lblCounter"), "0");
  EXPECT_EQ(Ask("prop\tDemoForm.shpSpot\tHint"), "A spot\r\nto click");

  EXPECT_EQ(Ask("click\tDemoForm.btnAdd"), "ok");
  EXPECT_EQ(Await("text\tDemoForm.lblCounter", "1"), "1");
  Ask("click\tDemoForm.shpSpot");  // windowless
  EXPECT_EQ(Await("text\tDemoForm.lblCounter", "11"), "11");
  // Keys go to the control with the keyboard: on a busy machine the form
  // may not have it yet.
  const std::string focus =
      Await("focus", [](const std::string& answer) { return answer.rfind("DemoForm", 0) == 0; });
  ASSERT_EQ(focus.rfind("DemoForm", 0), 0u) << "the keyboard is elsewhere: '" << focus << "'";
  Ask("key\t83\tssAlt");  // the Ask button's accelerator
  EXPECT_EQ(Await("text\tDemoForm.lblAnswer", "yes"), "yes");
  Ask("key\t116");  // F5, previewed by the form
  EXPECT_EQ(Await("text\tDemoForm.lblCounter", "0"), "0");

  Ask("click\tDemoForm.btnAdd");
  Await("text\tDemoForm.lblCounter", "1");
  Ask("choose\tmniDouble");
  Ask("click\tDemoForm.shpSpot\tright");
  EXPECT_EQ(Await("text\tDemoForm.lblCounter", "2"), "2");
  EXPECT_EQ(Ask("popups"), "popSpot");
  Ask("menu\tDemoForm.mniReset");
  EXPECT_EQ(Await("text\tDemoForm.lblCounter", "0"), "0");

  Ask("answer\t7");
  Ask("click\tDemoForm.btnAsk");
  EXPECT_EQ(Await("text\tDemoForm.lblAnswer", "no"), "no");
  EXPECT_EQ(Ask("boxes"), "Question\tCount on?\t6\nQuestion\tCount on?\t7");

  Ask("click\tDemoForm.edtName");
  Ask("type\tabc");
  EXPECT_EQ(Await("text\tDemoForm.edtName", "abc"), "abc");
  EXPECT_EQ(Ask("state\tDemoForm.edtName"), "visible=1 showing=1 enabled=1 focused=1");
  std::string ticks = Await("text\tDemoForm.lblTicks", [](const std::string& a) { return a.rfind("ticks ", 0) == 0; });
  EXPECT_EQ(ticks.substr(0, 6), "ticks ");

  Ask("click\tDemoForm.btnEngine");
  EXPECT_EQ(Await("text\tDemoForm.lblEngine", "Tarnwick"), "Tarnwick");

  EXPECT_EQ(Ask("text\tDemoForm.nothing").substr(0, 6), "error:");
  EXPECT_EQ(Ask("close\tDemoForm"), "ok");
  ASSERT_EQ(WaitForSingleObject(process_.Get(), kPatienceMs), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(process_.Get(), &code);
  EXPECT_EQ(code, 0u);
}
