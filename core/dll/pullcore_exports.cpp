// The exports of Pullcore.dll, named and numbered by its .def file.
#include <windows.h>

#include "core/dll/platform_session.h"
#include "core/pullcore.h"

namespace {

using ejectra::platform::CoreServices;

struct ExtendedQuery {
  int drive;
  wchar_t* name;
  int nameCapacity;
  wchar_t* description;
  int descriptionCapacity;
};

BOOL AsBool(bool value) { return value ? TRUE : FALSE; }

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

BOOL WINAPI IsRemovableHardwareDrive(int drive) {
  return AsBool(ejectra::dll::RunOnPlatform(
      [](const CoreServices& os, void* context) noexcept {
        return ejectra::core::IsRemovableHardwareDrive(os, *static_cast<int*>(context));
      },
      &drive));
}

BOOL WINAPI IsRemovableHardwareDriveExW(int drive, wchar_t* name, int nameCapacity,
                                        wchar_t* description, int descriptionCapacity) {
  ExtendedQuery query{drive, name, nameCapacity, description, descriptionCapacity};
  return AsBool(ejectra::dll::RunOnPlatform(
      [](const CoreServices& os, void* context) noexcept {
        const auto& q = *static_cast<ExtendedQuery*>(context);
        return ejectra::core::IsRemovableHardwareDriveExW(
            os, q.drive, reinterpret_cast<char16_t*>(q.name), q.nameCapacity,
            reinterpret_cast<char16_t*>(q.description), q.descriptionCapacity);
      },
      &query));
}

BOOL WINAPI RemoveHardwareDrive(int drive) {
  return AsBool(ejectra::dll::RunOnPlatform(
      [](const CoreServices& os, void* context) noexcept {
        return ejectra::core::RemoveHardwareDrive(os, *static_cast<int*>(context));
      },
      &drive));
}

}  // extern "C"
