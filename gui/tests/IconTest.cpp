// Icon data is checked at load: a PNG image decoded in full, a DIB image as
// the system makes icons of it, so data that loads makes an icon; and image
// lists never hand out a blank in place of an icon.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "TestClasses.h"
#include "gui/FormReader.h"
#include "gui/Icon.h"
#include "gui/ImageList.h"
#include "gui/Streams.h"
#include "testsupport/Pixels.h"

using namespace gui;
using namespace testing_gui;
using testsupport::At;
using testsupport::Surface;

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutBig(Bytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::uint8_t(value >> shift));
}

template <class T>
void Put(Bytes& out, const T& value) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
  out.insert(out.end(), bytes, bytes + sizeof value);
}

void AddChunk(Bytes& png, const char* type, const Bytes& data) {
  PutBig(png, std::uint32_t(data.size()));
  const std::size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  PutBig(png, std::uint32_t(crc32(0, png.data() + start, uInt(png.size() - start))));
}

Bytes Deflate(const Bytes& raw) {
  uLongf size = compressBound(uLong(raw.size()));
  Bytes out(size);
  EXPECT_EQ(compress2(out.data(), &size, raw.data(), uLong(raw.size()), 9), Z_OK);
  out.resize(size);
  return out;
}

// A 16 x 16 PNG whose chunks all carry their right CRCs, whatever the
// compressed data holds.
Bytes Png(std::uint8_t depth, std::uint8_t colourType, const Bytes& compressed, const Bytes& palette = {},
          const Bytes& alphas = {}) {
  Bytes png = {137, 80, 78, 71, 13, 10, 26, 10};
  Bytes header;
  PutBig(header, 16);
  PutBig(header, 16);
  header.insert(header.end(), {depth, colourType, 0, 0, 0});
  AddChunk(png, "IHDR", header);
  if (!palette.empty()) AddChunk(png, "PLTE", palette);
  if (!alphas.empty()) AddChunk(png, "tRNS", alphas);
  AddChunk(png, "IDAT", compressed);
  AddChunk(png, "IEND", {});
  return png;
}

// The rows of a 16 x 16 RGBA image: the left half opaque red, the right
// half clear, row 8's left half blue at half opacity.
Bytes RgbaRows() {
  Bytes rows;
  for (int y = 0; y < 16; ++y) {
    rows.push_back(0);  // no filter
    for (int x = 0; x < 16; ++x) {
      if (x >= 8)
        rows.insert(rows.end(), {0, 0, 0, 0});
      else if (y == 8)
        rows.insert(rows.end(), {0, 0, 255, 128});
      else
        rows.insert(rows.end(), {255, 0, 0, 255});
    }
  }
  return rows;
}

Bytes RgbaPng() { return Png(8, 6, Deflate(RgbaRows())); }

// The same picture as a 4-bit palette image: entry 0 clear, 1 red, 2 blue at
// half opacity.
Bytes PalettePng() {
  Bytes rows;
  for (int y = 0; y < 16; ++y) {
    rows.push_back(0);
    const std::uint8_t left = y == 8 ? 0x22 : 0x11;  // two pixels a byte
    rows.insert(rows.end(), {left, left, left, left, 0, 0, 0, 0});
  }
  return Png(4, 3, Deflate(rows), {0, 0, 0, 255, 0, 0, 0, 0, 255}, {0, 255, 128});
}

// An ICO file of one image.
Bytes Ico(const Bytes& image, std::uint16_t bitCount = 32) {
  Bytes ico;
  Put(ico, std::uint16_t(0));
  Put(ico, std::uint16_t(1));
  Put(ico, std::uint16_t(1));
  ico.insert(ico.end(), {16, 16, 0, 0});
  Put(ico, std::uint16_t(1));
  Put(ico, bitCount);
  Put(ico, std::uint32_t(image.size()));
  Put(ico, std::uint32_t(6 + 16));
  ico.insert(ico.end(), image.begin(), image.end());
  return ico;
}

