// The hook helper's interface as the tools call it: IPullcoreHookHelper of
// helper/server/PullcoreHelper.idl, slot for slot (IUnknown, IDispatch,
// then its own two methods). On Windows the object behind it is the COM
// proxy of the helper's object.
#pragma once

#include <cstdint>

#include "platform/process_services.h"

namespace ejectra::tools {

class IPullcoreHookHelper : public platform::IUnknownMirror {
 public:
  // IDispatch; the tools bind early and never call these.
  virtual platform::Hresult EJECTRA_STDMETHOD GetTypeInfoCount(std::uint32_t* count) = 0;
  virtual platform::Hresult EJECTRA_STDMETHOD GetTypeInfo(std::uint32_t index, std::uint32_t lcid,
                                                          void** info) = 0;
  virtual platform::Hresult EJECTRA_STDMETHOD GetIDsOfNames(const platform::Guid& iid,
                                                            char16_t** names, std::uint32_t count,
                                                            std::uint32_t lcid,
                                                            std::int32_t* ids) = 0;
  virtual platform::Hresult EJECTRA_STDMETHOD Invoke(std::int32_t id, const platform::Guid& iid,
                                                     std::uint32_t lcid, std::uint16_t flags,
                                                     void* params, void* result, void* exception,
                                                     std::uint32_t* argumentError) = 0;
  // The hook helper's own methods: the server's count of hook users.
  virtual platform::Hresult EJECTRA_STDMETHOD StartHook(std::int32_t* plRefCount) = 0;
  virtual platform::Hresult EJECTRA_STDMETHOD StopHook(std::int32_t* plRefCount) = 0;

 protected:
  ~IPullcoreHookHelper() = default;
};

inline constexpr platform::Guid kClsidPullcoreHookHelper = {
    0xE0D32790, 0x51A4, 0x4CC1, {0xA6, 0x53, 0x1F, 0xFC, 0x43, 0x49, 0x12, 0x5B}};
inline constexpr platform::Guid kIidPullcoreHookHelper = {
    0x90E3B31B, 0x830C, 0x49CF, {0x96, 0xA0, 0x25, 0x7F, 0x09, 0x0C, 0x0D, 0xCD}};

}  // namespace ejectra::tools
