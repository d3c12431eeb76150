#pragma once
// Sets a flag for the lifetime of the scope, so that a handler can tell its own re-entry.

namespace pv::graphics {

class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace pv::graphics
