// How a shortcut's name becomes the path of its file: pure rules on texts,
// joined and extended as shlwapi's PathAppendW and PathAddExtensionW do.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ejectra::wizard {

// The characters no file name may hold.
inline constexpr std::u16string_view kForbiddenCharacters = u"\\/:*?\"<>|";

bool HasForbiddenCharacter(std::u16string_view name);
// Each forbidden character becomes a space.
std::u16string ReplaceForbiddenCharacters(std::u16string_view name);

// `folder` and `name` with one backslash between them; `name` alone when
// `folder` is empty.
std::u16string PathAppend(std::u16string_view folder, std::u16string_view name);
// `path` with `extension` added when its last component has no extension
// (the text from its last dot on, unless a space follows that dot) and the
// result stays shorter than kMaxPath; otherwise `path` unchanged.
std::u16string PathAddExtension(std::u16string_view path, std::u16string_view extension);

// Whether a shortcut of that name lands on the desktop as a file of its
// own: not empty, not made only of dots and blanks (".", "..", " . "
// lead out of the folder or to a name the file system cuts away), and free
// of forbidden characters.
bool IsUsableShortcutName(std::u16string_view name);

// The shortcut file `name` in `desktop`, with ".lnk" added by the
// extension rule; none when the name is not usable, when the joined path
// reaches kMaxPath (a cut path would name another file), or when the name
// wants ".lnk" and the limit leaves no room for it.
std::optional<std::u16string> ShortcutFileName(std::u16string_view desktop,
                                               std::u16string_view name);

}  // namespace ejectra::wizard
