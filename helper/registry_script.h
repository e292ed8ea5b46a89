// Registration scripts: a small text format describing keys and values
// under HKEY_CLASSES_ROOT, written and removed as a unit.
//
//   HKCR
//   {
//     NoRemove CLSID
//     {
//       ForceRemove {E0D32790-...} = s 'PullcoreHookHelper Class'
//       {
//         LocalServer32 = s '%MODULE%'
//         val AppID = s '%APPID%'
//       }
//     }
//   }
//
// A key is a bare or 'quoted' name, optionally marked NoRemove (never
// deleted) or ForceRemove (deleted with its subkeys before it is written),
// optionally with a default value (= s 'text') and a block of subkeys and
// named values (val Name = s 'text'). Inside quotes '' stands for one quote.
// %NAME% placeholders are replaced, names matched without regard to case.
// Blocks nest at most kMaxScriptNesting deep, the root's own block counted.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_services.h"

namespace ejectra::helper {

// How deep blocks may nest, HKCR's own block counted: far more than the
// three the helper's scripts use, and few enough that reading, writing and
// removing a script recurse only that deep.
inline constexpr int kMaxScriptNesting = 32;
// How many keys a script may hold in all.
inline constexpr int kMaxScriptKeys = 10000;

struct ScriptValue {
  std::u16string name;
  std::u16string text;
};

struct ScriptKey {
  enum class Mark { None, NoRemove, ForceRemove };
  std::u16string name;
  Mark mark = Mark::None;
  std::optional<std::u16string> defaultValue;
  std::vector<ScriptValue> values;
  std::vector<ScriptKey> subkeys;
};

// The keys of the script, all under HKEY_CLASSES_ROOT; nothing when the
// text is not a script, nests deeper than kMaxScriptNesting, holds more than
// kMaxScriptKeys keys or names a placeholder that `placeholders` lacks.
// Placeholder names in `placeholders` are upper case.
std::optional<std::vector<ScriptKey>> ParseRegistryScript(
    std::u16string_view text, const std::map<std::u16string, std::u16string>& placeholders);

// Writes the keys in script order, parents first. A failure removes what the
// script describes again and answers the failure as HRESULT (0x8007xxxx).
std::int32_t WriteRegistryScript(platform::Registry& registry,
                                 const std::vector<ScriptKey>& keys);
// Removes what the script describes: listed values and subkeys before their
// key, keys marked NoRemove left in place, missing keys passed over. The
// first other failure ends the removal and is answered as HRESULT.
std::int32_t RemoveRegistryScript(platform::Registry& registry,
                                  const std::vector<ScriptKey>& keys);

// A path to go into a script's quoted text: in double quotes, its single
// quotes doubled.
std::u16string QuotedModulePath(std::u16string_view path);

}  // namespace ejectra::helper
