#include "helper/registry_script.h"

#include "helper/hook_session.h"
#include "platform/owners.h"
#include "platform/text.h"

namespace ejectra::helper {

using namespace platform;

namespace {

// --- Reading ----------------------------------------------------------------

class Parser {
 public:
  explicit Parser(std::u16string_view text) : text_(text) {}

  std::optional<std::vector<ScriptKey>> Script() {
    std::vector<ScriptKey> keys;
    while (SkipBlanks()) {
      const auto root = Token();
      if (!root || !(EqualsIgnoringAsciiCase(*root, u"HKCR") ||
                     EqualsIgnoringAsciiCase(*root, u"HKEY_CLASSES_ROOT")) ||
          !Expect(u'{') || !Block(keys, /*depth=*/1, /*valuesAllowed=*/false)) {
        return std::nullopt;
      }
    }
    return keys;
  }

 private:
  bool SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    return pos_ < text_.size();
  }

  static bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

  // Punctuation stands alone: "{E0D3...}" is a name, "{ " opens a block.
  bool Peek(char16_t c) {
    if (!SkipBlanks() || text_[pos_] != c) return false;
    return c == u'=' || pos_ + 1 == text_.size() || IsBlank(text_[pos_ + 1]) ||
           text_[pos_ + 1] == u'}' || text_[pos_ + 1] == u'{';
  }

  bool Expect(char16_t c) {
    if (!Peek(c)) return false;
    ++pos_;
    return true;
  }

  // A 'quoted' text or a bare word.
  std::optional<std::u16string> Token() {
    if (!SkipBlanks()) return std::nullopt;
    std::u16string token;
    if (text_[pos_] == u'\'') {
      for (++pos_; pos_ < text_.size(); ++pos_) {
        if (text_[pos_] != u'\'') {
          token += text_[pos_];
        } else if (pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\'') {
          token += u'\'';
          ++pos_;
        } else {
          ++pos_;
          return token;
        }
      }
      return std::nullopt;  // unterminated
    }
    while (pos_ < text_.size() && !IsBlank(text_[pos_]) && text_[pos_] != u'=' &&
           text_[pos_] != u'\'') {
      token += text_[pos_++];
    }
    if (token.empty()) return std::nullopt;
    return token;
  }

  // "= s 'text'"
  std::optional<std::u16string> StringValue() {
    const auto kind = Token();
    if (!kind || !EqualsIgnoringAsciiCase(*kind, u"s") || !SkipBlanks() || text_[pos_] != u'\'') {
      return std::nullopt;
    }
    return Token();
  }

  // Entries up to the closing brace of a block nested `depth` deep. A key's
  // block is read only while that stays within kMaxScriptNesting.
  bool Block(std::vector<ScriptKey>& keys, int depth, bool valuesAllowed,
             std::vector<ScriptValue>* values = nullptr) {
    while (!Peek(u'}')) {
      auto word = Token();
      if (!word) return false;
      if (valuesAllowed && EqualsIgnoringAsciiCase(*word, u"val")) {
        ScriptValue value;
        const auto name = Token();
        if (!name || !Expect(u'=')) return false;
        const auto text = StringValue();
        if (!text) return false;
        value.name = *name;
        value.text = *text;
        values->push_back(std::move(value));
        continue;
      }
      ScriptKey key;
      if (EqualsIgnoringAsciiCase(*word, u"NoRemove") || EqualsIgnoringAsciiCase(*word, u"ForceRemove")) {
        key.mark = EqualsIgnoringAsciiCase(*word, u"NoRemove") ? ScriptKey::Mark::NoRemove
                                                               : ScriptKey::Mark::ForceRemove;
        word = Token();
        if (!word) return false;
      }
      key.name = *word;
      if (Expect(u'=')) {
        key.defaultValue = StringValue();
        if (!key.defaultValue) return false;
      }
      if (Expect(u'{') &&
          (depth == kMaxScriptNesting || !Block(key.subkeys, depth + 1, true, &key.values))) {
        return false;
      }
      keys.push_back(std::move(key));
      if (++keyCount_ > kMaxScriptKeys) return false;
    }
    ++pos_;  // the closing brace
    return true;
  }

  std::u16string_view text_;
  std::size_t pos_ = 0;
  int keyCount_ = 0;
};

std::optional<std::u16string> Substitute(std::u16string_view text,
                                         const std::map<std::u16string, std::u16string>& values) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'%') {
      out += text[i];
      continue;
    }
    const std::size_t end = text.find(u'%', i + 1);
    if (end == std::u16string_view::npos) return std::nullopt;
    std::u16string name(text.substr(i + 1, end - i - 1));
    for (char16_t& c : name) {
      if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    if (name.empty()) {
      out += u'%';  // %% is a percent sign
    } else {
      const auto value = values.find(name);
      if (value == values.end()) return std::nullopt;
      out += value->second;
    }
    i = end;
  }
  return out;
}

