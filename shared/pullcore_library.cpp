#include "shared/pullcore_library.h"

#include <algorithm>
#include <array>

namespace ejectra {

namespace {

constexpr std::uint32_t kPathCapacity = 32768;  // the longest path Windows knows

std::u16string FolderOf(std::u16string path) {
  const auto slash = path.find_last_of(u"\\/");
  return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
}

}  // namespace

CPullcoreLibrary::CPullcoreLibrary(const platform::ProcessServices& os, bool load) : os_(os) {
  if (load) Load();
}

std::u16string CPullcoreLibrary::FolderOfProgram() {
  std::u16string path(kPathCapacity, u'\0');
  const std::uint32_t length = os_.modules.GetModuleFileNameW(0, path.data(), kPathCapacity);
  if (length == 0 || length >= kPathCapacity) return {};
  path.resize(length);
  return FolderOf(path);
}

std::u16string CPullcoreLibrary::SystemFolder() {
  std::u16string path(kPathCapacity, u'\0');
  const std::uint32_t length = os_.modules.GetSystemDirectoryW(path.data(), kPathCapacity);
  if (length == 0 || length >= kPathCapacity) return {};
  path.resize(length);
  return path;
}

void CPullcoreLibrary::Load() {
  // Whole paths only: a library of that name planted in the current folder
  // or anywhere on the search path is never run.
  for (const std::u16string& folder : {FolderOfProgram(), SystemFolder()}) {
    if (folder.empty()) continue;
    const std::u16string path = folder + u'\\' + kFileName;
    module_.reset(os_.modules.LoadLibraryW(path.c_str()));
    if (module_) break;
  }
  if (!module_) return;
  // Resolution stops at the first export that is missing.
  if (!(isRemovable_ = reinterpret_cast<IsRemovableEntry>(Resolve(u"IsRemovableHardwareDrive")))) {
    return;
  }
  if (!(isRemovableEx_ =
            reinterpret_cast<IsRemovableExEntry>(Resolve(u"IsRemovableHardwareDriveExW")))) {
    return;
  }
  remove_ = reinterpret_cast<RemoveEntry>(Resolve(u"RemoveHardwareDrive"));
}

platform::ProcAddress CPullcoreLibrary::Resolve(std::u16string_view name) {
  // GetProcAddress takes narrow names: the thread's ANSI code page.
  const std::string narrow = os_.process.WideCharToMultiByte(name);
  return os_.modules.GetProcAddress(module_.get(), narrow.c_str());
}

int CPullcoreLibrary::IsRemovableHardwareDrive(int drive) const {
  return isRemovable_ ? isRemovable_(drive) : 0;
}

int CPullcoreLibrary::IsRemovableHardwareDriveEx(int drive, std::u16string& name,
                                                 std::u16string& description) const {
  if (!isRemovableEx_) return 0;
  std::array<char16_t, 260> nameBuffer{}, descriptionBuffer{};
  if (!isRemovableEx_(drive, nameBuffer.data(), 256, descriptionBuffer.data(), 256)) return 0;
  // Bounded by the buffers, whatever the library wrote into them.
  name.assign(nameBuffer.begin(), std::find(nameBuffer.begin(), nameBuffer.end(), u'\0'));
  description.assign(descriptionBuffer.begin(),
                     std::find(descriptionBuffer.begin(), descriptionBuffer.end(), u'\0'));
  return 1;
}

int CPullcoreLibrary::RemoveHardwareDrive(int drive) const {
  return remove_ ? remove_(drive) : 0;
}

bool CPullcoreLibrary::BindRemoveHardwareDriveEx() {
  if (module_ && !removeEx_) {
    removeEx_ = reinterpret_cast<RemoveExEntry>(Resolve(u"RemoveHardwareDriveExW"));
  }
  return removeEx_ != nullptr;
}

int CPullcoreLibrary::RemoveHardwareDriveEx(int drive, PullcoreRemoval& removal) const {
  return removeEx_ ? removeEx_(drive, &removal) : 0;
}

bool CPullcoreLibrary::BindEjectDriveMedia() {
  if (module_ && !ejectMedia_) {
    ejectMedia_ = reinterpret_cast<EjectMediaEntry>(Resolve(u"EjectDriveMedia"));
  }
  return ejectMedia_ != nullptr;
}

int CPullcoreLibrary::EjectDriveMedia(int drive) const {
  return ejectMedia_ ? ejectMedia_(drive) : kMediaFailed;
}

}  // namespace ejectra
