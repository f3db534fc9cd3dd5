// The PNG picture format of the GUI layer, drawn with GDI under Wine.
#include <gtest/gtest.h>

#include "PngFixtures.h"
#include "PngPicture.h"
#include "gui/Color.h"
#include "gui/FormReader.h"
#include "gui/Streams.h"

namespace {
using gui::Rect;

// A 24-bit bitmap filled with one colour, for drawing on.
std::unique_ptr<gui::TBitmap> Canvas(int w, int h, gui::TColor fill) {
  auto bitmap = std::make_unique<gui::TBitmap>();
  bitmap->SetPixelFormat(gui::pf24bit);
  bitmap->SetSize(w, h);
  bitmap->Canvas().Brush().SetColor(fill);
  bitmap->Canvas().FillRect(Rect(0, 0, w, h));
  return bitmap;
}

void LoadPicture(TPngPicture& picture, const Bytes& bytes) {
  gui::TMemoryStream stream(bytes);
  picture.LoadFromStream(stream);
}

// A component with a picture property, and a form that holds one, as the
// picture buttons keep their state pictures.
class TPngHolder : public gui::TComponent {
  GUI_CLASS(TPngHolder, gui::TComponent)

public:
  explicit TPngHolder(gui::TComponent* owner) : TComponent(owner) {}
  gui::TPicture* Picture() { return &picture_; }
  void SetPicture(gui::TPicture* picture) { picture_.Assign(picture); }

private:
  gui::TPicture picture_;
};

class TPngForm : public gui::TComponent {
  GUI_CLASS(TPngForm, gui::TComponent)

public:
  explicit TPngForm(gui::TComponent* owner = nullptr) : TComponent(owner) {}
};

RawImage Rgba(uint32_t w, uint32_t h, std::vector<uint16_t> pixels) {
  RawImage raw = RandomImage(w, h, 6, 8, 1);
  raw.samples = std::move(pixels);
  return raw;
}
}  // namespace

GUI_DEFINE_CLASS(TPngHolder) { c.Object("PicNormal", &TPngHolder::Picture, &TPngHolder::SetPicture); }
GUI_DEFINE_CLASS(TPngForm) {}

TEST(PngPicture, RegisteredAsPictureFormat) {
  RegisterPngPicture();
  bool found = false;
  for (const auto& format : gui::TPicture::FileFormats())
    if (format.Extension == "PNG") {
      found = true;
      EXPECT_EQ(format.Description, "Portable Network Graphics");
      EXPECT_EQ(format.GraphicClass, &TPngPicture::StaticClass());
    }
  EXPECT_TRUE(found);
  EXPECT_EQ(gui::GetClass("TPngPicture"), &TPngPicture::StaticClass());

  // How a form hands its picture data over: the class name, then the file.
  gui::TPicture picture;
  gui::TMemoryStream stream(BuildPng(RandomImage(5, 4, 6, 8, 3)));
  picture.LoadGraphicData("TPngPicture", stream);
  ASSERT_NE(dynamic_cast<TPngPicture*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 5);
  EXPECT_EQ(picture.Height(), 4);
}

TEST(PngPicture, LoadSaveAndFailures) {
  TPngPicture picture;
  const Bytes file = BuildPng(RandomImage(9, 9, 2, 8, 4));
  LoadPicture(picture, file);
  gui::TMemoryStream out;
  picture.SaveToStream(out);
  TPngPicture again;
  LoadPicture(again, out.Bytes());
  EXPECT_EQ(again.GetPixelColour(8, 8), picture.GetPixelColour(8, 8));

  try {
    LoadPicture(picture, {1, 2, 3});
    ADD_FAILURE() << "no exception";
  } catch (const gui::Exception& e) {  // the codec's failures are the layer's exceptions
    EXPECT_NE(dynamic_cast<const EPNGInvalidFileHeader*>(&e), nullptr);
  }
  EXPECT_TRUE(picture.Empty());
  EXPECT_EQ(picture.Width(), 0);
  try {
    picture.HeaderChunk();
    ADD_FAILURE() << "no exception";
  } catch (const EPNGHeaderNotPresent& e) {
    EXPECT_EQ(e.Message(), "This operation is not valid because the current image contains no valid header.");
  }

  Bytes damaged = Signature();  // an invalid deflate block, with good CRCs
  for (const Bytes& chunk : {Chunk("IHDR", HeaderData(1, 1, 8, 0)), Chunk("IDAT", {0x78, 0x9C, 0xFF, 0xFF}),
                             Chunk("IEND", {})})
    damaged.insert(damaged.end(), chunk.begin(), chunk.end());
  try {
    LoadPicture(picture, damaged);
    ADD_FAILURE() << "no exception";
  } catch (const EPNGZLIBError& e) {
    EXPECT_EQ(e.Message(),
              "Could not decompress the image because it contains invalid compressed data.\r\n"
              " Description: data error (-3)");
  }
}

