// The run-time binding of the core library: loads Pullcore.dll when
// constructed, binds its three exports by name, forwards calls to them and
// unloads the library when destroyed. RemoveHardwareDriveExW and
// EjectDriveMedia, which a library of ours offers beside them, are bound only
// when asked for.
#pragma once

#include <string>

#include "platform/calling_convention.h"
#include "platform/owners.h"
#include "platform/process_services.h"
#include "shared/pullcore_media.h"
#include "shared/pullcore_removal.h"

namespace ejectra {

class CPullcoreLibrary {
 public:
  using IsRemovableEntry = int(EJECTRA_WINAPI*)(int drive);
  using IsRemovableExEntry = int(EJECTRA_WINAPI*)(int drive, char16_t* name, int nameCapacity,
                                                  char16_t* description,
                                                  int descriptionCapacity);
  using RemoveEntry = int(EJECTRA_WINAPI*)(int drive);
  using RemoveExEntry = int(EJECTRA_WINAPI*)(int drive, PullcoreRemoval* removal);
  using EjectMediaEntry = int(EJECTRA_WINAPI*)(int drive);

  // The file name of the library, looked for in the program's own folder
  // and then in the system folder, never along the search path.
  static constexpr char16_t kFileName[] = u"PULLCORE.DLL";

  CPullcoreLibrary(const platform::ProcessServices& os, bool load);
  CPullcoreLibrary(const CPullcoreLibrary&) = delete;
  CPullcoreLibrary& operator=(const CPullcoreLibrary&) = delete;

  bool IsLoaded() const { return static_cast<bool>(module_); }
  int IsRemovableHardwareDrive(int drive) const;
  // 1 with both texts set, or 0 with both untouched. Texts of 256
  // characters or more do not fit and answer 0.
  int IsRemovableHardwareDriveEx(int drive, std::u16string& name,
                                 std::u16string& description) const;
  int RemoveHardwareDrive(int drive) const;

  // Binds RemoveHardwareDriveExW; false when the library is not loaded or
  // has no such export (an older one).
  bool BindRemoveHardwareDriveEx();
  // 0 when it is not bound; `removal` is the caller's, its Size set.
  int RemoveHardwareDriveEx(int drive, PullcoreRemoval& removal) const;

  // Binds EjectDriveMedia; false when the library is not loaded or has no
  // such export.
  bool BindEjectDriveMedia();
  // A PullcoreMediaResult; kMediaFailed when it is not bound.
  int EjectDriveMedia(int drive) const;

 private:
  void Load();
  platform::ProcAddress Resolve(std::u16string_view name);
  std::u16string FolderOfProgram();
  std::u16string SystemFolder();

  const platform::ProcessServices os_;
  platform::UniqueModule module_{os_};  // freed when the binding goes
  IsRemovableEntry isRemovable_ = nullptr;
  IsRemovableExEntry isRemovableEx_ = nullptr;
  RemoveEntry remove_ = nullptr;
  RemoveExEntry removeEx_ = nullptr;
  EjectMediaEntry ejectMedia_ = nullptr;
};

}  // namespace ejectra
