// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/jpeg_picture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include <jpeglib.h>

namespace rq {
namespace {

std::vector<std::uint8_t> ReadLogo() {
  std::ifstream in(RQ_SOURCE_DIR "/app/about_logo.jpg", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A small picture of `components` (1 grey, 3 RGB, 4 CMYK) with the library's encoder.
std::vector<std::uint8_t> Encode(int components, J_COLOR_SPACE space, int width = 16, int height = 8) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = JDIMENSION(width);
  c.image_height = JDIMENSION(height);
  c.input_components = components;
  c.in_color_space = space;
  jpeg_set_defaults(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<unsigned char> row(std::size_t(width * components), 200);
  while (c.next_scanline < c.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::vector<std::uint8_t> bytes(out, out + size);
  std::free(out);
  return bytes;
}

// Offset of the frame header's height field (after FF C0/C2, length and precision).
std::size_t FrameSizeOffset(const std::vector<std::uint8_t>& j) {
  for (std::size_t i = 2; i + 8 < j.size(); ++i)
    if (j[i] == 0xFF && (j[i + 1] == 0xC0 || j[i + 1] == 0xC2)) return i + 5;
  return 0;
}

TEST(JpegPicture, BuiltInLogoDecodesToItsSize) {
  const auto logo = ReadLogo();
  ASSERT_GT(logo.size(), 1000u);
  std::string error;
  const auto p = DecodeJpeg(logo.data(), logo.size(), &error);
  ASSERT_TRUE(p) << error;
  EXPECT_EQ(p->width, 600);
  EXPECT_EQ(p->height, 390);
  EXPECT_EQ(p->rgb.size(), 600u * 390u * 3u);
}

TEST(JpegPicture, GreyIsShownAsRgbCmykIsRefused) {
  const auto grey = Encode(1, JCS_GRAYSCALE);
  const auto p = DecodeJpeg(grey.data(), grey.size());
  ASSERT_TRUE(p);
  EXPECT_EQ(p->rgb.size(), 16u * 8u * 3u);
  EXPECT_NEAR(p->rgb[0], 200, 3);
  EXPECT_EQ(p->rgb[0], p->rgb[1]);
  const auto cmyk = Encode(4, JCS_CMYK);
  std::string error;
  EXPECT_FALSE(DecodeJpeg(cmyk.data(), cmyk.size(), &error));
  EXPECT_EQ(error, "4 colour components");
}

// None of these may end the program; each yields nothing and a reason.
TEST(JpegPicture, CorruptDataIsRefusedWithAReason) {
  const auto logo = ReadLogo();
  std::vector<std::vector<std::uint8_t>> bad;
  bad.emplace_back(logo.begin(), logo.begin() + std::ptrdiff_t(logo.size() / 2));  // cut short
  bad.emplace_back(logo.begin(), logo.begin() + 300);                             // header only
  bad.push_back(std::vector<std::uint8_t>(4000, 0x00));                            // not a JPEG
  auto huge = logo;
  const std::size_t at = FrameSizeOffset(huge);
  ASSERT_NE(at, 0u);
  huge[at] = huge[at + 1] = huge[at + 2] = huge[at + 3] = 0xFF;  // 65535 x 65535
  bad.push_back(huge);
  auto empty = logo;
  empty[at] = empty[at + 1] = 0;  // height 0
  bad.push_back(empty);
  auto noEnd = logo;
  noEnd.resize(noEnd.size() - 2);  // end marker missing
  bad.push_back(noEnd);
  for (std::size_t i = 0; i < bad.size(); ++i) {
    std::string error;
    EXPECT_FALSE(DecodeJpeg(bad[i].data(), bad[i].size(), &error)) << "case " << i;
    EXPECT_FALSE(error.empty()) << "case " << i;
  }
  std::string error;
  EXPECT_FALSE(DecodeJpeg(nullptr, 0, &error));
  EXPECT_EQ(error, "no picture data");
  // The decoder is still usable afterwards.
  EXPECT_TRUE(DecodeJpeg(logo.data(), logo.size()));
}

}  // namespace
}  // namespace rq
