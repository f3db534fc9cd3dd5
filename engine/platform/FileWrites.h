// Seam: how the smart analyzer writes its learning file, one profile value
// at a time or the whole file at once. Tests count the writes.
#pragma once

#include <string>

namespace tarnwick::platform {

class FileWrites {
 public:
  virtual ~FileWrites() = default;
  // One value of a profile (INI) file; false when it was not written.
  virtual bool WriteProfileValue(const std::wstring& path, const wchar_t* section, const wchar_t* key,
                                 const wchar_t* value) = 0;
  // The whole file, as UTF-16LE text, replaced in one step.
  virtual bool ReplaceText(const std::wstring& path, const std::wstring& text) = 0;
};

// WriteProfileValue and ReplaceWithUnicodeText (UnicodeFiles.h): neither
// touches a read-only file.
FileWrites& RealFileWrites();

}  // namespace tarnwick::platform
