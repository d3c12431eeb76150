// A growable byte buffer read and written at one position.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vela/streams.h"

namespace vela::base {

class MemoryStreamImpl final : public virtual MemoryStream {
 public:
  explicit MemoryStreamImpl(std::vector<uint8_t> bytes);

  int32_t Size() override;
  int32_t Tell() override;
  int32_t Seek(int32_t offset, SeekOrigin origin) override;
  int32_t Read(void* buffer, int32_t count) override;
  void Write(const void* data, int32_t count) override;
  int32_t Flush() override;
  const char* ToBase64() override;
  void SetPosition(int32_t position) override;

 protected:
  ~MemoryStreamImpl() override;

 private:
  std::vector<uint8_t> buffer;
  int32_t position = 0;
  std::string base64;
};

}  // namespace vela::base
