#pragma once
// The test scanner's input: the BMP files of one folder, relative to the
// current directory.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace vela::scan {

inline constexpr const char* fakeScanFolder = "fakescan_images/";

// The names (no folder) of the folder's *.bmp files, the extension matched
// without regard to case, in a stable order: by name, ignoring case. No
// folder, no names.
std::vector<std::string> ListBmpFiles(const std::filesystem::path& folder);

// An 8-bit image as the test scanner replays it: rows top-down, unpadded.
struct ReplayImage {
  int32_t width = 0;
  int32_t height = 0;
  int32_t xResolution = 0;
  int32_t yResolution = 0;
  std::vector<uint8_t> pixels;
};

// Reads an 8-bit palette BMP file; each pixel becomes the first (blue) byte
// of its palette entry, resolutions are truncated to whole dots per inch.
// Throws for a file that cannot be read or is not such a BMP: sizes, depth
// and offsets are checked before anything is read from the pixel data.
ReplayImage LoadReplayImage(const std::filesystem::path& file);
// The same for the bytes of such a file.
ReplayImage DecodeReplayImage(std::span<const uint8_t> bytes);

}  // namespace vela::scan
