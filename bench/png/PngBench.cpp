// Decodes and encodes a set of generated images with the codec and with the
// system's libpng, and prints the throughput of both; then decodes many small
// images (the program's button pictures and a generated set of 32 x 32 images
// of every format) and prints the time per image.
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "PngImage.h"

using namespace png;

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

// A small image of any legal format: gradients and a checker pattern, packed
// at its bit depth, about what conformance test images hold.
Sample MakeSmall(uint32_t w, uint32_t h, int ct, int depth, uint32_t seed) {
  const int ch = Channels(ct);
  Sample s{"", w, h, ct, depth, {}, (size_t(w) * ch * depth + 7) / 8};
  s.rows.assign(s.rowBytes * h, 0);
  const uint32_t max = (1u << depth) - 1;
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x)
      for (int c = 0; c < ch; ++c) {
        const uint32_t v = ((x + seed) * (c + 1) * 7 + y * 5 + ((x / 4 + y / 4) % 2) * max / 3) % (max + 1);
        const size_t bit = (size_t(x) * ch + c) * depth;
        uint8_t* p = &s.rows[y * s.rowBytes + bit / 8];
        if (depth == 16) {
          p[0] = uint8_t(v >> 8);
          p[1] = uint8_t(v);
        } else if (depth == 8) {
          p[0] = uint8_t(v);
        } else {
          p[0] = uint8_t(p[0] | (v << (8 - depth - bit % 8)));
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

// What a small test image carries besides its rows.
struct Extras {
  bool interlaced = false;
  uint32_t gamma = 0;  // gAMA x 100000; 0: none
  int filters = PNG_ALL_FILTERS;
  bool colourKey = false;  // tRNS: a key for gray and RGB, one clear entry for palettes
};

Bytes LibpngEncode(const Sample& s, const Extras& extras = Extras()) {
  Buffer buffer;
  png_structp p = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(p);
  if (setjmp(png_jmpbuf(p))) throw std::runtime_error("libpng write failed");
  png_set_write_fn(p, &buffer, WriteToBuffer, FlushBuffer);
  png_set_IHDR(p, info, s.width, s.height, s.bitDepth, s.colourType,
               extras.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(p, PNG_FILTER_TYPE_BASE, extras.filters);
  if (extras.gamma) png_set_gAMA_fixed(p, info, png_fixed_point(extras.gamma));
  if (s.colourType == 3) {
    const int entries = 1 << s.bitDepth;
    std::vector<png_color> palette(static_cast<size_t>(entries));
    for (int i = 0; i < entries; ++i)
      palette[size_t(i)] = {png_byte(i * 255 / (entries - 1)), png_byte(255 - i * 255 / (entries - 1)), png_byte(i / 2)};
    png_set_PLTE(p, info, palette.data(), entries);
  }
  png_byte clear[1] = {0};
  png_color_16 key{};
  key.gray = png_uint_16(1u << (s.bitDepth - 1));
  key.red = key.green = key.blue = png_uint_16(s.bitDepth == 16 ? 0x8000 : 0x80);
  if (extras.colourKey && s.colourType != 4 && s.colourType != 6)
    png_set_tRNS(p, info, clear, 1, &key);
  png_write_info(p, info);
  const int passes = png_set_interlace_handling(p);
  for (int pass = 0; pass < passes; ++pass)
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

// Every legal format at 32 x 32, plain and interlaced, with gamma 1.0, and a
// few images with other gammas, single filters and a colour key.
std::vector<Bytes> GeneratedSmallImages() {
  const int formats[][2] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                            {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
  std::vector<Bytes> files;
  uint32_t seed = 0;
  for (const auto& f : formats)
    for (bool interlaced : {false, true}) {
      Extras extras;
      extras.interlaced = interlaced;
      extras.gamma = 100000;
      files.push_back(LibpngEncode(MakeSmall(32, 32, f[0], f[1], ++seed), extras));
    }
  for (uint32_t gamma : {35000u, 45000u, 55000u, 70000u, 100000u, 250000u}) {
    Extras extras;
    extras.gamma = gamma;
    files.push_back(LibpngEncode(MakeSmall(32, 32, 2, 8, ++seed), extras));
  }
  for (int filter : {PNG_FILTER_NONE, PNG_FILTER_SUB, PNG_FILTER_UP, PNG_FILTER_AVG, PNG_FILTER_PAETH}) {
    Extras extras;
    extras.filters = filter;
    files.push_back(LibpngEncode(MakeSmall(32, 32, 0, 8, ++seed), extras));
  }
  for (const auto& f : {std::pair{0, 4}, std::pair{0, 16}, std::pair{2, 8}, std::pair{2, 16}, std::pair{3, 8}}) {
    Extras extras;
    extras.colourKey = true;
    files.push_back(LibpngEncode(MakeSmall(32, 32, f.first, f.second, ++seed), extras));
  }
  return files;
}

// The program's button pictures, when the source tree is at hand.
std::vector<Bytes> ButtonPictures() {
  std::vector<Bytes> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(BRIMVALE_SOURCE_DIR "/app/images", error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("btn", 0) != 0 || entry.path().extension() != ".png") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    files.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return files;
}

void DecodeWithCodec(const Bytes& file) {
  TPngImage png;
  TPngMemoryStream stream(file);
  png.LoadFromStream(stream);
}

// Microseconds per image for a whole set, codec and libpng; answers libpng's
// time over the codec's.
double ReportSmall(const char* name, const std::vector<Bytes>& files) {
  if (files.empty()) {
    std::printf("  small   %-30s (no files)\n", name);
    return 1e9;
  }
  const double ours = Time([&] { for (const Bytes& f : files) DecodeWithCodec(f); });
  const double theirs = Time([&] { for (const Bytes& f : files) LibpngDecode(f); });
  const double n = double(files.size());
  std::printf("  small   %-30s codec %8.1f us/image   libpng %6.1f us/image   ratio %.2f   (%zu images)\n", name,
              ours / n * 1e6, theirs / n * 1e6, theirs / ours, files.size());
  return theirs / ours;
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
    const double ours = Time([&] { DecodeWithCodec(file); });
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
  if (!only || std::strcmp(only, "small") == 0) {
    worst = std::fmin(worst, ReportSmall("button pictures", ButtonPictures()));
    worst = std::fmin(worst, ReportSmall("generated 32x32 set", GeneratedSmallImages()));
  }
  std::printf("slowest decode relative to libpng: %.2f\n", worst);
  return 0;
}
