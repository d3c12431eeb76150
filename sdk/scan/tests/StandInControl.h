#pragma once
// The test's side of a stand-in vendor library: loads it by its Linux file
// name (from the test program's run path, where the build put the stand-ins)
// and keeps it loaded, so its script and counters outlive the bindings'
// own loading and unloading.

#include <dlfcn.h>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class StandInControl {
 public:
  explicit StandInControl(const char* fileName) : handle(dlopen(fileName, RTLD_NOW | RTLD_LOCAL)) {
    if (!handle) throw std::runtime_error(std::string("stand-in not found: ") + fileName);
    reset = Entry<void (*)()>("standin_reset");
    set = Entry<void (*)(const char*, int64_t)>("standin_set");
    setBytes = Entry<void (*)(const char*, const uint8_t*, size_t)>("standin_set_bytes");
    calls = Entry<const char* (*)()>("standin_calls");
    clearCalls = Entry<void (*)()>("standin_clear_calls");
    openHandles = Entry<int (*)()>("standin_open_handles");
    allocations = Entry<int (*)()>("standin_allocations");
    reset();
  }
  ~StandInControl() { dlclose(handle); }
  StandInControl(const StandInControl&) = delete;
  StandInControl& operator=(const StandInControl&) = delete;

  void Set(const char* key, int64_t value) { set(key, value); }
  void SetBytes(const char* key, const std::vector<uint8_t>& bytes) { setBytes(key, bytes.data(), bytes.size()); }
  // The calls logged since the last TakeCalls (or the start).
  std::string TakeCalls() {
    std::string log = calls();
    clearCalls();
    return log;
  }
  int OpenHandles() { return openHandles(); }
  int Allocations() { return allocations(); }
  void Reset() { reset(); }

 private:
  template <class F>
  F Entry(const char* name) {
    void* entry = dlsym(handle, name);
    if (!entry) throw std::runtime_error(std::string("stand-in lacks ") + name);
    return reinterpret_cast<F>(entry);
  }

  void* handle;
  void (*reset)();
  void (*set)(const char*, int64_t);
  void (*setBytes)(const char*, const uint8_t*, size_t);
  const char* (*calls)();
  void (*clearCalls)();
  int (*openHandles)();
  int (*allocations)();
};
