#pragma once
// A move-only owner of one COM interface pointer: Release()d once, when the owner goes.
//
//   ComPtr<IShellWindows> windows;
//   if (FAILED(CoCreateInstance(..., IID_PPV_ARGS(windows.put())))) return ...;

#include <unknwn.h>

#include <utility>

namespace zc::win {

template <typename Interface>
class ComPtr {
 public:
  ComPtr() noexcept = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      value_ = std::exchange(other.value_, nullptr);
    }
    return *this;
  }

  Interface* get() const noexcept { return value_; }
  Interface* operator->() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != nullptr; }

  void reset() noexcept {
    if (Interface* old = std::exchange(value_, nullptr)) old->Release();
  }
  // For out-parameters: releases the current pointer and returns the slot to fill.
  Interface** put() noexcept {
    reset();
    return &value_;
  }

  // The same object through another of its interfaces; empty when it has none.
  template <typename Other>
  ComPtr<Other> As() const {
    ComPtr<Other> other;
    if (value_) value_->QueryInterface(__uuidof(Other), reinterpret_cast<void**>(other.put()));
    return other;
  }

 private:
  Interface* value_ = nullptr;
};

}  // namespace zc::win
