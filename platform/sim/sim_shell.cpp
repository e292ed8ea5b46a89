#include "platform/sim/sim_shell.h"

#include <algorithm>
#include <string>

#include "platform/sim/utf.h"
#include "platform/text.h"

namespace ejectra::platform::sim {

namespace {

std::u16string_view View(const char16_t* text) {
  return text ? std::u16string_view(text) : std::u16string_view();
}

// The link object. Its IPersistFile is a second face of the same object,
// sharing its references; each face logs its own calls.
class SimShellLink final : public IShellLinkWMirror {
 public:
  explicit SimShellLink(SimWorld& world) : world_(world), persistFile_(*this) {}

  // Hands out the interface `iid` with one more reference.
  Hresult Answer(const Guid& iid, void** object) {
    if (!object) return kEPointer;
    *object = nullptr;
    if (iid == kIidIUnknown || iid == kIidIShellLinkW) {
      *object = static_cast<IShellLinkWMirror*>(this);
    } else if (iid == kIidIPersistFile) {
      *object = static_cast<IPersistFileMirror*>(&persistFile_);
    } else {
      return kENoInterface;
    }
    ++references_;
    return kSOk;
  }

  Hresult EJECTRA_STDMETHOD QueryInterface(const Guid& iid, void** object) override {
    return Query("IShellLinkW::QueryInterface", iid, object);
  }
  std::uint32_t EJECTRA_STDMETHOD AddRef() override { return ++references_; }
  std::uint32_t EJECTRA_STDMETHOD Release() override { return Drop("IShellLinkW::Release"); }

  Hresult EJECTRA_STDMETHOD SetPath(const char16_t* file) override {
    return SetText("IShellLinkW::SetPath", file, shortcut_.target);
  }
  Hresult EJECTRA_STDMETHOD SetIDList(ItemIdList list) override {
    return SetNumber("IShellLinkW::SetIDList", list, shortcut_.idList);
  }
  Hresult EJECTRA_STDMETHOD SetWorkingDirectory(const char16_t* path) override {
    return SetText("IShellLinkW::SetWorkingDirectory", path, shortcut_.workingDirectory);
  }
  Hresult EJECTRA_STDMETHOD SetIconLocation(const char16_t* path, int index) override {
    const std::string detail = Utf16ToUtf8(View(path)) + "," + std::to_string(index);
    if (const auto fault = world_.calls.Enter("IShellLinkW::SetIconLocation", detail)) {
      return static_cast<Hresult>(*fault);
    }
    if (!path) return kEInvalidArg;
    shortcut_.iconPath = path;
    shortcut_.iconIndex = index;
    return kSOk;
  }
  Hresult EJECTRA_STDMETHOD SetDescription(const char16_t* text) override {
    return SetText("IShellLinkW::SetDescription", text, shortcut_.description);
  }
  Hresult EJECTRA_STDMETHOD SetArguments(const char16_t* text) override {
    return SetText("IShellLinkW::SetArguments", text, shortcut_.arguments);
  }
  Hresult EJECTRA_STDMETHOD SetHotkey(std::uint16_t hotkey) override {
    return SetNumber("IShellLinkW::SetHotkey", hotkey, shortcut_.hotkey);
  }
  Hresult EJECTRA_STDMETHOD SetShowCmd(int show) override {
    return SetNumber("IShellLinkW::SetShowCmd", show, shortcut_.showCommand);
  }

  // What the wizard never calls answers E_NOTIMPL.
  Hresult EJECTRA_STDMETHOD GetPath(char16_t*, int, void*, std::uint32_t) override { return kENotImpl; }
  Hresult EJECTRA_STDMETHOD GetIDList(ItemIdList*) override { return kENotImpl; }
  Hresult EJECTRA_STDMETHOD GetDescription(char16_t*, int) override { return kENotImpl; }
  Hresult EJECTRA_STDMETHOD GetWorkingDirectory(char16_t*, int) override { return kENotImpl; }
  Hresult EJECTRA_STDMETHOD GetArguments(char16_t*, int) override { return kENotImpl; }
  Hresult EJECTRA_STDMETHOD GetHotkey(std::uint16_t*) override { return kENotImpl; }
  Hresult EJECTRA_STDMETHOD GetShowCmd(int*) override { return kENotImpl; }
  Hresult EJECTRA_STDMETHOD GetIconLocation(char16_t*, int, int*) override { return kENotImpl; }
  Hresult EJECTRA_STDMETHOD SetRelativePath(const char16_t*, std::uint32_t) override {
    return kENotImpl;
  }
  Hresult EJECTRA_STDMETHOD Resolve(WindowHandle, std::uint32_t) override { return kENotImpl; }

 private:
  class PersistFile final : public IPersistFileMirror {
   public:
    explicit PersistFile(SimShellLink& link) : link_(link) {}

    Hresult EJECTRA_STDMETHOD QueryInterface(const Guid& iid, void** object) override {
      return link_.Query("IPersistFile::QueryInterface", iid, object);
    }
    std::uint32_t EJECTRA_STDMETHOD AddRef() override { return link_.AddRef(); }
    std::uint32_t EJECTRA_STDMETHOD Release() override { return link_.Drop("IPersistFile::Release"); }
    Hresult EJECTRA_STDMETHOD GetClassID(Guid* clsid) override {
      if (!clsid) return kEPointer;
      *clsid = kClsidShellLink;
      return kSOk;
    }
    Hresult EJECTRA_STDMETHOD Save(const char16_t* file, int) override { return link_.SaveAs(file); }
    Hresult EJECTRA_STDMETHOD IsDirty() override { return kENotImpl; }
    Hresult EJECTRA_STDMETHOD Load(const char16_t*, std::uint32_t) override { return kENotImpl; }
    Hresult EJECTRA_STDMETHOD SaveCompleted(const char16_t*) override { return kENotImpl; }
    Hresult EJECTRA_STDMETHOD GetCurFile(char16_t**) override { return kENotImpl; }