TEST(PngPicture, DrawsPlainImages) {
  RawImage raw = RandomImage(2, 2, 2, 8, 1);
  raw.samples = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30};
  TPngPicture picture;
  LoadPicture(picture, BuildPng(raw));
  auto target = Canvas(6, 6, gui::clWhite);
  target->Canvas().StretchDraw(Rect(1, 1, 5, 5), &picture);  // stretched twice
  EXPECT_EQ(target->Canvas().Pixels(0, 0), gui::clWhite);
  EXPECT_EQ(target->Canvas().Pixels(1, 1), gui::TColor(0x0000FF));
  EXPECT_EQ(target->Canvas().Pixels(2, 2), gui::TColor(0x0000FF));
  EXPECT_EQ(target->Canvas().Pixels(3, 1), gui::TColor(0x00FF00));
  EXPECT_EQ(target->Canvas().Pixels(4, 4), gui::TColor(0x1E140A));
}

TEST(PngPicture, DrawsWithPerPixelAlpha) {
  TPngPicture picture;
  LoadPicture(picture, BuildPng(Rgba(3, 1, {255, 255, 255, 0, 255, 255, 255, 255, 255, 255, 255, 128})));
  auto target = Canvas(3, 1, gui::TColor(0x000000));
  picture.Draw(target->Canvas(), Rect(0, 0, 3, 1));
  EXPECT_EQ(target->Canvas().Pixels(0, 0), 0u);
  EXPECT_EQ(target->Canvas().Pixels(1, 0), 0xFFFFFFu);
  EXPECT_EQ(target->Canvas().Pixels(2, 0), 0x808080u);
  // A rectangle without width draws nothing.
  auto untouched = Canvas(3, 1, gui::TColor(0x123456));
  picture.Draw(untouched->Canvas(), Rect(1, 0, 1, 1));
  EXPECT_EQ(untouched->Canvas().Pixels(1, 0), 0x123456u);
  // Twice the size, and given right to left.
  auto big = Canvas(6, 2, gui::TColor(0x000000));
  picture.Draw(big->Canvas(), Rect(6, 0, 0, 2));
  EXPECT_EQ(big->Canvas().Pixels(1, 1), 0u);
  EXPECT_EQ(big->Canvas().Pixels(2, 0), 0xFFFFFFu);
  EXPECT_EQ(big->Canvas().Pixels(3, 1), 0xFFFFFFu);
  EXPECT_EQ(big->Canvas().Pixels(5, 0), 0x808080u);
}

TEST(PngPicture, DrawsWithTransparentColour) {
  RawImage raw = RandomImage(2, 1, 2, 8, 1);
  raw.samples = {10, 20, 30, 200, 100, 50};
  PngBuild build;
  build.before = {{"tRNS", {0, 10, 0, 20, 0, 30}}};
  TPngPicture picture;
  LoadPicture(picture, BuildPng(raw, build));
  ASSERT_EQ(picture.TransparencyKind(), TTransparencyKind::SingleColour);
  auto target = Canvas(2, 1, gui::TColor(0x0000FF));
  picture.Draw(target->Canvas(), Rect(0, 0, 2, 1));
  EXPECT_EQ(target->Canvas().Pixels(0, 0), 0x0000FFu);
  EXPECT_EQ(target->Canvas().Pixels(1, 0), gui::TColor(0x3264C8));

  // Into a bitmap: a transparent bitmap with that colour.
  gui::TBitmap bitmap;
  bitmap.Assign(&picture);
  EXPECT_TRUE(bitmap.Transparent());
  EXPECT_EQ(bitmap.TransparentColor(), gui::TColor(0x1E140A));
  EXPECT_EQ(bitmap.Canvas().Pixels(1, 0), gui::TColor(0x3264C8));

  // The form for any bits, which matches the colour as it is drawn.
  auto direct = Canvas(2, 1, gui::TColor(0x00FF00));
  const TChunkIHDR& header = picture.HeaderChunk();
  picture.DrawWithTransparentColour(direct->Canvas().Handle(), header.Bits,
                                    reinterpret_cast<const BITMAPINFO*>(&header.BitmapInfo), RGB(10, 20, 30),
                                    Rect(0, 0, 2, 1));
  EXPECT_EQ(direct->Canvas().Pixels(0, 0), 0x00FF00u);
  EXPECT_EQ(direct->Canvas().Pixels(1, 0), gui::TColor(0x3264C8));

  // Key on top, stretched to twice the size: the key stays on top.
  RawImage column = RandomImage(1, 2, 2, 8, 1);
  column.samples = {10, 20, 30, 200, 100, 50};
  TPngPicture tall;
  LoadPicture(tall, BuildPng(column, build));
  auto twice = Canvas(2, 4, gui::TColor(0x0000FF));
  tall.Draw(twice->Canvas(), Rect(0, 0, 2, 4));
  EXPECT_EQ(twice->Canvas().Pixels(1, 1), 0x0000FFu);
  EXPECT_EQ(twice->Canvas().Pixels(0, 2), gui::TColor(0x3264C8));
  EXPECT_EQ(twice->Canvas().Pixels(1, 3), gui::TColor(0x3264C8));
}

