// Test fixtures built from first principles: raw samples are filtered,
// compressed with zlib and wrapped in chunks here, independently of the codec.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "PngImage.h"

using namespace png;  // the tests' own files name the codec's types plainly

using Bytes = std::vector<uint8_t>;

struct RawImage {
  uint32_t width = 0, height = 0;
  uint8_t colourType = 0, bitDepth = 8;
  std::vector<uint16_t> samples;  // width * height * Channels(), row by row
  Bytes palette;                  // PLTE data for colour type 3

  int Channels() const;
  uint16_t& At(uint32_t x, uint32_t y, int c) { return samples[(size_t(y) * width + x) * Channels() + c]; }
  uint16_t At(uint32_t x, uint32_t y, int c) const {
    return samples[(size_t(y) * width + x) * Channels() + c];
  }
};

// Every legal colour type / bit depth pair.
std::vector<std::pair<uint8_t, uint8_t>> LegalFormats();

RawImage RandomImage(uint32_t width, uint32_t height, uint8_t colourType, uint8_t bitDepth,
                     uint32_t seed);

Bytes Be32(uint32_t v);
Bytes Chunk(const std::string& name, const Bytes& data);
Bytes Signature();
Bytes HeaderData(uint32_t width, uint32_t height, uint8_t depth, uint8_t colourType,
                 uint8_t interlace = 0, uint8_t compression = 0);

// The filtered PNG rows of the image (Adam7 passes when interlaced), before zlib.
// filterFor picks the filter type of each row, counted over all passes.
Bytes ImageRows(const RawImage& image, bool interlaced,
                const std::function<uint8_t(int)>& filterFor);
Bytes Deflate(const Bytes& data, int level = 6);

struct PngBuild {
  bool interlaced = false;
  std::function<uint8_t(int)> filterFor = [](int row) { return uint8_t(row % 5); };
  std::vector<std::pair<std::string, Bytes>> before;  // chunks between IHDR (and PLTE) and IDAT
  std::vector<std::pair<std::string, Bytes>> after;   // chunks between IDAT and IEND
  size_t idatSplit = 0;                               // 0: one IDAT chunk
};
Bytes BuildPng(const RawImage& image, const PngBuild& build = PngBuild());

// Loads bytes into a fresh image; the test fails on an exception.
void Load(TPngImage& image, const Bytes& bytes);
Bytes Save(TPngImage& image);

// The chunks of a PNG file as (name, data) pairs; the CRCs are checked.
std::vector<std::pair<std::string, Bytes>> SplitChunks(const Bytes& file);
// The filter type byte of each row of a non-interlaced file.
std::vector<uint8_t> RowFilterTypes(const Bytes& file, size_t rowBytes);

// Checks the decoded bitmap, alpha and low-byte planes against the samples.
void ExpectDecoded(const TPngImage& png, const RawImage& raw, bool lowBytesZero = false);
