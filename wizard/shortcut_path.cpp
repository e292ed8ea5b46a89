#include "wizard/shortcut_path.h"

#include <algorithm>

#include "platform/shell_services.h"

namespace ejectra::wizard {

namespace {

bool IsForbidden(char16_t c) { return kForbiddenCharacters.find(c) != std::u16string_view::npos; }

// The extension of the path's last component, or empty.
std::u16string_view ExtensionOf(std::u16string_view path) {
  const std::size_t slash = path.rfind(u'\\');
  const std::u16string_view last = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = last.rfind(u'.');
  if (dot == std::u16string_view::npos) return {};
  const std::u16string_view extension = last.substr(dot);
  return extension.find(u' ') == std::u16string_view::npos ? extension : std::u16string_view();
}

}  // namespace

bool HasForbiddenCharacter(std::u16string_view name) {
  return std::any_of(name.begin(), name.end(), IsForbidden);
}

std::u16string ReplaceForbiddenCharacters(std::u16string_view name) {
  std::u16string replaced(name);
  std::replace_if(replaced.begin(), replaced.end(), IsForbidden, u' ');
  return replaced;
}

std::u16string PathAppend(std::u16string_view folder, std::u16string_view name) {
  if (folder.empty()) return std::u16string(name);
  while (folder.ends_with(u'\\')) folder.remove_suffix(1);
  while (name.starts_with(u'\\')) name.remove_prefix(1);
  std::u16string path(folder);
  path += u'\\';
  path += name;
  return path;
}

std::u16string PathAddExtension(std::u16string_view path, std::u16string_view extension) {
  std::u16string extended(path);
  if (ExtensionOf(path).empty() && path.size() + extension.size() < platform::kMaxPath) {
    extended += extension;
  }
  return extended;
}

bool IsUsableShortcutName(std::u16string_view name) {
  const bool onlyDotsAndBlanks =
      std::all_of(name.begin(), name.end(), [](char16_t c) { return c == u'.' || c == u' '; });
  return !onlyDotsAndBlanks && !HasForbiddenCharacter(name);
}

std::optional<std::u16string> ShortcutFileName(std::u16string_view desktop,
                                               std::u16string_view name) {
  if (!IsUsableShortcutName(name)) return std::nullopt;
  const std::u16string joined = PathAppend(desktop, name);
  const std::u16string file = PathAddExtension(joined, u".lnk");
  // A name that wants ".lnk" but has no room left for it would be saved as
  // a file the shell does not take for a shortcut.
  if (file.size() >= platform::kMaxPath || (file == joined && ExtensionOf(joined).empty())) {
    return std::nullopt;
  }
  return file;
}

}  // namespace ejectra::wizard