// A 16 x 16 DIB icon image of 32 bits, all opaque green: its header, colour
// table (`tableEntries`), colour rows and mask rows, `cut` bytes short.
Bytes Dib(std::uint32_t headerSize = 40, std::uint32_t colorsUsed = 0, std::size_t tableEntries = 0,
          std::size_t cut = 0) {
  BITMAPINFOHEADER h{};
  h.biSize = headerSize;
  h.biWidth = 16;
  h.biHeight = 32;
  h.biPlanes = 1;
  h.biBitCount = 32;
  h.biClrUsed = colorsUsed;
  Bytes dib;
  Put(dib, h);
  dib.resize(headerSize + tableEntries * 4, 0);
  for (int i = 0; i < 16 * 16; ++i) dib.insert(dib.end(), {0, 255, 0, 255});
  dib.resize(dib.size() + 16 * 4, 0);
  dib.resize(dib.size() - cut);
  return dib;
}

Bytes OneIco() {
  TResourceFormSource embedded;
  return *embedded.PictureData("TTestForm", "../data/one.ico");
}

void Load(TIcon& icon, const Bytes& bytes) {
  TMemoryStream stream(bytes);
  icon.LoadFromStream(stream);
}

// The icon drawn at its size over white.
std::unique_ptr<TBitmap> Drawn(TIcon& icon) {
  auto b = Surface(16, 16, clWhite);
  b->Canvas().Draw(0, 0, &icon);
  return b;
}

}  // namespace

TEST(IconImages, ValidPngImagesLoadAndDrawWithTheirAlpha) {
  for (const Bytes& png : {RgbaPng(), PalettePng()}) {
    SCOPED_TRACE(png[25] == 6 ? "RGBA" : "palette");
    const Bytes file = Ico(png);
    TIcon icon;
    Load(icon, file);
    EXPECT_EQ(icon.Width(), 16);
    EXPECT_EQ(icon.Height(), 16);
    EXPECT_FALSE(icon.HandleAllocated()) << "decoded at load, made when first asked for";
    auto b = Drawn(icon);
    EXPECT_EQ(At(*b, 2, 2), clRed);
    EXPECT_EQ(At(*b, 12, 2), clWhite) << "clear pixels show the background";
    const TColor half = At(*b, 2, 8);
    EXPECT_NEAR(GetRValue(half), 127, 2);
    EXPECT_NEAR(GetGValue(half), 127, 2);
    EXPECT_EQ(GetBValue(half), 255);

    TMemoryStream saved;
    icon.SaveToStream(saved);
    EXPECT_EQ(saved.Bytes(), file) << "the file is kept as it came";
  }
}

TEST(IconImages, PngImagesWhoseDataIsBrokenAreRefusedAtLoadAndTheIconStays) {
  Bytes corrupt = Deflate(RgbaRows());
  corrupt[2] |= 0x06;  // the first block's type becomes the reserved one
  Bytes cut = Deflate(RgbaRows());
  cut.resize(cut.size() / 2);  // the stream stops halfway, its chunk closed with a right CRC
  struct Case {
    const char* what;
    Bytes png;
  };
  for (const Case& c : {Case{"corrupt data", Png(8, 6, corrupt)}, Case{"truncated stream", Png(8, 6, cut)}}) {
    SCOPED_TRACE(c.what);
    TIcon icon;
    Load(icon, OneIco());
    TMemoryStream broken(Ico(c.png));
    EXPECT_THROW(icon.LoadFromStream(broken), EInvalidGraphic);
    EXPECT_EQ(icon.Width(), 16);
    EXPECT_EQ(At(*Drawn(icon), 2, 2), clRed) << "the old icon stays";
  }
}

