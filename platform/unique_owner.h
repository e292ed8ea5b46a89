// One owner for every handle the seam hands out: move-only, it closes its
// value through the seam call that `Traits` names, and a close never changes
// the thread's last error (the error a failing call left is still there to
// read after its owners have gone).
//
//   struct Traits {
//     using Seam = RegistryReader;            // the interface that closes it
//     using Value = RegKey;
//     static constexpr Value kEmpty = 0;       // the value that owns nothing
//     static void Close(Seam&, Value) noexcept;
//   };
//
// A seam whose calls report through the last error offers GetLastError and
// SetLastError; the owner keeps the error around the close for such seams.
//
// The owner keeps a pointer to its seam, so the seam must outlive it: a
// temporary one (a bundle returned by value) does not compile.
#pragma once

#include <type_traits>
#include <utility>

#include "platform/types.h"

namespace ejectra::platform {

template <typename Traits>
class UniqueOwner {
 public:
  using Seam = typename Traits::Seam;
  using Value = typename Traits::Value;

  explicit UniqueOwner(Seam& seam, Value value = Traits::kEmpty) noexcept
      : seam_(&seam), value_(value) {}
  explicit UniqueOwner(const std::remove_const_t<Seam>&& seam,
                       Value value = Traits::kEmpty) = delete;
  ~UniqueOwner() { reset(); }
  UniqueOwner(UniqueOwner&& other) noexcept : seam_(other.seam_), value_(other.release()) {}
  UniqueOwner& operator=(UniqueOwner&& other) noexcept {
    if (this != &other) {
      reset(other.release());
      seam_ = other.seam_;
    }
    return *this;
  }
  UniqueOwner(const UniqueOwner&) = delete;
  UniqueOwner& operator=(const UniqueOwner&) = delete;

  Value get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return value_ != Traits::kEmpty; }

  // Gives the value up without closing it.
  Value release() noexcept { return std::exchange(value_, Traits::kEmpty); }
  // Closes what is owned, then owns `value`.
  void reset(Value value = Traits::kEmpty) noexcept {
    const Value old = std::exchange(value_, value);
    if (old != Traits::kEmpty) Close(old);
  }
  // For the call that opens: closes what is owned first.
  Value* put() noexcept {
    reset();
    return &value_;
  }

 private:
  void Close(Value value) noexcept {
    if constexpr (requires(Seam& s) {
                    s.GetLastError();
                    s.SetLastError(ErrorCode{});
                  }) {
      const ErrorCode kept = seam_->GetLastError();
      Traits::Close(*seam_, value);
      seam_->SetLastError(kept);
    } else {
      Traits::Close(*seam_, value);
    }
  }

  Seam* seam_;
  Value value_;
};

// The owner of one reference to a COM interface (a real one in the glue, or
// one of the portable mirrors): Release once, when it goes.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  explicit ComPtr(Interface* object) noexcept : object_(object) {}  // adopts one reference
  ~ComPtr() { reset(); }
  ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  Interface* get() const noexcept { return object_; }
  Interface* operator->() const noexcept { return object_; }
  explicit operator bool() const noexcept { return object_ != nullptr; }

  void reset() noexcept {
    if (Interface* object = std::exchange(object_, nullptr)) object->Release();
  }
  Interface* release() noexcept { return std::exchange(object_, nullptr); }
  // For the call that hands out a reference: releases what is held first.
  Interface** put() noexcept {
    reset();
    return &object_;
  }
  void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

 private:
  Interface* object_ = nullptr;
};

}  // namespace ejectra::platform
