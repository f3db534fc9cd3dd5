#include "platform/FileWrites.h"

#include "UnicodeFiles.h"

namespace tarnwick::platform {
namespace {

class DiskFileWrites final : public FileWrites {
 public:
  bool WriteProfileValue(const std::wstring& path, const wchar_t* section, const wchar_t* key,
                         const wchar_t* value) override {
    return tarnwick::WriteProfileValue(path, section, key, value);
  }
  bool ReplaceText(const std::wstring& path, const std::wstring& text) override {
    return ReplaceWithUnicodeText(path, text);
  }
};

}  // namespace

FileWrites& RealFileWrites() {
  static DiskFileWrites instance;
  return instance;
}

}  // namespace tarnwick::platform
