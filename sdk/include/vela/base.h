// The object model every vela50 object shares: the intrusive reference
// counter, the smart_ptr that holds it, and the exception family.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <type_traits>

#include "vela/export.h"

namespace vela::base::exceptions {

// Holds an owned copy of its message. Copies share that text, so copying an
// exception (as a throw does) never allocates and never throws.
struct VELA_API base_exception : std::exception {
  explicit base_exception(const char* message);
  base_exception(const base_exception& other) noexcept;
  base_exception& operator=(const base_exception& other) noexcept;
  ~base_exception() override;
  const char* what() const noexcept override;

 private:
  struct Text;
  Text* text_;
};

struct VELA_API invalid_refcounter : base_exception {
  invalid_refcounter();
  ~invalid_refcounter() override;
};

struct VELA_API out_of_range : base_exception {
  out_of_range();
  ~out_of_range() override;
};

struct VELA_API invalid_argument : base_exception {
  invalid_argument();
  explicit invalid_argument(const char* message);
  ~invalid_argument() override;
};

struct VELA_API not_implemented : base_exception {
  not_implemented();
  ~not_implemented() override;
};

struct VELA_API not_supported : base_exception {
  not_supported();
  ~not_supported() override;
};

struct VELA_API bad_quality : base_exception {
  bad_quality();
  ~bad_quality() override;
};

struct VELA_API math_error : base_exception {
  explicit math_error(const char* message);
  ~math_error() override;
};

struct VELA_API incits378_error : base_exception {
  incits378_error();
  explicit incits378_error(const char* message);
  ~incits378_error() override;
};

}  // namespace vela::base::exceptions

namespace vela::scan {

class VELA_API scan_exception : public vela::base::exceptions::base_exception {
 public:
  explicit scan_exception(const char* message);
  ~scan_exception() override;
};

class VELA_API scan_timeout_exception : public scan_exception {
 public:
  explicit scan_timeout_exception(const char* message);
  ~scan_timeout_exception() override;
};

}  // namespace vela::scan

namespace vela::base {

// The one virtual base of every library object. A new object has count 0;
// the first smart_ptr that takes it makes it 1, and the Release that brings
// the count back to 0 deletes it.
class VELA_API BaseRefCounter {
 protected:
  virtual ~BaseRefCounter();

 public:
  virtual void AddRef() const;
  // Throws invalid_refcounter when the count would go below zero; the object
  // is then left as it was.
  virtual void Release() const;
  virtual long Version() const;

  BaseRefCounter();
  // A copy is a new object: it starts with its own count of 0.
  BaseRefCounter(const BaseRefCounter&);
  BaseRefCounter& operator=(const BaseRefCounter&);

 private:
  mutable std::atomic<int32_t> count;
};

// Holds one reference to a library object (or nothing).
template <class T>
class smart_ptr {
 public:
  smart_ptr() noexcept = default;
  smart_ptr(std::nullptr_t) noexcept {}
  smart_ptr(T* object) : p_(object) {
    if (p_) p_->AddRef();
  }
  smart_ptr(const smart_ptr& other) : smart_ptr(other.p_) {}
  smart_ptr(smart_ptr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  template <class U>
    requires std::is_convertible_v<U*, T*>
  smart_ptr(const smart_ptr<U>& other) : smart_ptr(static_cast<T*>(other.get())) {}

  // A destructor must not throw: a failing Release here is swallowed.
  // Call Release on the object yourself to see the failure.
  ~smart_ptr() {
    if (!p_) return;
    try {
      p_->Release();
    } catch (...) {
    }
  }

  smart_ptr& operator=(smart_ptr other) noexcept {
    T* old = p_;
    p_ = other.p_;
    other.p_ = old;
    return *this;
  }

  // Lets go of the object; a failing Release propagates (the pointer is
  // empty either way).
  void reset() {
    T* old = p_;
    p_ = nullptr;
    if (old) old->Release();
  }

  T* operator->() const {
    if (!p_) throw exceptions::invalid_argument();
    return p_;
  }
  T& operator*() const {
    if (!p_) throw exceptions::invalid_argument();
    return *p_;
  }

  T* get() const noexcept { return p_; }
  bool empty() const noexcept { return p_ == nullptr; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

  friend bool operator==(const smart_ptr& a, const smart_ptr& b) noexcept { return a.p_ == b.p_; }

 private:
  T* p_ = nullptr;
};

// Moves between the faces of one object (for example the InputStream and
// OutputStream of a memory stream). Empty when the object lacks that face.
template <class To, class From>
smart_ptr<To> smart_ptr_cast(const smart_ptr<From>& from) {
  return smart_ptr<To>(dynamic_cast<To*>(from.get()));
}

}  // namespace vela::base
