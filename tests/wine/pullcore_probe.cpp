// Loads Pullcore.dll by name, as the tools do, and asks it about drives.
//
//   pullcore_probe list          every drive A: to Z: that answers removable
//   pullcore_probe sweep         all three exports for drive numbers 0 to 27
//   pullcore_probe remove E      removes drive E:
//
// Output is UTF-8, one line per answer, so that scripts can compare it.
#include <windows.h>

#include "tests/wine/utf8_line.h"

#include <cwchar>
#include <string>

namespace {

using IsRemovableFn = BOOL(WINAPI*)(int);
using IsRemovableExFn = BOOL(WINAPI*)(int, wchar_t*, int, wchar_t*, int);
using RemoveFn = BOOL(WINAPI*)(int);

std::wstring Letter(int drive) { return std::wstring(1, static_cast<wchar_t>(L'@' + drive)) + L":"; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const HMODULE library = LoadLibraryW(L"Pullcore.dll");
  if (!library) {
    WriteUtf8Line(L"Pullcore.dll not loaded");
    return 2;
  }
  const auto isRemovable = reinterpret_cast<IsRemovableFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "IsRemovableHardwareDrive")));
  const auto isRemovableEx = reinterpret_cast<IsRemovableExFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "IsRemovableHardwareDriveExW")));
  const auto remove = reinterpret_cast<RemoveFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "RemoveHardwareDrive")));
  if (!isRemovable || !isRemovableEx || !remove) {
    WriteUtf8Line(L"Pullcore.dll lacks an export");
    return 2;
  }

  const std::wstring command = argc > 1 ? argv[1] : L"list";
  if (command == L"list") {
    for (int drive = 1; drive <= 26; ++drive) {
      wchar_t name[256] = {}, description[256] = {};
      if (isRemovableEx(drive, name, 256, description, 256)) {
        WriteUtf8Line(Letter(drive) + L" \"" + name + L"\" \"" + description + L"\"");
      }
    }
  } else if (command == L"sweep") {
    for (int drive = 0; drive <= 27; ++drive) {
      wchar_t name[256] = {}, description[256] = {};
      const BOOL a = isRemovable(drive);
      const BOOL b = isRemovableEx(drive, name, 256, description, 256);
      const BOOL c = remove(drive);
      WriteUtf8Line(std::to_wstring(drive) + L" " + std::to_wstring(a) + L" " + std::to_wstring(b) +
            L" " + std::to_wstring(c));
    }
  } else if (command == L"remove" && argc > 2 && std::wcslen(argv[2]) >= 1) {
    const int drive = (argv[2][0] | 0x20) - L'a' + 1;
    WriteUtf8Line(Letter(drive) + (remove(drive) ? L" removed" : L" not removed"));
  } else {
    WriteUtf8Line(L"usage: pullcore_probe list | sweep | remove LETTER");
    return 2;
  }
  FreeLibrary(library);
  return 0;
}
