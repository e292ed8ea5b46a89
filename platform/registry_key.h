// Owns one open registry key and closes it when it goes out of scope.
#pragma once

#include "platform/core_services.h"

namespace ejectra::platform {

class ScopedRegKey {
 public:
  explicit ScopedRegKey(RegistryReader& registry) : registry_(registry) {}
  ~ScopedRegKey() {
    if (key_) registry_.RegCloseKey(key_);
  }
  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;

  RegKey* Out() { return &key_; }  // for the call that opens it
  RegKey Get() const { return key_; }

 private:
  RegistryReader& registry_;
  RegKey key_ = 0;  // no open key is ever 0
};

}  // namespace ejectra::platform