   private:
    SimShellLink& link_;
  };

  Hresult Query(const char* call, const Guid& iid, void** object) {
    if (const auto fault = world_.calls.Enter(call, Utf16ToUtf8(FormatGuid(iid)))) {
      if (object) *object = nullptr;
      return static_cast<Hresult>(*fault);
    }
    return Answer(iid, object);
  }

  // Logs the references left; the last one deletes the object.
  std::uint32_t Drop(const char* call) {
    const std::uint32_t left = --references_;
    world_.calls.Enter(call, std::to_string(left));
    if (left == 0) delete this;
    return left;
  }

  Hresult SetText(const char* call, const char16_t* text, std::u16string& field) {
    if (const auto fault = world_.calls.Enter(call, Utf16ToUtf8(View(text)))) {
      return static_cast<Hresult>(*fault);
    }
    if (!text) return kEInvalidArg;
    field = text;
    return kSOk;
  }

  template <typename Number>
  Hresult SetNumber(const char* call, Number value, Number& field) {
    if (const auto fault = world_.calls.Enter(call, std::to_string(value))) {
      return static_cast<Hresult>(*fault);
    }
    field = value;
    return kSOk;
  }

  Hresult SaveAs(const char16_t* file) {
    if (const auto fault = world_.calls.Enter("IPersistFile::Save", Utf16ToUtf8(View(file)))) {
      return static_cast<Hresult>(*fault);
    }
    if (View(file).empty()) return kEInvalidArg;
    world_.files.insert_or_assign(std::u16string(file), SimFile{shortcut_});
    return kSOk;
  }

  SimWorld& world_;
  PersistFile persistFile_;
  std::uint32_t references_ = 0;
  SimShortcut shortcut_;
};

}  // namespace

Hresult SimShellFolders::SHGetSpecialFolderLocation(WindowHandle, int folder, ItemIdList* list) {
  if (list) *list = 0;
  if (const auto fault = world_.calls.Enter("SHGetSpecialFolderLocation", std::to_string(folder))) {
    return static_cast<Hresult>(*fault);
  }
  if (!list || folder != kCsidlDesktopDirectory) return kEInvalidArg;
  *list = nextList_;
  nextList_ += 0x10;
  lists_.emplace(*list, world_.desktopFolder);
  return kSOk;
}

bool SimShellFolders::SHGetPathFromIDListW(ItemIdList list, char16_t* path) {
  if (world_.calls.Enter("SHGetPathFromIDListW")) return false;
  const auto it = lists_.find(list);
  if (it == lists_.end() || !path || it->second.size() >= kMaxPath) return false;
  std::copy(it->second.begin(), it->second.end(), path);
  path[it->second.size()] = u'\0';
  return true;
}

void SimShellFolders::ILFree(ItemIdList list) {
  world_.calls.Enter("ILFree");
  lists_.erase(list);
}

std::uint32_t SimShellFolders::GetFileAttributesW(const char16_t* path) {
  if (const auto fault = world_.calls.Enter("GetFileAttributesW", Utf16ToUtf8(View(path)))) {
    world_.lastError = *fault;
    return kInvalidFileAttributes;
  }
  if (world_.files.count(View(path))) return kFileAttributeArchive;
  if (IsFolder(View(path))) return kFileAttributeDirectory;
  world_.lastError = kErrorFileNotFound;
  return kInvalidFileAttributes;
}

bool SimShellFolders::IsFolder(std::u16string_view path) const {
  while (path.ends_with(u'\\')) path.remove_suffix(1);
  if (path.empty()) return false;
  const std::u16string folder = std::u16string(path) + u'\\';
  const auto inside = [&](std::u16string_view other) {
    return other.size() >= folder.size() &&
           EqualsIgnoringAsciiCase(other.substr(0, folder.size()), folder);
  };
  return inside(world_.desktopFolder + u'\\') ||
         std::any_of(world_.files.begin(), world_.files.end(),
                     [&](const auto& file) { return inside(file.first); });
}

void InstallSimShellLink(SimWorld& world) {
  world.calls.Know({"IShellLinkW::QueryInterface", "IShellLinkW::Release", "IShellLinkW::SetPath",
                    "IShellLinkW::SetIDList", "IShellLinkW::SetWorkingDirectory",
                    "IShellLinkW::SetIconLocation", "IShellLinkW::SetDescription",
                    "IShellLinkW::SetArguments", "IShellLinkW::SetHotkey", "IShellLinkW::SetShowCmd",
                    "IPersistFile::QueryInterface", "IPersistFile::Release", "IPersistFile::Save"});
  const std::u16string id = FormatGuid(kClsidShellLink);
  for (const RegistryView view : {RegistryView::k64, RegistryView::k32}) {
    SimRegistryKey& server =
        world.machine.registry.Create(kHkeyClassesRoot, u"CLSID\\" + id + u"\\InprocServer32", view);
    server.values[u""] = SimRegistryValue{
        kRegExpandSz, EncodeUtf16le(u"%SystemRoot%\\system32\\windows.storage.dll", true)};
    server.values[u"ThreadingModel"] = SimRegistryValue{kRegSz, EncodeUtf16le(u"Apartment", true)};
  }
  world.comServers[id] = [&world](const Guid& iid, void** object) {
    auto* link = new SimShellLink(world);
    const Hresult answer = link->Answer(iid, object);  // the caller's one reference
    if (answer < 0) delete link;
    return answer;
  };
}

}  // namespace ejectra::platform::sim
