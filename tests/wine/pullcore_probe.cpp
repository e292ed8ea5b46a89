// Loads Pullcore.dll by name, as the tools do, and asks it about drives.
//
//   pullcore_probe list          every drive A: to Z: that answers removable
//   pullcore_probe sweep         all three exports for drive numbers 0 to 27
//   pullcore_probe remove E      removes drive E:
//   pullcore_probe why E         removes drive E: with RemoveHardwareDriveExW
//                                and prints what it reports of a refusal
//   pullcore_probe misuse        RemoveHardwareDriveExW for F: with a null report, a
//                                report of the wrong Size, drives 0 and 27
//   pullcore_probe media E       ejects drive E:'s medium with EjectDriveMedia and
//                                prints its answer ("E: 1"); "media 0" and "media 27"
//                                ask for those drive numbers
//
// Output is UTF-8, one line per answer, so that scripts can compare it.
#include <windows.h>

#include "include/pullcore.h"
#include "tests/wine/utf8_line.h"

#include <cwchar>
#include <string>

namespace {

using IsRemovableFn = BOOL(WINAPI*)(int);
using IsRemovableExFn = BOOL(WINAPI*)(int, wchar_t*, int, wchar_t*, int);
using RemoveFn = BOOL(WINAPI*)(int);
using RemoveExFn = BOOL(WINAPI*)(int, PULLCORE_REMOVAL*);
using EjectMediaFn = int(WINAPI*)(int);

std::wstring Letter(int drive) { return std::wstring(1, static_cast<wchar_t>(L'@' + drive)) + L":"; }

// "<answer> <last error>" of one call, the last error read at once.
std::wstring Answer(BOOL answer) {
  const DWORD error = GetLastError();
  return std::to_wstring(answer) + L" " + std::to_wstring(error);
}

// One call with a report of `size` bytes, its fields preset to a pattern, so
// that what the call clears shows.
std::wstring Misuse(RemoveExFn removeEx, int drive, DWORD size) {
  PULLCORE_REMOVAL removal;
  FillMemory(&removal, sizeof removal, 0x5A);
  removal.Size = size;
  SetLastError(0);
  const std::wstring answer = Answer(removeEx(drive, &removal));
  return answer + L" size " + std::to_wstring(removal.Size) + L" veto " +
         std::to_wstring(removal.VetoType) + L" blockers " + std::to_wstring(removal.BlockerCount);
}

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
  // Not in every Pullcore.dll: looked for only where it is asked for.
  const auto removeEx = reinterpret_cast<RemoveExFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "RemoveHardwareDriveExW")));
  const auto ejectMedia = reinterpret_cast<EjectMediaFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "EjectDriveMedia")));
  if (!isRemovable || !isRemovableEx || !remove) {
    WriteUtf8Line(L"Pullcore.dll lacks an export");
    return 2;
  }
  const std::wstring command = argc > 1 ? argv[1] : L"list";
  if ((command == L"why" || command == L"misuse") && !removeEx) {
    WriteUtf8Line(L"Pullcore.dll lacks RemoveHardwareDriveExW");
    return 2;
  }

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
  } else if (command == L"why" && argc > 2 && std::wcslen(argv[2]) >= 1) {
    // "E: removed", or "E: refused <last error> veto <type> <name>" and a
    // line "  <process id> <image path>" for each blocker.
    const int drive = (argv[2][0] | 0x20) - L'a' + 1;
    PULLCORE_REMOVAL removal{};
    removal.Size = sizeof removal;
    SetLastError(0);
    if (removeEx(drive, &removal)) {
      WriteUtf8Line(Letter(drive) + L" removed");
    } else {
      const DWORD error = GetLastError();
      removal.VetoName[259] = L'\0';
      WriteUtf8Line(Letter(drive) + L" refused " + std::to_wstring(error) + L" veto " +
                    std::to_wstring(removal.VetoType) + L" " + removal.VetoName);
      for (DWORD i = 0; i < removal.BlockerCount && i < 8; ++i) {
        removal.Blockers[i].ImagePath[259] = L'\0';
        WriteUtf8Line(L"  " + std::to_wstring(removal.Blockers[i].ProcessId) + L" " +
                      removal.Blockers[i].ImagePath);
      }
    }
  } else if (command == L"media" && argc > 2 && std::wcslen(argv[2]) >= 1) {
    if (!ejectMedia) {
      WriteUtf8Line(L"Pullcore.dll lacks EjectDriveMedia");
      return 2;
    }
    const bool number = argv[2][0] >= L'0' && argv[2][0] <= L'9';
    const int drive = number ? std::wcstol(argv[2], nullptr, 10) : (argv[2][0] | 0x20) - L'a' + 1;
    WriteUtf8Line((number ? std::wstring(argv[2]) : Letter(drive)) + L" " +
                  std::to_wstring(ejectMedia(drive)));
  } else if (command == L"misuse") {
    // One line each: "<what> <answer> <last error>", and for a report the
    // Size, VetoType and BlockerCount it holds afterwards.
    SetLastError(0);
    WriteUtf8Line(L"null " + Answer(removeEx(6, nullptr)));
    WriteUtf8Line(L"small " + Misuse(removeEx, 6, sizeof(PULLCORE_REMOVAL) - 1));
    WriteUtf8Line(L"large " + Misuse(removeEx, 6, sizeof(PULLCORE_REMOVAL) + 1));
    WriteUtf8Line(L"drive0 " + Misuse(removeEx, 0, sizeof(PULLCORE_REMOVAL)));
    WriteUtf8Line(L"drive27 " + Misuse(removeEx, 27, sizeof(PULLCORE_REMOVAL)));
  } else {
    WriteUtf8Line(L"usage: pullcore_probe list | sweep | remove LETTER | why LETTER | misuse | media LETTER");
    return 2;
  }
  FreeLibrary(library);
  return 0;
}
