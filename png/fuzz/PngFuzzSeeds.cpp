// Writes a seed corpus for the fuzzer: small images of every format, plain and
// interlaced, with the ancillary chunks the decoder knows.
#include <cstdio>
#include <string>

#include "PngImage.h"

using namespace png;

namespace {
void Write(const std::string& path, const TPngMemoryStream& stream) {
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(stream.Bytes().data(), 1, stream.Bytes().size(), f);
    std::fclose(f);
  }
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
    return 2;
  }
  const int formats[][2] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                            {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
  int n = 0;
  for (const auto& f : formats)
    for (int interlace = 0; interlace < 2; ++interlace) {
      TPngImage png;
      png.Interlacing = uint8_t(interlace);
      png.EncodeFilters = 0x1F;
      auto* header = new TChunkIHDR(png);
      png.Chunks().Add(header);
      header->Width = 5;
      header->Height = 3;
      header->ColourType = uint8_t(f[0]);
      header->BitDepth = uint8_t(f[1]);
      header->PrepareImage();
      for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 5; ++x) png.SetPixelColour(int(x), int(y), PngRgb(uint8_t(x * 60), uint8_t(y * 90), 128));
      if (f[0] == 3) {
        auto* plte = new TChunkPLTE(png);
        plte->Count = 1u << (f[1] == 2 ? 4 : f[1]);
        png.Chunks().Add(plte);
        auto* trns = new TChunktRNS(png);
        png.Chunks().Add(trns);
        trns->SetTransparentColour(0);
      }
      auto* text = new TChunkzTXt(png);
      text->SetKeyword("k");
      text->SetText("seed");
      png.Chunks().Add(new TChunkgAMA(png));
      png.Chunks().Add(text);
      png.Chunks().Add(new TChunkIDAT(png));
      png.Chunks().Add(new TChunkIEND(png));
      TPngMemoryStream out;
      png.SaveToStream(out);
      Write(std::string(argv[1]) + "/seed" + std::to_string(n++) + ".png", out);
    }
  return 0;
}
