#include <atomic>
#include <string>

#include "vela/base.h"

namespace vela::base::exceptions {

struct base_exception::Text {
  std::atomic<int> refs{1};
  std::string chars;
};

base_exception::base_exception(const char* message) : text_(new Text) {
  text_->chars = message ? message : "";
}

base_exception::base_exception(const base_exception& other) noexcept
    : std::exception(other), text_(other.text_) {
  text_->refs.fetch_add(1, std::memory_order_relaxed);
}

base_exception& base_exception::operator=(const base_exception& other) noexcept {
  other.text_->refs.fetch_add(1, std::memory_order_relaxed);
  Text* old = text_;
  text_ = other.text_;
  if (old->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete old;
  return *this;
}

base_exception::~base_exception() {
  if (text_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete text_;
}

const char* base_exception::what() const noexcept { return text_->chars.c_str(); }

invalid_refcounter::invalid_refcounter() : base_exception("Invalid reference counter state") {}
invalid_refcounter::~invalid_refcounter() = default;

out_of_range::out_of_range() : base_exception("Out of range") {}
out_of_range::~out_of_range() = default;

invalid_argument::invalid_argument() : base_exception("Invalid argument") {}
invalid_argument::invalid_argument(const char* message) : base_exception(message) {}
invalid_argument::~invalid_argument() = default;

not_implemented::not_implemented() : base_exception("Not implemented") {}
not_implemented::~not_implemented() = default;

not_supported::not_supported() : base_exception("Not supported") {}
not_supported::~not_supported() = default;

bad_quality::bad_quality() : base_exception("Bad image quality") {}
bad_quality::~bad_quality() = default;

math_error::math_error(const char* message) : base_exception(message) {}
math_error::~math_error() = default;

incits378_error::incits378_error() : base_exception("INCITS378 error") {}
incits378_error::incits378_error(const char* message) : base_exception(message) {}
incits378_error::~incits378_error() = default;

}  // namespace vela::base::exceptions

namespace vela::scan {

scan_exception::scan_exception(const char* message) : base_exception(message) {}
scan_exception::~scan_exception() = default;

scan_timeout_exception::scan_timeout_exception(const char* message) : scan_exception(message) {}
scan_timeout_exception::~scan_timeout_exception() = default;

}  // namespace vela::scan