namespace {
// Colour-key images drawn over red: which pixels let the red through.
std::vector<bool> ShowsBackground(const RawImage& raw, const PngBuild& build) {
  TPngPicture picture;
  LoadPicture(picture, BuildPng(raw, build));
  EXPECT_EQ(picture.TransparencyKind(), TTransparencyKind::SingleColour);
  auto target = Canvas(int(raw.width), 1, gui::TColor(0x0000FF));
  picture.Draw(target->Canvas(), Rect(0, 0, int(raw.width), 1));
  std::vector<bool> shows;
  for (int x = 0; x < int(raw.width); ++x) shows.push_back(target->Canvas().Pixels(x, 0) == 0x0000FFu);
  return shows;
}
}  // namespace

TEST(PngPicture, ColourKeyMatchesTheStoredSamples) {
  using Shows = std::vector<bool>;
  PngBuild build;
  // 16 bits: the second pixel shares only the high bytes of the key.
  RawImage rgb16 = RandomImage(3, 1, 2, 16, 1);
  rgb16.samples = {0x1234, 0x5678, 0x9ABC, 0x12FF, 0x56FF, 0x9AFF, 0x1200, 0x5600, 0x9A00};
  build.before = {{"tRNS", {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}}};
  EXPECT_EQ(ShowsBackground(rgb16, build), (Shows{true, false, false}));
  RawImage gray16 = RandomImage(2, 1, 0, 16, 1);
  gray16.samples = {0x8001, 0x8002};
  build.before = {{"tRNS", {0x80, 0x01}}};
  EXPECT_EQ(ShowsBackground(gray16, build), (Shows{true, false}));

  // A key wider than 4 bits counts with its low 4 bits: 0x15 names sample 5.
  RawImage gray4 = RandomImage(3, 1, 0, 4, 1);
  gray4.samples = {0, 5, 15};
  build.before = {{"tRNS", {0, 0x15}}};
  EXPECT_EQ(ShowsBackground(gray4, build), (Shows{false, true, false}));

  // Through this gamma 254 and 255 both show as 255; only the key is clear.
  RawImage rgb = RandomImage(2, 1, 2, 8, 1);
  rgb.samples = {255, 255, 255, 254, 254, 254};
  build.before = {{"gAMA", Be32(100000)}, {"tRNS", {0, 255, 0, 255, 0, 255}}};
  EXPECT_EQ(ShowsBackground(rgb, build), (Shows{true, false}));

  // Two palette entries of one colour: only the clear index is the key.
  RawImage palette = RandomImage(2, 1, 3, 8, 1);
  palette.samples = {0, 1};
  palette.palette = {10, 20, 30, 10, 20, 30};
  build.before = {{"tRNS", {255, 0}}};
  EXPECT_EQ(ShowsBackground(palette, build), (Shows{false, true}));
}

TEST(PngPicture, AssignsFromBitmaps) {
  auto bitmap = Canvas(4, 3, gui::TColor(0x102030));
  bitmap->Canvas().SetPixels(3, 2, gui::TColor(0x0000FF));
  TPngPicture picture;
  picture.Assign(bitmap.get());
  EXPECT_EQ(picture.HeaderChunk().ColourType, 2);
  EXPECT_EQ(picture.Width(), 4);
  EXPECT_EQ(picture.GetPixelColour(0, 0), 0x102030u);
  EXPECT_EQ(picture.GetPixelColour(3, 2), 0x0000FFu);

  gui::TBitmap palette;
  palette.SetPixelFormat(gui::pf8bit);
  palette.SetSize(3, 2);
  palette.Canvas().Brush().SetColor(gui::TColor(0x000080));
  palette.Canvas().FillRect(Rect(0, 0, 3, 2));
  TPngPicture fromPalette;
  fromPalette.Assign(&palette);
  EXPECT_EQ(fromPalette.HeaderChunk().ColourType, 3);
  EXPECT_EQ(fromPalette.Chunks().ItemFromClass<TChunkPLTE>()->Count, 256u);
  EXPECT_EQ(fromPalette.GetPixelColour(2, 1), 0x000080u);
  gui::TMemoryStream out;
  fromPalette.SaveToStream(out);
  TPngPicture reloaded;
  LoadPicture(reloaded, out.Bytes());
  EXPECT_EQ(reloaded.GetPixelColour(2, 1), 0x000080u);
}

