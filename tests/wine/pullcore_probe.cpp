// Loads Pullcore.dll by name, as the tools do, and asks it about drives.
//
//   pullcore_probe list          every drive A: to Z: that answers removable
//   pullcore_probe sweep         all three exports for drive numbers 0 to 27
//   pullcore_probe remove E      removes drive E:
//
// Output is UTF-8, one line per answer, so that scripts can compare it.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

using IsRemovableFn = BOOL(WINAPI*)(int);
using IsRemovableExFn = BOOL(WINAPI*)(int, wchar_t*, int, wchar_t*, int);
using RemoveFn = BOOL(WINAPI*)(int);

void Print(const std::wstring& line) {
  const std::wstring text = line + L"\n";
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size,
                      nullptr, nullptr);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
            &written, nullptr);
}

std::wstring Letter(int drive) { return std::wstring(1, static_cast<wchar_t>(L'@' + drive)) + L":"; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const HMODULE library = LoadLibraryW(L"Pullcore.dll");
  if (!library) {
    Print(L"Pullcore.dll not loaded");
    return 2;
  }
  const auto isRemovable = reinterpret_cast<IsRemovableFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "IsRemovableHardwareDrive")));
  const auto isRemovableEx = reinterpret_cast<IsRemovableExFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "IsRemovableHardwareDriveExW")));
  const auto remove = reinterpret_cast<RemoveFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "RemoveHardwareDrive")));
  if (!isRemovable || !isRemovableEx || !remove) {
    Print(L"Pullcore.dll lacks an export");
    return 2;
  }

  const std::wstring command = argc > 1 ? argv[1] : L"list";
  if (command == L"list") {
    for (int drive = 1; drive <= 26; ++drive) {
      wchar_t name[256] = {}, description[256] = {};
      if (isRemovableEx(drive, name, 256, description, 256)) {
        Print(Letter(drive) + L" \"" + name + L"\" \"" + description + L"\"");
      }
    }
  } else if (command == L"sweep") {
    for (int drive = 0; drive <= 27; ++drive) {
      wchar_t name[256] = {}, description[256] = {};
      const BOOL a = isRemovable(drive);
      const BOOL b = isRemovableEx(drive, name, 256, description, 256);
      const BOOL c = remove(drive);
      Print(std::to_wstring(drive) + L" " + std::to_wstring(a) + L" " + std::to_wstring(b) +
            L" " + std::to_wstring(c));
    }
  } else if (command == L"remove" && argc > 2 && std::wcslen(argv[2]) >= 1) {
    const int drive = (argv[2][0] | 0x20) - L'a' + 1;
    Print(Letter(drive) + (remove(drive) ? L" removed" : L" not removed"));
  } else {
    Print(L"usage: pullcore_probe list | sweep | remove LETTER");
    return 2;
  }
  FreeLibrary(library);
  return 0;
}
