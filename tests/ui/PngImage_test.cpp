#include "ui/PngImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "PngFixture.h"
#include "ui/Picture.h"
#include "ui/StoredPicture.h"

namespace {

using ui::EInvalidGraphic;
using ui::TPngImage;
using uitest::EncodePng;

TEST(PngImage, DecodesEveryColourTypeToPremultipliedBgra) {
  const std::uint8_t rgb[] = {255, 0, 0, 0, 255, 0};
  const std::uint8_t rgba[] = {255, 255, 255, 128, 0, 0, 255, 0};
  const std::uint8_t grey[] = {0, 200};
  const std::uint8_t greyAlpha[] = {100, 255, 100, 0};
  const std::uint16_t deep[] = {65535, 0, 0, 65535, 0, 0, 65535, 65535};
  const std::uint8_t indexes[] = {1, 0};
  const std::uint8_t palette[] = {10, 20, 30, 255, 40, 50, 60, 64};

  struct Case {
    const char* name;
    std::vector<std::uint8_t> png;
    std::uint32_t first, second;
  };
  const Case cases[] = {
      {"RGB", EncodePng(PNG_FORMAT_RGB, 2, 1, rgb), 0xFFFF0000, 0xFF00FF00},
      // White at half alpha is stored premultiplied; full transparency is 0.
      {"RGBA", EncodePng(PNG_FORMAT_RGBA, 2, 1, rgba), 0x80808080, 0x00000000},
      {"grey", EncodePng(PNG_FORMAT_GRAY, 2, 1, grey), 0xFF000000, 0xFFC8C8C8},
      {"grey+alpha", EncodePng(PNG_FORMAT_GA, 2, 1, greyAlpha), 0xFF646464, 0x00000000},
      {"16-bit", EncodePng(PNG_FORMAT_LINEAR_RGB_ALPHA, 2, 1, deep), 0xFFFF0000, 0xFF0000FF},
      {"palette", EncodePng(PNG_FORMAT_RGBA_COLORMAP, 2, 1, indexes, palette, 2), 0x400A0D0F,
       0xFF0A141E},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TPngImage image = TPngImage::FromPngBytes(c.png);
    ASSERT_EQ(image.Width(), 2);
    ASSERT_EQ(image.Height(), 1);
    EXPECT_EQ(image.Pixel(0, 0), c.first);
    EXPECT_EQ(image.Pixel(1, 0), c.second);
  }
}

TEST(PngImage, DamagedFilesGiveACleanError) {
  const std::uint8_t rgb[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const std::vector<std::uint8_t> good = EncodePng(PNG_FORMAT_RGB, 2, 2, rgb);
  std::vector<std::uint8_t> truncated(good.begin(), good.begin() + good.size() / 2);
  std::vector<std::uint8_t> badSignature = good;
  badSignature[1] = 'X';
  std::vector<std::uint8_t> badData = good;
  // The last bytes before IEND belong to the compressed pixel data.
  for (std::size_t i = good.size() - 20; i < good.size() - 12; ++i) badData[i] ^= 0x5A;
  // A header that claims 100000 x 100000 pixels.
  std::vector<std::uint8_t> huge = good;
  huge[16] = 0x00, huge[17] = 0x01, huge[18] = 0x86, huge[19] = 0xA0;
  huge[20] = 0x00, huge[21] = 0x01, huge[22] = 0x86, huge[23] = 0xA0;

  for (const auto* bytes : {&truncated, &badSignature, &badData, &huge}) {
    EXPECT_THROW(TPngImage::FromPngBytes(*bytes), EInvalidGraphic);
  }
  EXPECT_THROW(TPngImage::FromPngBytes({}), EInvalidGraphic);
}

TEST(Picture, EmptyHasNoSizeAndCopiesDoNotFollowLaterChanges) {
  ui::TPicture empty;
  EXPECT_TRUE(empty.Empty());
  EXPECT_EQ(empty.Width(), 0);
  EXPECT_EQ(empty.Height(), 0);

  ui::TPicture source = uitest::SolidPicture(3, 2, 1, 2, 3);
  ui::TPicture copy;
  copy.Assign(source);
  source = uitest::SolidPicture(5, 5, 9, 9, 9);
  EXPECT_EQ(copy.Width(), 3);
  EXPECT_EQ(copy.Height(), 2);
  EXPECT_EQ(copy.Graphic()->Pixel(0, 0), 0xFF010203u);
}

TEST(Picture, DamagedFileLeavesThePictureAsItWas) {
  ui::TPicture picture = uitest::SolidPicture(4, 4, 1, 2, 3);
  const std::uint8_t junk[] = {0x89, 'P', 'N', 'G', 0, 0};
  EXPECT_THROW(picture.LoadFromPngBytes(junk), EInvalidGraphic);
  EXPECT_EQ(picture.Width(), 4);
}

TEST(StoredPicture, ReadsTheClassNamePrefixThenThePng) {
  const std::uint8_t rgb[] = {7, 8, 9};
  const std::vector<std::uint8_t> png = EncodePng(PNG_FORMAT_RGB, 1, 1, rgb);
  const std::vector<std::uint8_t> stored = ui::StorePngBytes(png);
  ASSERT_EQ(stored[0], 9);
  EXPECT_EQ(std::string(stored.begin() + 1, stored.begin() + 10), "TPngImage");
  EXPECT_TRUE(std::equal(png.begin(), png.end(), stored.begin() + 10));

  const ui::TPicture picture = ui::ReadStoredPicture(stored);
  EXPECT_EQ(picture.Graphic()->Pixel(0, 0), 0xFF070809u);
}

TEST(StoredPicture, RefusesOtherClassesAndTruncatedPrefixes) {
  const std::uint8_t rgb[] = {7, 8, 9};
  std::vector<std::uint8_t> stored = ui::StorePngBytes(EncodePng(PNG_FORMAT_RGB, 1, 1, rgb));
  std::vector<std::uint8_t> otherClass = stored;
  otherClass[1] = 'X';
  const std::vector<std::uint8_t> truncated = {9, 'T', 'P', 'n'};
  EXPECT_THROW(ui::ReadStoredPicture(otherClass), EInvalidGraphic);
  EXPECT_THROW(ui::ReadStoredPicture(truncated), EInvalidGraphic);
  EXPECT_THROW(ui::ReadStoredPicture({}), EInvalidGraphic);
}

}  // namespace
