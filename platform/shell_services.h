// shell32 and the shell's link object as the wizard uses them: the desktop
// folder, whether a file exists, and IShellLinkW with IPersistFile, which
// portable code calls through mirrors of the two interfaces.
#pragma once

#include <cstdint>

#include "platform/process_services.h"

namespace ejectra::platform {

using ItemIdList = std::uintptr_t;  // PIDLIST_ABSOLUTE; 0 = none

inline constexpr int kCsidlDesktopDirectory = 0x10;
inline constexpr std::uint32_t kMaxPath = 260;
inline constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFF;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;
inline constexpr std::uint32_t kFileAttributeArchive = 0x20;

class ShellFolders {
 public:
  virtual ~ShellFolders() = default;

  virtual Hresult SHGetSpecialFolderLocation(WindowHandle owner, int folder,
                                             ItemIdList* list) = 0;
  // `path` has room for kMaxPath characters.
  virtual bool SHGetPathFromIDListW(ItemIdList list, char16_t* path) = 0;
  virtual void ILFree(ItemIdList list) = 0;
  // kInvalidFileAttributes when there is no such file or folder.
  virtual std::uint32_t GetFileAttributesW(const char16_t* path) = 0;
};

// IShellLinkW, slot for slot.
class IShellLinkWMirror : public IUnknownMirror {
 public:
  virtual Hresult EJECTRA_STDMETHOD GetPath(char16_t* file, int capacity, void* findData,
                                            std::uint32_t flags) = 0;
  virtual Hresult EJECTRA_STDMETHOD GetIDList(ItemIdList* list) = 0;
  virtual Hresult EJECTRA_STDMETHOD SetIDList(ItemIdList list) = 0;
  virtual Hresult EJECTRA_STDMETHOD GetDescription(char16_t* text, int capacity) = 0;
  virtual Hresult EJECTRA_STDMETHOD SetDescription(const char16_t* text) = 0;
  virtual Hresult EJECTRA_STDMETHOD GetWorkingDirectory(char16_t* path, int capacity) = 0;
  virtual Hresult EJECTRA_STDMETHOD SetWorkingDirectory(const char16_t* path) = 0;
  virtual Hresult EJECTRA_STDMETHOD GetArguments(char16_t* text, int capacity) = 0;
  virtual Hresult EJECTRA_STDMETHOD SetArguments(const char16_t* text) = 0;
  virtual Hresult EJECTRA_STDMETHOD GetHotkey(std::uint16_t* hotkey) = 0;
  virtual Hresult EJECTRA_STDMETHOD SetHotkey(std::uint16_t hotkey) = 0;
  virtual Hresult EJECTRA_STDMETHOD GetShowCmd(int* show) = 0;
  virtual Hresult EJECTRA_STDMETHOD SetShowCmd(int show) = 0;
  virtual Hresult EJECTRA_STDMETHOD GetIconLocation(char16_t* path, int capacity, int* index) = 0;
  virtual Hresult EJECTRA_STDMETHOD SetIconLocation(const char16_t* path, int index) = 0;
  virtual Hresult EJECTRA_STDMETHOD SetRelativePath(const char16_t* path,
                                                    std::uint32_t reserved) = 0;
  virtual Hresult EJECTRA_STDMETHOD Resolve(WindowHandle owner, std::uint32_t flags) = 0;
  virtual Hresult EJECTRA_STDMETHOD SetPath(const char16_t* file) = 0;

 protected:
  ~IShellLinkWMirror() = default;
};

// IPersistFile (with IPersist's one method first), slot for slot.
class IPersistFileMirror : public IUnknownMirror {
 public:
  virtual Hresult EJECTRA_STDMETHOD GetClassID(Guid* clsid) = 0;
  virtual Hresult EJECTRA_STDMETHOD IsDirty() = 0;
  virtual Hresult EJECTRA_STDMETHOD Load(const char16_t* file, std::uint32_t mode) = 0;
  virtual Hresult EJECTRA_STDMETHOD Save(const char16_t* file, int remember) = 0;
  virtual Hresult EJECTRA_STDMETHOD SaveCompleted(const char16_t* file) = 0;
  virtual Hresult EJECTRA_STDMETHOD GetCurFile(char16_t** file) = 0;

 protected:
  ~IPersistFileMirror() = default;
};

inline constexpr std::uint32_t kClsctxAll = 0x17;
inline constexpr Guid kClsidShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr Guid kIidIShellLinkW = {0x000214F9, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr Guid kIidIPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr int kSwShow = 5;

}  // namespace ejectra::platform
