#include "streams/MemoryStream.h"
#include "streams/StreamArguments.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "streams/Base64.h"

namespace vela::base {

MemoryStreamImpl::MemoryStreamImpl(std::vector<uint8_t> bytes) : buffer(std::move(bytes)) {}

MemoryStreamImpl::~MemoryStreamImpl() = default;

int32_t MemoryStreamImpl::Size() { return static_cast<int32_t>(buffer.size()); }

int32_t MemoryStreamImpl::Tell() { return position; }

int32_t MemoryStreamImpl::Seek(int32_t offset, SeekOrigin origin) {
  int64_t target;
  switch (origin) {
    case SeekOrigin::Begin:
      target = offset;
      break;
    case SeekOrigin::Current:
      target = int64_t{position} + offset;
      break;
    case SeekOrigin::End:
      target = static_cast<int64_t>(buffer.size()) + offset;
      break;
    default:
      return static_cast<int32_t>(origin);
  }
  // Past the end is allowed; a position the 32-bit interface cannot hold is not.
  if (target < std::numeric_limits<int32_t>::min() || target > std::numeric_limits<int32_t>::max())
    throw exceptions::out_of_range();
  position = static_cast<int32_t>(target);
  return position;
}

int32_t MemoryStreamImpl::Read(void* out, int32_t count) {
  CheckByteArguments(out, count);
  if (position < 0 || int64_t{position} + count > static_cast<int64_t>(buffer.size()))
    throw exceptions::out_of_range();
  if (count > 0) std::memcpy(out, buffer.data() + position, static_cast<size_t>(count));
  position += count;
  return count;
}

void MemoryStreamImpl::Write(const void* data, int32_t count) {
  CheckByteArguments(data, count);
  if (position < 0) throw exceptions::out_of_range();
  const int64_t end = int64_t{position} + count;
  if (end > std::numeric_limits<int32_t>::max()) throw exceptions::out_of_range();
  const size_t needed = static_cast<size_t>(end);
  if (needed > buffer.size()) {
    // Grow the capacity geometrically so many small writes stay linear.
    if (needed > buffer.capacity())
      buffer.reserve(std::max(needed, buffer.capacity() + buffer.capacity() / 2));
    buffer.resize(needed, 0);
  }
  if (count > 0) std::memcpy(buffer.data() + position, data, static_cast<size_t>(count));
  position = static_cast<int32_t>(end);
}

int32_t MemoryStreamImpl::Flush() { return 0; }

const char* MemoryStreamImpl::ToBase64() {
  base64 = EncodeBase64(buffer);
  return base64.c_str();
}

void MemoryStreamImpl::SetPosition(int32_t newPosition) { position = newPosition; }

Stream::~Stream() = default;
InputStream::~InputStream() = default;
OutputStream::~OutputStream() = default;
MemoryStream::~MemoryStream() = default;

}  // namespace vela::base

extern "C" {

vela::base::smart_ptr<vela::base::MemoryStream> Create_MemoryStream(const void* data,
                                                                   int32_t size) {
  if (size < 0 || (size > 0 && !data)) throw vela::base::exceptions::invalid_argument();
  const auto* bytes = static_cast<const uint8_t*>(data);
  std::vector<uint8_t> copy(bytes, bytes + size);
  return vela::base::smart_ptr<vela::base::MemoryStream>(
      new vela::base::MemoryStreamImpl(std::move(copy)));
}

vela::base::smart_ptr<vela::base::MemoryStream> Create_MemoryStreamFromBase64String(
    const char* text) {
  std::vector<uint8_t> bytes = vela::base::DecodeBase64(text);
  if (bytes.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
    throw vela::base::exceptions::out_of_range();
  return vela::base::smart_ptr<vela::base::MemoryStream>(
      new vela::base::MemoryStreamImpl(std::move(bytes)));
}
}
