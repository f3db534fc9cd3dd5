// Existence tests for paths in the system code page; used inside this folder only.
#pragma once

#include <string>

namespace components {

namespace vee {

// True when the path names an existing directory.
bool DirectoryExists(const std::string& path);

// True when the path names an existing file (not a directory).
bool FileExists(const std::string& path);

// Drops all leading and trailing characters whose code is 32 or lower.
std::string TrimBlanks(const std::string& text);

}  // namespace vee

}  // namespace components
