// Starts the real orvane.exe from a copy of the staged program folder and
// drives it through the automation channel. Each test starts from a folder
// without Config\, so the engine makes its files afresh; the program holds
// a single-instance mutex, so tests that start it run alone.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "gui/Automation.h"

namespace orvane::testing {

class ProgramRun : public ::testing::Test {
 protected:
  // The copy of the program folder the build puts beside the test.
  static std::filesystem::path Folder() {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    return std::filesystem::path(self).parent_path() / "PagesProgram";
  }
  static std::filesystem::path ConfigFile(const std::string& name) { return Folder() / "Config" / name; }

  void SetUp() override {
    std::error_code ignored;
    std::filesystem::remove_all(Folder() / "Config", ignored);
    ASSERT_TRUE(std::filesystem::exists(Folder() / "orvane.exe"));
  }

  void TearDown() override { Stop(); }

  // Starts the program and waits for its main window's first showing.
  void Start() {
    ASSERT_EQ(process_.hProcess, nullptr) << "already running";
    SetEnvironmentVariableA("BRIMVALE_AUTOMATION", "1");
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    std::string command = "\"" + (Folder() / "orvane.exe").string() + "\"";
    const std::string folder = Folder().string();
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                               &startup, &process_));
    client_ = std::make_unique<gui::automation::TAutomationClient>();
    ASSERT_TRUE(client_->Connect(process_.dwProcessId, 60000));
    ASSERT_EQ(Await("prop\tMainForm\tTag", "1"), "1") << "the main window never showed";
  }

  // Closes the main window as the user does and waits for the program's end.
  void Stop() {
    if (!process_.hProcess) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      Ask("close\tMainForm");
      if (WaitForSingleObject(process_.hProcess, 30000) == WAIT_TIMEOUT) {
        ADD_FAILURE() << "the program did not end when its window closed";
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 10000);
      }
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    process_ = {};
    client_.reset();
  }

  void Restart() {
    Stop();
    Start();
  }

  // One command; its words separated by tabs.
  std::string Ask(const std::string& command) { return client_ ? client_->Send(command) : "error: not started"; }

  // Asks until the answer is one wanted (clicks and keys run after their
  // answer); gives the last answer.
  std::string Await(const std::string& command, const std::function<bool(const std::string&)>& wanted) {
    std::string answer;
    const DWORD start = GetTickCount();
    do {
      answer = Ask(command);
      if (wanted(answer)) break;
      Sleep(20);
    } while (GetTickCount() - start < 60000);
    return answer;
  }
  std::string Await(const std::string& command, const std::string& wanted) {
    return Await(command, [&](const std::string& answer) { return answer == wanted; });
  }

  // A control's text and a published property, as the program has them once
  // what was asked before has run.
  std::string Text(const std::string& path, const std::string& wanted) { return Await("text\t" + path, wanted); }
  std::string Prop(const std::string& path, const std::string& name, const std::string& wanted) {
    return Await("prop\t" + path + "\t" + name, wanted);
  }
  // A value of Config\config.ini as the profile routines read it.
  static std::string Setting(const std::string& section, const std::string& key) {
    char value[512] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "<none>", value, sizeof(value),
                             ConfigFile("config.ini").string().c_str());
    return value;
  }
  // The value once it is the one wanted (a click's save runs after its answer).
  static std::string AwaitSetting(const std::string& section, const std::string& key, const std::string& wanted) {
    std::string value;
    const DWORD start = GetTickCount();
    while ((value = Setting(section, key)) != wanted && GetTickCount() - start < 60000) Sleep(20);
    return value;
  }
  // Writes a value before the program starts (the file is made when missing).
  static void SetSetting(const std::string& section, const std::string& key, const std::string& value) {
    std::filesystem::create_directories(Folder() / "Config");
    WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                               ConfigFile("config.ini").string().c_str());
  }

  // The lines of a list file (UTF-16 with a byte-order mark, CR LF after each
  // line); the names are plain ASCII.
  static std::vector<std::string> ListFile(const std::string& name) {
    std::ifstream in(ConfigFile(name), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) text += bytes[i];
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
      lines.push_back(text.substr(at, end - at));
    return lines;
  }
  static std::vector<std::string> AwaitListFile(const std::string& name, const std::vector<std::string>& wanted) {
    std::vector<std::string> lines;
    const DWORD start = GetTickCount();
    while ((lines = ListFile(name)) != wanted && GetTickCount() - start < 60000) Sleep(20);
    return lines;
  }
  static void WriteListFile(const std::string& name, const std::vector<std::string>& lines) {
    std::filesystem::create_directories(Folder() / "Config");
    std::string bytes = "\xFF\xFE";
    for (const std::string& line : lines)
      for (char c : line + "\r\n") bytes += std::string{c, '\0'};
    std::ofstream(ConfigFile(name), std::ios::binary) << bytes;
  }

 private:
  PROCESS_INFORMATION process_{};
  std::unique_ptr<gui::automation::TAutomationClient> client_;
};

}  // namespace orvane::testing
