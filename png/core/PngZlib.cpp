#include "PngZlib.h"

#include <zlib.h>

namespace png {

namespace {
constexpr size_t kRound = 4096;

// Runs one zlib stream (already initialised) over the whole input, collecting
// the output round by round, until zlib reports the end of the stream.
template <class Step>
bool Pump(z_stream& zs, const uint8_t* input, size_t size, std::vector<uint8_t>& output,
          std::string& message, size_t limit, Step step) {
  zs.next_in = const_cast<Bytef*>(input);
  zs.avail_in = uInt(size);
  uint8_t round[kRound];
  for (;;) {
    zs.next_out = round;
    zs.avail_out = kRound;
    const int r = step(&zs);
    output.insert(output.end(), round, round + (kRound - zs.avail_out));
    if (r == Z_STREAM_END) return true;
    // A preset dictionary is never supplied, so it ends the text like an error.
    if (r < 0 || r == Z_NEED_DICT) {
      message = zs.msg ? zs.msg : "zlib error " + std::to_string(r);
      break;
    }
    if (output.size() > limit) {
      message = "output too large";
      break;
    }
  }
  output.clear();
  return false;
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
  const bool ok = Pump(zs, input, size, output, message, limit, [](z_stream* s) { return inflate(s, Z_NO_FLUSH); });
  inflateEnd(&zs);
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
  const bool ok = Pump(zs, input, size, output, message, SIZE_MAX, [](z_stream* s) { return deflate(s, Z_FINISH); });
  deflateEnd(&zs);
  return ok;
}

}  // namespace png
