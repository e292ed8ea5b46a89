#include "platform/sim/registry_tree.h"

#include <functional>

namespace ejectra::platform::sim {

namespace {

constexpr char16_t kWow64Node[] = u"WOW6432Node";

// The keys every 64-bit Windows has, the redirector's among them.
constexpr struct {
  RegKey root;
  const char16_t* path;
} kSkeleton[] = {{kHkeyClassesRoot, u"CLSID"},
                 {kHkeyClassesRoot, u"WOW6432Node\\CLSID"},
                 {kHkeyCurrentUser, u"Software"},
                 {kHkeyLocalMachine, u"SOFTWARE\\WOW6432Node"},
                 {kHkeyLocalMachine, u"SYSTEM"}};

}  // namespace

SimRegistryKey::SimRegistryKey(const SimRegistryKey& other) : values(other.values) {
  for (const auto& [name, child] : other.subkeys) {
    subkeys.emplace(name, std::make_unique<SimRegistryKey>(*child));
  }
}

SimRegistryKey& SimRegistryKey::operator=(const SimRegistryKey& other) {
  if (this != &other) *this = SimRegistryKey(other);
  return *this;
}

RegistryTree::RegistryTree() {
  for (const auto& [root, path] : kSkeleton) Walk(roots_[root], path, true);
}

bool RegistryTree::IsSkeleton(RegKey root, std::u16string_view path) {
  for (const auto& key : kSkeleton) {
    const std::u16string_view known = key.path;
    if (key.root == root &&
        (EqualsIgnoringAsciiCase(known, path) ||
         (known.size() > path.size() && known[path.size()] == u'\\' &&
          EqualsIgnoringAsciiCase(known.substr(0, path.size()), path)))) {
      return true;
    }
  }
  return false;
}


SimRegistryKey* RegistryTree::Root(RegKey root) {
  const auto it = roots_.find(root);
  return it == roots_.end() ? nullptr : &it->second;
}

const SimRegistryKey* RegistryTree::Root(RegKey root) const {
  const auto it = roots_.find(root);
  return it == roots_.end() ? nullptr : &it->second;
}

std::vector<std::u16string> RegistryTree::Split(std::u16string_view path) {
  std::vector<std::u16string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t slash = std::min(path.find(u'\\', start), path.size());
    if (slash > start) parts.emplace_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return parts;
}

std::u16string RegistryTree::Redirected(RegKey root, std::u16string_view path,
                                        RegistryView view) {
  std::vector<std::u16string> parts = Split(path);
  if (view == RegistryView::k32 && !parts.empty()) {
    if (root == kHkeyLocalMachine && EqualsIgnoringAsciiCase(parts[0], u"SOFTWARE")) {
      parts.insert(parts.begin() + 1, kWow64Node);
    } else if (root == kHkeyClassesRoot && EqualsIgnoringAsciiCase(parts[0], u"CLSID")) {
      parts.insert(parts.begin(), kWow64Node);
    }
  }
  std::u16string joined;
  for (const std::u16string& part : parts) joined += (joined.empty() ? u"" : u"\\") + part;
  return joined;
}

SimRegistryKey* RegistryTree::Walk(SimRegistryKey& from, std::u16string_view path, bool create) {
  SimRegistryKey* key = &from;
  for (std::u16string& part : Split(path)) {
    const auto child = key->subkeys.find(part);
    if (child != key->subkeys.end()) {
      key = child->second.get();
    } else if (create) {
      key = key->subkeys.emplace(std::move(part), std::make_unique<SimRegistryKey>())
                .first->second.get();
    } else {
      return nullptr;
    }
  }
  return key;
}

SimRegistryKey* RegistryTree::Find(RegKey root, std::u16string_view path, RegistryView view) {
  SimRegistryKey* top = Root(root);
  return top ? Walk(*top, Redirected(root, path, view), false) : nullptr;
}

const SimRegistryKey* RegistryTree::Find(RegKey root, std::u16string_view path,
                                         RegistryView view) const {
  return const_cast<RegistryTree*>(this)->Find(root, path, view);
}

SimRegistryKey& RegistryTree::Create(RegKey root, std::u16string_view path, RegistryView view) {
  return *Walk(roots_.at(root), Redirected(root, path, view), true);
}

std::optional<std::u16string> RegistryTree::Text(RegKey root, std::u16string_view path,
                                                 std::u16string_view name,
                                                 RegistryView view) const {
  const SimRegistryKey* key = Find(root, path, view);
  if (!key) return std::nullopt;
  const auto value = key->values.find(name);
  if (value == key->values.end() || value->second.type != kRegSz) return std::nullopt;
  return TextFromUtf16le(value->second.data.data(), value->second.data.size());
}

std::vector<std::u16string> RegistryTree::Keys(RegKey root) const {
  std::vector<std::u16string> paths;
  const std::function<void(const SimRegistryKey&, const std::u16string&)> visit =
      [&](const SimRegistryKey& key, const std::u16string& prefix) {
        for (const auto& [name, child] : key.subkeys) {
          const std::u16string path = prefix.empty() ? name : prefix + u"\\" + name;
          paths.push_back(path);
          visit(*child, path);
        }
      };
  if (const SimRegistryKey* top = Root(root)) visit(*top, u"");
  return paths;
}

}  // namespace ejectra::platform::sim
