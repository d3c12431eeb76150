#include "picture/JpegCodec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "picture/Graphic.h"

namespace pv::picture {

namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  bool inImage = false;  // past the headers, into the rows
  bool truncated = false;
};

[[noreturn]] void OnError(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  std::longjmp(manager->jump, 1);
}

void Quiet(j_common_ptr, int) {}

// The library fills what is missing at the end of a file or of its image data with grey and
// only warns: a file cut short would pass for a whole (blank) image, after decoding all the
// rows its frame claims.
void StopAtEnd(j_common_ptr info, int level) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  const int code = manager->base.msg_code;
  if (level >= 0 || !manager->inImage || (code != JWRN_JPEG_EOF && code != JWRN_HIT_MARKER)) return;
  manager->truncated = true;
  std::longjmp(manager->jump, 1);
}

std::string ErrorText(int code) { return "JPEG error #" + std::to_string(code); }

// The library's errors jump back into these two functions; everything that outlives the jump
// lives in the caller's frame and is reached through pointers.
bool Decode(jpeg_decompress_struct* info, ErrorManager* errors, std::span<const uint8_t> bytes,
            canvas::Bitmap* bitmap, std::vector<uint8_t>* row, bool* tooLarge) {
  if (setjmp(errors->jump)) return false;
  jpeg_create_decompress(info);
  jpeg_mem_src(info, const_cast<unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(info, TRUE);
  if (static_cast<uint64_t>(info->image_width) * info->image_height > kMaxPicturePixels) {
    *tooLarge = true;
    return false;
  }
  info->out_color_space = JCS_RGB;
  errors->inImage = true;
  jpeg_start_decompress(info);
  *bitmap = canvas::Bitmap(static_cast<int32_t>(info->output_width), static_cast<int32_t>(info->output_height));
  row->resize(static_cast<size_t>(info->output_width) * 3);
  while (info->output_scanline < info->output_height) {
    const int32_t y = static_cast<int32_t>(info->output_scanline);
    JSAMPROW rows[1] = {row->data()};
    jpeg_read_scanlines(info, rows, 1);
    uint32_t* to = bitmap->Row(y);
    const uint8_t* from = row->data();
    for (size_t x = 0; x < info->output_width; ++x) {
      to[x] = (static_cast<uint32_t>(from[3 * x]) << 16) | (static_cast<uint32_t>(from[3 * x + 1]) << 8) | from[3 * x + 2];
    }
  }
  jpeg_finish_decompress(info);
  return true;
}

bool Encode(jpeg_compress_struct* info, ErrorManager* errors, const canvas::Bitmap& bitmap, int quality,
            unsigned char** buffer, unsigned long* size, std::vector<uint8_t>* row) {
  if (setjmp(errors->jump)) return false;
  jpeg_create_compress(info);
  jpeg_mem_dest(info, buffer, size);
  info->image_width = static_cast<JDIMENSION>(bitmap.Width());
  info->image_height = static_cast<JDIMENSION>(bitmap.Height());
  info->input_components = 3;
  info->in_color_space = JCS_RGB;
  jpeg_set_defaults(info);
  jpeg_set_quality(info, quality, TRUE);
  jpeg_start_compress(info, TRUE);
  while (info->next_scanline < info->image_height) {
    const uint32_t* from = bitmap.Row(static_cast<int32_t>(info->next_scanline));
    uint8_t* to = row->data();
    for (int32_t x = 0; x < bitmap.Width(); ++x) {
      to[3 * static_cast<size_t>(x)] = static_cast<uint8_t>(from[x] >> 16);
      to[3 * static_cast<size_t>(x) + 1] = static_cast<uint8_t>(from[x] >> 8);
      to[3 * static_cast<size_t>(x) + 2] = static_cast<uint8_t>(from[x]);
    }
    JSAMPROW rows[1] = {to};
    jpeg_write_scanlines(info, rows, 1);
  }
  jpeg_finish_compress(info);
  return true;
}

}  // namespace

canvas::Bitmap ReadJpeg(std::span<const uint8_t> bytes) {
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnError;
  errors.base.emit_message = StopAtEnd;
  canvas::Bitmap bitmap;
  std::vector<uint8_t> row;
  bool tooLarge = false;
  const bool ok = Decode(&info, &errors, bytes, &bitmap, &row, &tooLarge);
  jpeg_destroy_decompress(&info);
  if (tooLarge) throw PictureError("JPEG: the image is too large");
  if (errors.truncated) throw PictureError("JPEG: the file ends before the image does");
  if (!ok) throw PictureError(ErrorText(errors.base.msg_code));
  return bitmap;
}

std::vector<uint8_t> WriteJpeg(const canvas::Bitmap& bitmap, int quality) {
  if (bitmap.Empty()) throw PictureError("JPEG: nothing to write");
  jpeg_compress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnError;
  errors.base.emit_message = Quiet;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  std::vector<uint8_t> row(static_cast<size_t>(bitmap.Width()) * 3);
  const bool ok = Encode(&info, &errors, bitmap, quality, &buffer, &size, &row);
  jpeg_destroy_compress(&info);
  std::vector<uint8_t> out;
  if (ok) out.assign(buffer, buffer + size);
  std::free(buffer);
  if (!ok) throw PictureError(ErrorText(errors.base.msg_code));
  return out;
}

}  // namespace pv::picture
