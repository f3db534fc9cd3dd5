// Decodes and encodes a set of generated images with the codec and with the
// system's libpng, and prints the throughput of both.
#include <png.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "PngImage.h"

namespace {
using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

struct Sample {
  std::string name;
  uint32_t width, height;
  int colourType, bitDepth;
  Bytes rows;  // PNG-order rows, unfiltered
  size_t rowBytes;
};

int Channels(int ct) { return ct == 2 ? 3 : ct == 4 ? 2 : ct == 6 ? 4 : 1; }

// Smooth gradients with some noise: about what screenshots and photos give.
Sample MakeSample(const std::string& name, uint32_t w, uint32_t h, int ct, int depth, double noise) {
  Sample s{name, w, h, ct, depth, {}, size_t(w) * Channels(ct) * depth / 8};
  s.rows.resize(s.rowBytes * h);
  std::mt19937 rng(42);
  std::normal_distribution<double> jitter(0, noise);
  const int bytesPerSample = depth / 8;
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x)
      for (int c = 0; c < Channels(ct); ++c) {
        double v = 0.5 + 0.4 * std::sin((x * (c + 1)) / 97.0) * std::cos(y / (61.0 + 13 * c));
        if (ct == 3) v = ((x / 16 + y / 16) % 200) / 255.0;
        v = std::fmin(1, std::fmax(0, v + (ct == 3 ? 0 : jitter(rng))));
        const uint32_t max = depth == 16 ? 65535 : 255;
        const uint32_t q = uint32_t(v * max);
        uint8_t* p = &s.rows[y * s.rowBytes + (size_t(x) * Channels(ct) + c) * bytesPerSample];
        if (depth == 16) {
          p[0] = uint8_t(q >> 8);
          p[1] = uint8_t(q);
        } else {
          p[0] = uint8_t(q);
        }
      }
  return s;
}

struct Buffer {
  const Bytes* in;
  size_t pos = 0;
  Bytes out;
};

void ReadFromBuffer(png_structp p, png_bytep data, png_size_t n) {
  auto* b = static_cast<Buffer*>(png_get_io_ptr(p));
  if (b->pos + n > b->in->size()) png_error(p, "read past end");
  std::memcpy(data, b->in->data() + b->pos, n);
  b->pos += n;
}
void WriteToBuffer(png_structp p, png_bytep data, png_size_t n) {
  auto* b = static_cast<Buffer*>(png_get_io_ptr(p));
  b->out.insert(b->out.end(), data, data + n);
}
void FlushBuffer(png_structp) {}

Bytes LibpngEncode(const Sample& s) {
  Buffer buffer;
  png_structp p = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(p);
  if (setjmp(png_jmpbuf(p))) throw std::runtime_error("libpng write failed");
  png_set_write_fn(p, &buffer, WriteToBuffer, FlushBuffer);
  png_set_IHDR(p, info, s.width, s.height, s.bitDepth, s.colourType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (s.colourType == 3) {
    std::vector<png_color> palette(256);
    for (int i = 0; i < 256; ++i) palette[i] = {png_byte(i), png_byte(255 - i), png_byte(i / 2)};
    png_set_PLTE(p, info, palette.data(), 256);
  }
  png_write_info(p, info);
  for (uint32_t y = 0; y < s.height; ++y)
    png_write_row(p, const_cast<png_bytep>(&s.rows[y * s.rowBytes]));
  png_write_end(p, info);
  png_destroy_write_struct(&p, &info);
  return buffer.out;
}

// Rows as the codec keeps them: blue, green, red order for colour images, in a
// new buffer each time, as the codec makes a new image.
void LibpngDecode(const Bytes& file) {
  Bytes pixels;
  Buffer buffer{&file};
  png_structp p = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(p);
  if (setjmp(png_jmpbuf(p))) throw std::runtime_error("libpng read failed");
  png_set_read_fn(p, &buffer, ReadFromBuffer);
  png_read_info(p, info);
  png_set_bgr(p);
  png_set_interlace_handling(p);
  png_read_update_info(p, info);
  const size_t rowBytes = png_get_rowbytes(p, info);
  const uint32_t h = png_get_image_height(p, info);
  pixels.resize(rowBytes * h);
  std::vector<png_bytep> rows(h);
  for (uint32_t y = 0; y < h; ++y) rows[y] = &pixels[rowBytes * (h - 1 - y)];
  png_read_image(p, rows.data());
  png_read_end(p, nullptr);
  png_destroy_read_struct(&p, &info, nullptr);
}

// Seconds of the fastest run of fn within half a second: the machine is
// shared, and the minimum is the figure least disturbed by other work.
double Time(const std::function<void()>& fn) {
  fn();
  double best = 1e9;
  const auto start = Clock::now();
  do {
    const auto t0 = Clock::now();
    fn();
    best = std::fmin(best, std::chrono::duration<double>(Clock::now() - t0).count());
  } while (std::chrono::duration<double>(Clock::now() - start).count() < 0.5);
  return best;
}

void Report(const char* what, const Sample& s, double ours, double theirs, size_t oursBytes = 0,
            size_t theirBytes = 0) {
  const double mb = double(s.rowBytes) * s.height / 1e6;
  std::printf("  %-7s %-30s codec %8.1f MB/s   libpng %8.1f MB/s   ratio %.2f", what, s.name.c_str(),
              mb / ours, mb / theirs, theirs / ours);
  if (oursBytes) std::printf("   size %zu vs %zu", oursBytes, theirBytes);
  std::printf("\n");
}
}  // namespace

int main(int argc, char** argv) {
  const bool decodeOnly = argc > 1 && std::strcmp(argv[1], "decode") == 0;
  const std::vector<Sample> samples = {
      MakeSample("RGB 8-bit 1024x768", 1024, 768, 2, 8, 0.01),
      MakeSample("RGBA 8-bit 1024x768", 1024, 768, 6, 8, 0.01),
      MakeSample("RGBA 8-bit 64x64 (button)", 64, 64, 6, 8, 0.0),
      MakeSample("RGB 16-bit 512x512", 512, 512, 2, 16, 0.01),
      MakeSample("gray 8-bit 1024x768", 1024, 768, 0, 8, 0.02),
      MakeSample("palette 8-bit 1024x768", 1024, 768, 3, 8, 0.0),
  };
  std::printf("PNG throughput (uncompressed image bytes per second; ratio > 1: the codec is faster)\n");
  double worst = 1e9;
  const char* only = argc > 2 ? argv[2] : nullptr;  // a name prefix, for profiling
  for (const Sample& s : samples) {
    if (only && s.name.rfind(only, 0) != 0) continue;
    const Bytes file = LibpngEncode(s);
    const double ours = Time([&] {
      TPngImage png;
      TPngMemoryStream stream(file);
      png.LoadFromStream(stream);
    });
    const double theirs = Time([&] { LibpngDecode(file); });
    Report("decode", s, ours, theirs);
    worst = std::fmin(worst, theirs / ours);
    if (decodeOnly) continue;

    TPngImage png;
    TPngMemoryStream in(file);
    png.LoadFromStream(in);
    png.DeflateLevel = 6;
    png.EncodeFilters = 0x1F;
    size_t ourSize = 0;
    const double ourEncode = Time([&] {
      TPngMemoryStream out;
      png.SaveToStream(out);
      ourSize = out.Bytes().size();
    });
    const double theirEncode = Time([&] { LibpngEncode(s); });
    Report("encode", s, ourEncode, theirEncode, ourSize, file.size());
  }
  std::printf("slowest decode relative to libpng: %.2f\n", worst);
  return 0;
}
