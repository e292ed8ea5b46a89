#include "platform/win32/win32_shell_folders.h"

#include <windows.h>
// windows.h first
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/win32/wide.h"

namespace ejectra::platform::win32 {

static_assert(kCsidlDesktopDirectory == CSIDL_DESKTOPDIRECTORY && kMaxPath == MAX_PATH &&
              kInvalidFileAttributes == INVALID_FILE_ATTRIBUTES && kClsctxAll == CLSCTX_ALL &&
              kSwShow == SW_SHOW);
static_assert(sizeof(ItemIdList) == sizeof(PIDLIST_ABSOLUTE));
static_assert(sizeof(IShellLinkWMirror) == sizeof(IShellLinkW) &&
              sizeof(IPersistFileMirror) == sizeof(IPersistFile));

// The header's CLSID_ShellLink, IID_IShellLinkW and IID_IPersistFile are
// link-time objects; __uuidof gives the same GUIDs at compile time.
constexpr bool Same(const Guid& mirror, const GUID& native) {
  if (mirror.Data1 != native.Data1 || mirror.Data2 != native.Data2 ||
      mirror.Data3 != native.Data3) {
    return false;
  }
  for (int i = 0; i < 8; ++i) {
    if (mirror.Data4[i] != native.Data4[i]) return false;
  }
  return true;
}
static_assert(Same(kClsidShellLink, __uuidof(ShellLink)) &&
              Same(kIidIShellLinkW, __uuidof(IShellLinkW)) &&
              Same(kIidIPersistFile, __uuidof(IPersistFile)));

namespace {

PIDLIST_ABSOLUTE List(ItemIdList list) { return reinterpret_cast<PIDLIST_ABSOLUTE>(list); }

}  // namespace

Hresult Win32ShellFolders::SHGetSpecialFolderLocation(WindowHandle owner, int folder,
                                                      ItemIdList* list) {
  PIDLIST_ABSOLUTE found = nullptr;
  const HRESULT result =
      ::SHGetSpecialFolderLocation(reinterpret_cast<HWND>(owner), folder, &found);
  *list = reinterpret_cast<ItemIdList>(found);
  return result;
}

bool Win32ShellFolders::SHGetPathFromIDListW(ItemIdList list, char16_t* path) {
  return ::SHGetPathFromIDListW(List(list), Wide(path)) != FALSE;
}

void Win32ShellFolders::ILFree(ItemIdList list) { ::ILFree(List(list)); }

std::uint32_t Win32ShellFolders::GetFileAttributesW(const char16_t* path) {
  return ::GetFileAttributesW(Wide(path));
}

}  // namespace ejectra::platform::win32