TEST(PngPicture, CopiesThroughPictureHolder) {
  PngBuild build;
  build.before = {{"gAMA", Be32(45455)}};
  TPngPicture original;
  LoadPicture(original, BuildPng(RandomImage(7, 3, 6, 8, 2), build));
  gui::TPicture holder;
  holder.Assign(&original);
  auto* copy = dynamic_cast<TPngPicture*>(holder.Graphic());
  ASSERT_NE(copy, nullptr);
  gui::TMemoryStream a, b;
  original.SaveToStream(a);
  copy->SaveToStream(b);
  EXPECT_EQ(a.Bytes(), b.Bytes());
}

TEST(PngPicture, ImageCanvasDrawsIntoTheImage) {
  TPngPicture picture;
  LoadPicture(picture, BuildPng(RandomImage(4, 4, 2, 8, 6)));
  picture.Canvas().SetPixels(1, 2, gui::TColor(0x0000FF));
  EXPECT_EQ(picture.GetPixelColour(1, 2), 0x0000FFu);
  picture.SetPixelColour(2, 2, gui::TColor(0x00FF00));
  EXPECT_EQ(picture.Canvas().Pixels(2, 2), 0x00FF00u);

  picture.SetWidth(6);  // a new image, and the canvas follows it
  EXPECT_EQ(picture.Width(), 6);
  EXPECT_EQ(picture.Canvas().Pixels(1, 2), 0x0000FFu);
  EXPECT_EQ(picture.Canvas().Pixels(5, 2), 0u);
  EXPECT_THROW(picture.SetHeight(0), EPNGInvalidNewSize);
}

TEST(PngPicture, PaletteImagesDrawTheirColours) {
  RawImage raw = RandomImage(3, 1, 3, 4, 1);
  raw.samples = {0, 1, 9};  // 9 is past the palette
  raw.palette = {255, 0, 0, 0, 255, 0};
  TPngPicture picture;
  LoadPicture(picture, BuildPng(raw));
  ASSERT_NE(picture.Palette(), nullptr);
  EXPECT_EQ(picture.BitmapPixelFormat(), gui::pf4bit);
  auto target = Canvas(3, 1, gui::clWhite);
  picture.Draw(target->Canvas(), Rect(0, 0, 3, 1));
  EXPECT_EQ(target->Canvas().Pixels(0, 0), 0x0000FFu);
  EXPECT_EQ(target->Canvas().Pixels(1, 0), 0x00FF00u);
  EXPECT_EQ(target->Canvas().Pixels(2, 0), 0x0000FFu);
}

TEST(PngPicture, ClipboardRoundTrip) {
  TPngPicture picture;
  LoadPicture(picture, BuildPng(RandomImage(3, 2, 2, 8, 8)));
  UINT format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  picture.SaveToClipboardFormat(format, data, palette);
  ASSERT_NE(data, nullptr);
  TPngPicture back;
  back.LoadFromClipboardFormat(format, data, palette);
  EXPECT_EQ(back.Width(), 3);
  EXPECT_EQ(back.GetPixelColour(2, 1), picture.GetPixelColour(2, 1));
  DeleteObject(data);
}

TEST(PngPicture, CreatedFromAFormResource) {
  RegisterPngPicture();
  gui::RegisterClasses({&TPngHolder::StaticClass()});
  PngBuild build;  // what the program's pictures hold: gAMA, pHYs and a chunk of its own
  build.before = {{"gAMA", Be32(45455)}, {"pHYs", {0, 0, 11, 19, 0, 0, 11, 19, 1}}, {"orGn", {1, 2}}};
  const RawImage raw = Rgba(2, 1, {1, 2, 3, 255, 4, 5, 6, 0});
  gui::TMemoryFormSource source;
  source.AddForm("TPngForm", "object frm: TPngForm\n  object btn: TPngHolder\n"
                             "    PicNormal = TPngPicture 'free.png'\n  end\nend\n");
  source.AddPicture("TPngForm", "free.png", BuildPng(raw, build));
  TPngForm form;
  gui::ReadForm(form, source);
  auto* holder = dynamic_cast<TPngHolder*>(form.FindComponent("btn"));
  ASSERT_NE(holder, nullptr);
  auto* png = dynamic_cast<TPngPicture*>(holder->Picture()->Graphic());
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(png->Width(), 2);
  EXPECT_EQ(png->TransparencyKind(), TTransparencyKind::PerPixel);
  EXPECT_EQ(png->Chunks().Count(), 6);
  EXPECT_EQ(png->Chunks().GetItem(3)->Name(), "orGn");
}
