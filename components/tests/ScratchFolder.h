// A fresh folder under the temporary folder, removed with everything in it.
#pragma once

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& tag) {
    static int counter = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("brimvale-" + tag + "-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(++counter));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder with its trailing backslash.
  std::string Path() const { return path_.string() + "\\"; }

  // Writes `bytes` as they are into a file of the folder; returns its full path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
    return Path() + name;
  }

  std::string MakeFolder(const std::string& name) const {
    std::filesystem::create_directories(path_ / name);
    return Path() + name;
  }

 private:
  std::filesystem::path path_;
};
