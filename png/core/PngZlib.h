// One-shot zlib helpers of the text chunks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace png {

// Inflated text beyond this size counts as a failed inflate; a small zTXt
// chunk must not be able to claim gigabytes.
constexpr size_t MaxInflatedTextSize = size_t(16) << 20;

// zlib accepts levels 0 to 9; larger settings mean the best it has.
inline int ZlibLevel(int level) { return level < 0 ? 0 : (level > 9 ? 9 : level); }

// Both answer success; on failure message holds zlib's text.
bool DecompressBuffer(const uint8_t* input, size_t size, std::vector<uint8_t>& output,
                      std::string& message, size_t limit = MaxInflatedTextSize);
bool CompressBuffer(const uint8_t* input, size_t size, int level, std::vector<uint8_t>& output,
                    std::string& message);

}  // namespace png
