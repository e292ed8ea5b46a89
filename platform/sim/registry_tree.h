// A registry held in memory: the predefined roots, each a tree of keys with
// typed values. Names compare with the letters A-Z folded. A 32-bit program
// on 64-bit Windows sees HKLM\SOFTWARE and HKCR\CLSID through the registry
// redirector (below WOW6432Node); everything else is shared by both views.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "platform/types.h"

namespace ejectra::platform::sim {

enum class RegistryView { k64, k32 };

struct SimRegistryValue {
  std::uint32_t type = kRegBinary;
  std::vector<std::uint8_t> data;
  friend bool operator==(const SimRegistryValue&, const SimRegistryValue&) = default;
};

struct SimRegistryKey {
  SimRegistryKey() = default;
  SimRegistryKey(const SimRegistryKey& other);
  SimRegistryKey& operator=(const SimRegistryKey& other);
  SimRegistryKey(SimRegistryKey&&) = default;
  SimRegistryKey& operator=(SimRegistryKey&&) = default;

  std::map<std::u16string, SimRegistryValue, LessIgnoringAsciiCase> values;  // "" = default
  std::map<std::u16string, std::unique_ptr<SimRegistryKey>, LessIgnoringAsciiCase> subkeys;
};

class RegistryTree {
 public:
  // The predefined roots with the keys every 64-bit Windows has:
  // HKCR\CLSID, HKCR\WOW6432Node\CLSID, HKCU\Software,
  // HKLM\SOFTWARE\WOW6432Node and HKLM\SYSTEM.
  RegistryTree();

  // The root of a predefined key (HKCR, HKCU, HKLM), or null.
  SimRegistryKey* Root(RegKey root);
  const SimRegistryKey* Root(RegKey root) const;
  // The key `path` below the predefined `root` as `view` sees it; null when
  // it is missing.
  const SimRegistryKey* Find(RegKey root, std::u16string_view path,
                             RegistryView view = RegistryView::k64) const;
  SimRegistryKey* Find(RegKey root, std::u16string_view path,
                       RegistryView view = RegistryView::k64);
  // The same key, made with its parents where missing.
  SimRegistryKey& Create(RegKey root, std::u16string_view path,
                         RegistryView view = RegistryView::k64);

  // The REG_SZ text of a value ("" for the default), if there is one.
  std::optional<std::u16string> Text(RegKey root, std::u16string_view path,
                                     std::u16string_view name = u"",
                                     RegistryView view = RegistryView::k64) const;
  // Every key below `root` as a path, depth first, in name order.
  std::vector<std::u16string> Keys(RegKey root) const;

  // Whether the key is one of those every Windows has (or on the way to one).
  static bool IsSkeleton(RegKey root, std::u16string_view path);
  // The path below `root` that `view` leads `path` to.
  static std::u16string Redirected(RegKey root, std::u16string_view path, RegistryView view);
  // The key `path` below `from`; with `create`, made where missing.
  static SimRegistryKey* Walk(SimRegistryKey& from, std::u16string_view path, bool create);
  // The names of a path's keys, empty names (doubled backslashes) passed over.
  static std::vector<std::u16string> Split(std::u16string_view path);

 private:
  std::map<RegKey, SimRegistryKey> roots_;
};

}  // namespace ejectra::platform::sim
