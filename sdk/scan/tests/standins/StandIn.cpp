#include "StandIn.h"

#include <map>
#include <mutex>

namespace standin {
namespace {

struct State {
  std::mutex mutex;
  std::string calls;
  std::string callsCopy;
  std::map<std::string, int64_t> values;
  std::map<std::string, std::vector<uint8_t>> bytes;
  int openHandles = 0;
  int allocations = 0;
};

State& state() {
  static State s;
  return s;
}

}  // namespace

void Log(const std::string& call) {
  std::lock_guard lock(state().mutex);
  if (!state().calls.empty()) state().calls += ' ';
  state().calls += call;
}

int64_t Value(const std::string& key, int64_t fallback) {
  std::lock_guard lock(state().mutex);
  auto it = state().values.find(key);
  return it == state().values.end() ? fallback : it->second;
}

std::vector<uint8_t> Bytes(const std::string& key) {
  std::lock_guard lock(state().mutex);
  auto it = state().bytes.find(key);
  return it == state().bytes.end() ? std::vector<uint8_t>{} : it->second;
}

void Opened() {
  std::lock_guard lock(state().mutex);
  ++state().openHandles;
}
void Closed() {
  std::lock_guard lock(state().mutex);
  --state().openHandles;
}
void Allocated() {
  std::lock_guard lock(state().mutex);
  ++state().allocations;
}
void Freed() {
  std::lock_guard lock(state().mutex);
  --state().allocations;
}

}  // namespace standin

using standin::state;

void standin_reset() {
  std::lock_guard lock(state().mutex);
  state().calls.clear();
  state().values.clear();
  state().bytes.clear();
  state().openHandles = 0;
  state().allocations = 0;
}

void standin_set(const char* key, int64_t value) {
  std::lock_guard lock(state().mutex);
  state().values[key] = value;
}

void standin_set_bytes(const char* key, const uint8_t* data, size_t size) {
  std::lock_guard lock(state().mutex);
  state().bytes[key].assign(data, data + size);
}

const char* standin_calls() {
  std::lock_guard lock(state().mutex);
  state().callsCopy = state().calls;
  return state().callsCopy.c_str();
}

void standin_clear_calls() {
  std::lock_guard lock(state().mutex);
  state().calls.clear();
}

int standin_open_handles() {
  std::lock_guard lock(state().mutex);
  return state().openHandles;
}

int standin_allocations() {
  std::lock_guard lock(state().mutex);
  return state().allocations;
}
