// Base64 text from outside (a template or an image sent as text) read into a memory stream:
// the stream holds what the text spells, and its own text reads back to the same bytes.
// The bytes taken as a stream's content must travel through base64 unchanged as well.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "streams/Base64.h"
#include "vela/streams.h"

using vela::base::MemoryStream;
using vela::base::smart_ptr;

namespace {

std::vector<uint8_t> Content(const smart_ptr<MemoryStream>& stream) {
  stream->SetPosition(0);
  std::vector<uint8_t> bytes(size_t(stream->Size()));
  if (!bytes.empty() && stream->Read(bytes.data(), int32_t(bytes.size())) != int32_t(bytes.size())) std::abort();
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);  // read up to its first NUL
  const smart_ptr<MemoryStream> decoded = Create_MemoryStreamFromBase64String(text.c_str());
  if (!decoded || decoded->Tell() != 0) std::abort();
  const std::vector<uint8_t> bytes = Content(decoded);
  if (bytes != vela::base::DecodeBase64(text.c_str())) std::abort();
  const std::string again = decoded->ToBase64();
  if (again != vela::base::EncodeBase64(bytes)) std::abort();
  if (Content(Create_MemoryStreamFromBase64String(again.c_str())) != bytes) std::abort();

  const smart_ptr<MemoryStream> raw = Create_MemoryStream(data, int32_t(size));
  const std::string rawText = raw->ToBase64();
  if (rawText.size() != (size + 2) / 3 * 4) std::abort();
  if (Content(Create_MemoryStreamFromBase64String(rawText.c_str())) != std::vector<uint8_t>(data, data + size))
    std::abort();
  return 0;
}
