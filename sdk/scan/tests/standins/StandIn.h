#pragma once
// What every stand-in vendor library shares: a log of the calls made into
// it, values scripted by the test (the pixels of a capture among them), and
// counters of open handles and of blocks handed out. The test reaches them through the extern "C" controls
// below, looked up in the same loaded library.

#include <cstdint>
#include <string>
#include <vector>

#define STANDIN_EXPORT extern "C" __attribute__((visibility("default")))

// The entry point has the type the binding looks it up as.
#define STANDIN_MATCHES(entry, type) static_assert(std::is_same_v<decltype(&entry), type>, #entry)

namespace standin {

// Appends "name(arguments)" to the call log.
void Log(const std::string& call);
// The scripted value of key, or fallback when the test set none.
int64_t Value(const std::string& key, int64_t fallback);
// The scripted bytes of key (empty when none).
std::vector<uint8_t> Bytes(const std::string& key);

// The scripted pixels ("pixels", repeated to any length) when there are some: byte i of a
// capture is then At(i), else the stand-in's own byte. Read once a capture.
class Pixels {
 public:
  Pixels() : bytes(Bytes("pixels")) {}
  uint8_t At(size_t i, uint8_t own) const { return bytes.empty() ? own : bytes[i % bytes.size()]; }

 private:
  std::vector<uint8_t> bytes;
};

void Opened();
void Closed();
void Allocated();
void Freed();

}  // namespace standin

STANDIN_EXPORT void standin_reset();
STANDIN_EXPORT void standin_set(const char* key, int64_t value);
STANDIN_EXPORT void standin_set_bytes(const char* key, const uint8_t* data, size_t size);
// The calls since the last reset, each "name(arguments)", separated by " ".
STANDIN_EXPORT const char* standin_calls();
STANDIN_EXPORT void standin_clear_calls();
STANDIN_EXPORT int standin_open_handles();
STANDIN_EXPORT int standin_allocations();
