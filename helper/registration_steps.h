// Registering and unregistering the helper server: each an ordered table of
// steps, run by one loop that stops at the first step that fails.
#pragma once

#include <span>
#include <string>

#include "platform/registry_services.h"
#include "platform/types.h"

namespace ejectra::helper {

// The server's application ID (the hook mutex bears the same name).
inline constexpr char16_t kAppId[] = u"{40BC9581-8D3B-4ACC-8D9F-8C12E0CC13F1}";

// The server's "REGISTRY" resources.
inline constexpr int kApplicationScript = 101;
inline constexpr int kClassScript = 102;

inline constexpr platform::Hresult kEUnexpected = static_cast<platform::Hresult>(0x8000FFFF);

// What the steps reach of the system; each call answers S_OK or the HRESULT
// of its failure.
class RegistrationSystem {
 public:
  virtual ~RegistrationSystem() = default;

  // The server's own file, which the class script names as its server.
  virtual std::u16string ModulePath() = 0;
  // The text of the server's "REGISTRY" resource `id`.
  virtual platform::Hresult LoadScriptText(int id, std::u16string& text) = 0;
  // Where the scripts are written and removed.
  virtual platform::Registry& Registry() = 0;
  virtual platform::Hresult RegisterTypeLibrary() = 0;
  virtual platform::Hresult UnregisterTypeLibrary() = 0;
};

struct RegistrationStep {
  enum class Action { WriteScript, RemoveScript, RegisterTypeLibrary, UnregisterTypeLibrary };
  Action action;
  int script;  // the resource, for WriteScript and RemoveScript
};

inline constexpr RegistrationStep kRegistrationSteps[] = {
    {RegistrationStep::Action::WriteScript, kApplicationScript},
    {RegistrationStep::Action::WriteScript, kClassScript},
    {RegistrationStep::Action::RegisterTypeLibrary, 0},
};

inline constexpr RegistrationStep kUnregistrationSteps[] = {
    {RegistrationStep::Action::RemoveScript, kClassScript},
    {RegistrationStep::Action::UnregisterTypeLibrary, 0},
    {RegistrationStep::Action::RemoveScript, kApplicationScript},
};

// Runs `steps` in order: S_OK when every one succeeded, else the HRESULT of
// the first that failed, the steps after it not run. A script step loads
// the script, fills in %APPID% and %MODULE% and writes or removes it (see
// WriteRegistryScript and RemoveRegistryScript); a text that is no script
// fails with E_UNEXPECTED.
platform::Hresult RunRegistrationSteps(std::span<const RegistrationStep> steps,
                                       RegistrationSystem& system);

}  // namespace ejectra::helper
