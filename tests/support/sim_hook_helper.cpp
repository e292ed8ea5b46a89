#include "tests/support/sim_hook_helper.h"

#include "platform/text.h"
#include "tools/hook_helper_interface.h"

namespace ejectra::testing {

using namespace platform;

namespace {

class SimHookHelperObject final : public tools::IPullcoreHookHelper {
 public:
  explicit SimHookHelperObject(sim::SimWorld& world) : world_(world) {}

  Hresult EJECTRA_STDMETHOD QueryInterface(const Guid& iid, void** object) override {
    if (!object) return kEPointer;
    *object = nullptr;
    if (!(iid == kIidIUnknown) && !(iid == tools::kIidPullcoreHookHelper)) return kENoInterface;
    AddRef();
    *object = this;
    return kSOk;
  }
  std::uint32_t EJECTRA_STDMETHOD AddRef() override { return ++references_; }
  std::uint32_t EJECTRA_STDMETHOD Release() override {
    world_.calls.Enter("Release");
    const std::uint32_t left = --references_;
    if (left == 0) delete this;
    return left;
  }
  Hresult EJECTRA_STDMETHOD GetTypeInfoCount(std::uint32_t*) override { return kENotImpl; }
  Hresult EJECTRA_STDMETHOD GetTypeInfo(std::uint32_t, std::uint32_t, void**) override {
    return kENotImpl;
  }
  Hresult EJECTRA_STDMETHOD GetIDsOfNames(const Guid&, char16_t**, std::uint32_t, std::uint32_t,
                                          std::int32_t*) override {
    return kENotImpl;
  }
  Hresult EJECTRA_STDMETHOD Invoke(std::int32_t, const Guid&, std::uint32_t, std::uint16_t, void*,
                                   void*, void*, std::uint32_t*) override {
    return kENotImpl;
  }
  Hresult EJECTRA_STDMETHOD StartHook(std::int32_t* plRefCount) override {
    return Answer("StartHook", plRefCount, 1);
  }
  Hresult EJECTRA_STDMETHOD StopHook(std::int32_t* plRefCount) override {
    return Answer("StopHook", plRefCount, 0);
  }

 private:
  Hresult Answer(const char* call, std::int32_t* plRefCount, std::int32_t count) {
    if (const auto fault = world_.calls.Enter(call)) return static_cast<Hresult>(*fault);
    if (!plRefCount) return kEInvalidArg;
    *plRefCount = count;
    return kSOk;
  }

  sim::SimWorld& world_;
  std::uint32_t references_ = 0;
};

}  // namespace

void InstallSimHookHelper(sim::SimWorld& world, bool serves) {
  world.calls.Know({"StartHook", "StopHook", "Release"});
  const std::u16string id = FormatGuid(tools::kClsidPullcoreHookHelper);
  world.machine.registry.Create(kHkeyClassesRoot, u"CLSID\\" + id + u"\\LocalServer32", world.processView)
      .values[u""] = sim::SimRegistryValue{kRegSz, EncodeUtf16le(u"\"C:\\Program Files\\Ejectra\\PullcoreHelper.exe\"", true)};
  if (!serves) return;
  world.comServers[id] = [&world](const Guid& iid, void** object) {
    auto* helper = new SimHookHelperObject(world);
    const Hresult answer = helper->QueryInterface(iid, object);  // the caller's one reference
    if (answer < 0) delete helper;
    return answer;
  };
}

}  // namespace ejectra::testing
