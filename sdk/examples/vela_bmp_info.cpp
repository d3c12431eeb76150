// vela_bmp_info IN.bmp OUT.bmp
// Loads a BMP, prints its size and resolution, and writes it back as a
// 24-bit BMP.
#include <cstdio>
#include <exception>

#include "vela/vela.h"

using vela::base::smart_ptr;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s IN.bmp OUT.bmp\n", argv[0]);
    return 2;
  }
  try {
    smart_ptr<vela::render::BMP_Image> image =
        vela::render::Create_BMP_Image(Create_IFileStream(argv[1]));
    std::printf("%s: width %d, height %d, resolution %d x %d dpi, %d bits per pixel\n", argv[1],
                image->GetWidth(), image->GetHeight(), image->GetXResolution(),
                image->GetYResolution(), image->GetBitsPerPixel());
    image->ConvertTo24Bpp();
    image->Save(Create_OFileStream(argv[2]));
    std::printf("%s: written as 24-bit BMP\n", argv[2]);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vela_bmp_info: %s\n", e.what());
  } catch (const char* text) {
    std::fprintf(stderr, "vela_bmp_info: %s\n", text);
  }
  return 1;
}
