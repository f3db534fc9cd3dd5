#include "PngZlib.h"

#include <zlib.h>

namespace {
constexpr size_t kRound = 4096;

std::string MessageOf(const z_stream& zs, int code) {
  return zs.msg ? zs.msg : "zlib error " + std::to_string(code);
}
}  // namespace

bool DecompressBuffer(const uint8_t* input, size_t size, std::vector<uint8_t>& output,
                      std::string& message, size_t limit) {
  output.clear();
  z_stream zs{};
  if (inflateInit(&zs) != Z_OK) {
    message = "inflateInit failed";
    return false;
  }
  zs.next_in = const_cast<Bytef*>(input);
  zs.avail_in = uInt(size);
  uint8_t round[kRound];
  bool ok = false;
  for (;;) {
    zs.next_out = round;
    zs.avail_out = kRound;
    int r = inflate(&zs, Z_NO_FLUSH);
    output.insert(output.end(), round, round + (kRound - zs.avail_out));
    if (r == Z_STREAM_END) {
      ok = true;
      break;
    }
    // A preset dictionary is never supplied, so it ends the text like an error.
    if (r < 0 || r == Z_NEED_DICT) {
      message = MessageOf(zs, r);
      break;
    }
    if (output.size() > limit) {
      message = "inflated text too large";
      break;
    }
  }
  inflateEnd(&zs);
  if (!ok) output.clear();
  return ok;
}

bool CompressBuffer(const uint8_t* input, size_t size, int level, std::vector<uint8_t>& output,
                    std::string& message) {
  output.clear();
  z_stream zs{};
  if (deflateInit(&zs, ZlibLevel(level)) != Z_OK) {
    message = "deflateInit failed";
    return false;
  }
  zs.next_in = const_cast<Bytef*>(input);
  zs.avail_in = uInt(size);
  uint8_t round[kRound];
  bool ok = false;
  for (;;) {
    zs.next_out = round;
    zs.avail_out = kRound;
    int r = deflate(&zs, Z_FINISH);
    output.insert(output.end(), round, round + (kRound - zs.avail_out));
    if (r == Z_STREAM_END) {
      ok = true;
      break;
    }
    if (r < 0) {
      message = MessageOf(zs, r);
      break;
    }
  }
  deflateEnd(&zs);
  if (!ok) output.clear();
  return ok;
}