// --- Writing and removing ---------------------------------------------------

std::int32_t Hresult(std::int32_t status) {
  return status == 0 ? kSOk : HresultFromWin32(static_cast<ErrorCode>(status));
}

std::int32_t SetText(Registry& registry, RegKey key, const std::u16string& name,
                     const std::u16string& text) {
  return registry.RegSetValueExW(key, name.c_str(), kRegSz, text.c_str(),
                                 static_cast<std::uint32_t>((text.size() + 1) * sizeof(char16_t)));
}

// Deletes `name` below `parent` with everything under it, leaf first.
std::int32_t DeleteTree(Registry& registry, RegKey parent, const std::u16string& name) {
  {
    UniqueRegKey key(registry);
    const std::int32_t opened = registry.RegOpenKeyExW(parent, name.c_str(), 0, kKeyAllAccess, key.put());
    if (opened != 0) return opened;
    std::u16string child;
    while (registry.RegEnumKeyExW(key.get(), 0, child) == 0) {
      if (const std::int32_t status = DeleteTree(registry, key.get(), child)) return status;
    }
  }
  return registry.RegDeleteKeyW(parent, name.c_str());
}

std::int32_t WriteKey(Registry& registry, RegKey parent, const ScriptKey& script) {
  if (script.mark == ScriptKey::Mark::ForceRemove) {
    const std::int32_t status = DeleteTree(registry, parent, script.name);
    if (status != 0 && status != static_cast<std::int32_t>(kErrorFileNotFound)) return status;
  }
  UniqueRegKey key(registry);
  if (const auto status = registry.RegCreateKeyExW(parent, script.name.c_str(), kKeyAllAccess, key.put())) {
    return status;
  }
  if (script.defaultValue) {
    if (const auto status = SetText(registry, key.get(), u"", *script.defaultValue)) return status;
  }
  for (const ScriptValue& value : script.values) {
    if (const auto status = SetText(registry, key.get(), value.name, value.text)) return status;
  }
  for (const ScriptKey& subkey : script.subkeys) {
    if (const auto status = WriteKey(registry, key.get(), subkey)) return status;
  }
  return 0;
}

std::int32_t RemoveKey(Registry& registry, RegKey parent, const ScriptKey& script) {
  {
    UniqueRegKey key(registry);
    const std::int32_t opened =
        registry.RegOpenKeyExW(parent, script.name.c_str(), 0, kKeyAllAccess, key.put());
    if (opened == static_cast<std::int32_t>(kErrorFileNotFound)) return 0;
    if (opened != 0) return opened;
    for (const ScriptValue& value : script.values) {
      const std::int32_t status = registry.RegDeleteValueW(key.get(), value.name.c_str());
      if (status != 0 && status != static_cast<std::int32_t>(kErrorFileNotFound)) return status;
    }
    for (const ScriptKey& subkey : script.subkeys) {
      if (const auto status = RemoveKey(registry, key.get(), subkey)) return status;
    }
  }
  if (script.mark == ScriptKey::Mark::NoRemove) return 0;
  return registry.RegDeleteKeyW(parent, script.name.c_str());
}

}  // namespace

std::optional<std::vector<ScriptKey>> ParseRegistryScript(
    std::u16string_view text, const std::map<std::u16string, std::u16string>& placeholders) {
  const auto substituted = Substitute(text, placeholders);
  if (!substituted) return std::nullopt;
  return Parser(*substituted).Script();
}

std::int32_t WriteRegistryScript(Registry& registry, const std::vector<ScriptKey>& keys) {
  for (const ScriptKey& key : keys) {
    if (const std::int32_t status = WriteKey(registry, kHkeyClassesRoot, key)) {
      RemoveRegistryScript(registry, keys);  // errors of the clean-up are not reported
      return Hresult(status);
    }
  }
  return kSOk;
}

std::int32_t RemoveRegistryScript(Registry& registry, const std::vector<ScriptKey>& keys) {
  for (const ScriptKey& key : keys) {
    if (const std::int32_t status = RemoveKey(registry, kHkeyClassesRoot, key)) return Hresult(status);
  }
  return kSOk;
}

std::u16string QuotedModulePath(std::u16string_view path) {
  std::u16string quoted = u"\"";
  for (const char16_t c : path) {
    quoted += c;
    if (c == u'\'') quoted += u'\'';
  }
  return quoted + u"\"";
}

}  // namespace ejectra::helper
