// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/jpeg_picture.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace rq {
namespace {

// The library reports a fatal error by calling error_exit, whose default ends the program. Ours
// keeps the message and jumps back to the decoder.
struct ErrorManager {
  jpeg_error_mgr pub;  // first: the library hands back a pointer to it
  std::jmp_buf back;
  char message[JMSG_LENGTH_MAX];
};

// Everything the decoder changes after the jump point lives here, outside the frame that
// calls setjmp.
struct Decoding {
  ErrorManager err{};
  jpeg_decompress_struct info{};
  bool created = false;
  RgbPicture picture;
};

ErrorManager* Of(j_common_ptr cinfo) { return reinterpret_cast<ErrorManager*>(cinfo->err); }

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  ErrorManager* e = Of(cinfo);
  (*cinfo->err->format_message)(cinfo, e->message);
  std::longjmp(e->back, 1);
}

// Warnings (corrupt data the library works around) are kept instead of printed; the first one
// is the message.
void OutputMessage(j_common_ptr cinfo) {
  ErrorManager* e = Of(cinfo);
  if (e->message[0] == '\0') (*cinfo->err->format_message)(cinfo, e->message);
}

// Runs the library; returns false after a fatal error. Holds no objects of its own, so the
// jump back from ErrorExit skips no destructor and leaves no local variable undefined.
bool Run(Decoding& d, const std::uint8_t* data, std::size_t size) {
  if (setjmp(d.err.back) != 0) return false;
  jpeg_create_decompress(&d.info);
  d.created = true;
  jpeg_mem_src(&d.info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&d.info, TRUE);
  if (d.info.num_components != 1 && d.info.num_components != 3) {
    std::snprintf(d.err.message, sizeof d.err.message, "%d colour components", d.info.num_components);
    return false;
  }
  if (d.info.image_width > unsigned(kMaxPictureSide) || d.info.image_height > unsigned(kMaxPictureSide)) {
    std::snprintf(d.err.message, sizeof d.err.message, "picture of %u x %u is too large", d.info.image_width,
                  d.info.image_height);
    return false;
  }
  d.info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&d.info);
  const auto width = static_cast<std::size_t>(d.info.output_width);
  d.picture.width = static_cast<int>(d.info.output_width);
  d.picture.height = static_cast<int>(d.info.output_height);
  d.picture.rgb.assign(width * d.info.output_height * 3, 0);
  while (d.info.output_scanline < d.info.output_height) {
    JSAMPROW row = d.picture.rgb.data() + static_cast<std::size_t>(d.info.output_scanline) * width * 3;
    jpeg_read_scanlines(&d.info, &row, 1);
  }
  jpeg_finish_decompress(&d.info);
  return true;
}

}  // namespace

std::optional<RgbPicture> DecodeJpeg(const std::uint8_t* data, std::size_t size, std::string* error) {
  Decoding d;
  d.info.err = jpeg_std_error(&d.err.pub);
  d.err.pub.error_exit = ErrorExit;
  d.err.pub.output_message = OutputMessage;
  const bool ok = data != nullptr && size > 0 && Run(d, data, size);
  if (d.created) jpeg_destroy_decompress(&d.info);
  const bool warned = d.err.pub.num_warnings > 0;
  if (ok && !warned) return std::move(d.picture);
  if (error != nullptr) {
    if (data == nullptr || size == 0) *error = "no picture data";
    else *error = d.err.message[0] != '\0' ? d.err.message : "corrupt picture";
  }
  return std::nullopt;
}

}  // namespace rq
