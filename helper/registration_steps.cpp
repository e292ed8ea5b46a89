#include "helper/registration_steps.h"

#include "helper/registry_script.h"

namespace ejectra::helper {

using namespace platform;

namespace {

bool Failed(Hresult result) { return result < 0; }

Hresult RunScriptStep(const RegistrationStep& step, RegistrationSystem& system) {
  std::u16string text;
  if (const Hresult loaded = system.LoadScriptText(step.script, text); Failed(loaded)) return loaded;
  const auto keys = ParseRegistryScript(
      text, {{u"APPID", kAppId}, {u"MODULE", QuotedModulePath(system.ModulePath())}});
  if (!keys) return kEUnexpected;
  return step.action == RegistrationStep::Action::WriteScript
             ? WriteRegistryScript(system.Registry(), *keys)
             : RemoveRegistryScript(system.Registry(), *keys);
}

Hresult RunStep(const RegistrationStep& step, RegistrationSystem& system) {
  switch (step.action) {
    case RegistrationStep::Action::WriteScript:
    case RegistrationStep::Action::RemoveScript:
      return RunScriptStep(step, system);
    case RegistrationStep::Action::RegisterTypeLibrary:
      return system.RegisterTypeLibrary();
    case RegistrationStep::Action::UnregisterTypeLibrary:
      return system.UnregisterTypeLibrary();
  }
  return kEUnexpected;
}

}  // namespace

Hresult RunRegistrationSteps(std::span<const RegistrationStep> steps, RegistrationSystem& system) {
  for (const RegistrationStep& step : steps) {
    if (const Hresult result = RunStep(step, system); Failed(result)) return result;
  }
  return kSOk;
}

}  // namespace ejectra::helper