TEST(IconImages, DibImagesTheSystemWouldRefuseAreRefusedAtLoadTheOthersMakeAnIcon) {
  struct Case {
    const char* what;
    Bytes dib;
    bool loads;
  };
  const Case cases[] = {
      {"plain", Dib(), true},
      {"a colour table it names", Dib(40, 256, 256), true},
      {"masks past the end once the named colour table counts", Dib(40, 256, 0), false},
      {"mask rows one byte short", Dib(40, 0, 0, 1), false},
      {"a 124-byte header", Dib(124), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TIcon icon;
    TMemoryStream stream(Ico(c.dib));
    if (!c.loads) {
      EXPECT_THROW(icon.LoadFromStream(stream), EInvalidGraphic);
      EXPECT_TRUE(icon.Empty());
      continue;
    }
    icon.LoadFromStream(stream);
    EXPECT_NE(icon.Handle(), nullptr);
    EXPECT_EQ(At(*Drawn(icon), 5, 5), clLime);
  }
}

namespace {

// The list as forms fill it.
class TFormImageList : public TImageList {
 public:
  TFormImageList() : TImageList(nullptr) {}
  using TCustomImageList::SetImages;
};

}  // namespace

TEST(IconImageLists, AFormsListWithABrokenIconIsRefusedNotFilledWithABlank) {
  RegisterTestClasses();
  Bytes corrupt = Deflate(RgbaRows());
  corrupt[2] |= 0x06;
  TMemoryFormSource source;
  source.AddPicture("TTestForm", "one.ico", OneIco());
  source.AddPicture("TTestForm", "broken.ico", Ico(Png(8, 6, corrupt)));
  source.AddForm("TTestForm", R"(object Form1: TTestForm
  object il: TImageList
    Images = (
      TIcon 'one.ico'
      TIcon 'broken.ico'
    )
  end
end
)");
  TTestForm form;
  EXPECT_THROW(ReadForm(form, source), EFormError);
}

TEST(IconImageLists, AnIconThatGivesNoImageLeavesTheListAsItWasAtEveryCall) {
  TIcon good;
  Load(good, OneIco());
  TIcon dead;  // holds a handle that is no longer an icon: it can be neither copied nor drawn
  HICON gone = CopyIcon(good.Handle());
  DestroyIcon(gone);
  dead.SetHandle(gone);

  TFormImageList list;
  list.SetImages({&good});
  for (int call = 0; call < 2; ++call) {
    SCOPED_TRACE(call);
    EXPECT_ANY_THROW(list.SetImages({&good, &dead}));
    EXPECT_ANY_THROW(list.AddIcon(&dead));
    ASSERT_EQ(list.Count(), 1) << "the list is left as it was";
    TIcon out;
    list.GetIcon(0, &out);
    EXPECT_EQ(At(*Drawn(out), 2, 2), clRed);
  }
  dead.ReleaseHandle();  // not ours to destroy again
}

namespace {

HICON WINAPI OutOfHandles(PBYTE, DWORD, BOOL, DWORD, int, int, UINT) { return nullptr; }

// The system refuses to make icons while this lives.
struct TNoIconHandles {
  TIconMaker system = SetIconMaker(&OutOfHandles);
  ~TNoIconHandles() { SetIconMaker(system); }
};

}  // namespace

TEST(IconImageLists, AnIconTheSystemCannotMakeYetFailsTheSameAtEveryCallUntilItCan) {
  TIcon loaded;
  Load(loaded, OneIco());
  TFormImageList list;
  list.SetImages({&loaded});
  {
    TNoIconHandles refusing;
    for (int call = 0; call < 2; ++call) {
      SCOPED_TRACE(call);
      TIcon waiting;
      Load(waiting, OneIco());
      EXPECT_THROW(list.AddIcon(&waiting), EOutOfResources);
      EXPECT_EQ(list.Count(), 1) << "the list is left as it was";
      TIcon out;
      EXPECT_THROW(list.GetIcon(0, &out), EOutOfResources);
      EXPECT_TRUE(out.Empty()) << "never a blank";
      EXPECT_EQ(loaded.Handle(), nullptr);
      EXPECT_EQ(loaded.Width(), 16) << "the icon still waits for its handle";
    }
  }
  TIcon out;
  list.GetIcon(0, &out);
  EXPECT_EQ(At(*Drawn(out), 2, 2), clRed);
  EXPECT_EQ(At(*Drawn(loaded), 2, 2), clRed);
}
