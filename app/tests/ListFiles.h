// The engine's list files as the tests read and write them: UTF-16 with a
// byte-order mark, CR LF after each line; the names in them are plain ASCII.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace harness {

inline std::vector<std::string> ReadListFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) text += bytes[i];
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(text.substr(at, end - at));
  return lines;
}

inline void WriteListFile(const std::string& path, const std::vector<std::string>& lines) {
  std::string bytes = "\xFF\xFE";
  for (const std::string& line : lines)
    for (char c : line + "\r\n") bytes += std::string{c, '\0'};
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace harness
