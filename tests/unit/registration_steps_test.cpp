#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "helper/registration_steps.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_world.h"
#include "tests/unit/registration_scripts.h"

namespace ejectra::helper {
namespace {

using namespace platform;
using platform::sim::SimCall;
using platform::sim::SimRegistry;
using platform::sim::SimWorld;
using Keys = std::vector<std::u16string>;
using Steps = std::vector<std::string>;

constexpr char16_t kClassKey[] = u"CLSID\\{E0D32790-51A4-4CC1-A653-1FFC4349125B}";
constexpr char16_t kModule[] = u"C:\\Program Files\\Ejectra\\PullcoreHelper.exe";
constexpr Hresult kTypeERegistryAccess = static_cast<Hresult>(0x8002801C);
constexpr Hresult kResourceNameNotFound = static_cast<Hresult>(0x80070716);

// The system on a simulated world: `scripts` as the server's resources, the
// world's registry, and the type library as the calls "RegisterTypeLib" and
// "UnRegisterTypeLib". Every call is logged (LoadScriptText with the
// resource) and fails as the world plans.
class RecordingSystem final : public RegistrationSystem {
 public:
  explicit RecordingSystem(SimWorld& world) : world_(world), registry_(world) {
    world.calls.Know({"LoadScriptText", "RegisterTypeLib", "UnRegisterTypeLib"});
  }

  std::u16string ModulePath() override { return kModule; }
  Hresult LoadScriptText(int id, std::u16string& text) override {
    if (const auto fault = world_.calls.Enter("LoadScriptText", std::to_string(id))) {
      return static_cast<Hresult>(*fault);
    }
    const auto script = scripts.find(id);
    if (script == scripts.end()) return kResourceNameNotFound;
    text = script->second;
    return kSOk;
  }
  platform::Registry& Registry() override { return registry_; }
  Hresult RegisterTypeLibrary() override { return Logged("RegisterTypeLib"); }
  Hresult UnregisterTypeLibrary() override { return Logged("UnRegisterTypeLib"); }

  std::size_t OpenKeys() const { return registry_.OpenKeys(); }

  std::map<int, std::u16string> scripts{{kApplicationScript, ReadScript("application.rgs")},
                                        {kClassScript, ReadScript("class.rgs")}};

 private:
  Hresult Logged(std::string_view call) {
    return static_cast<Hresult>(world_.calls.Enter(call).value_or(kSOk));
  }

  SimWorld& world_;
  SimRegistry registry_;
};

// The log as steps: "load <id>", "write" for the keys created and "remove"
// for the keys deleted after it, and the type library's calls.
Steps StepsOf(const std::vector<SimCall>& log) {
  Steps steps;
  for (const SimCall& call : log) {
    std::string step;
    if (call.name == "LoadScriptText") {
      step = "load " + call.detail;
    } else if (call.name == "RegCreateKeyExW") {
      step = "write";
    } else if (call.name == "RegDeleteKeyW") {
      step = "remove";
    } else if (call.name == "RegisterTypeLib" || call.name == "UnRegisterTypeLib") {
      step = call.name;
    } else {
      continue;
    }
    if (steps.empty() || steps.back() != step) steps.push_back(step);
  }
  return steps;
}

class RegistrationStepsTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(system.OpenKeys(), 0u); }

  Hresult Register() { return RunRegistrationSteps(kRegistrationSteps, system); }
  Hresult Unregister() { return RunRegistrationSteps(kUnregistrationSteps, system); }
  Steps StepsTaken() const { return StepsOf(world.calls.Log()); }
  Keys KeysUnderHkcr() const { return ClassesRootKeys(world.machine.registry); }

  // What the application script leaves, and CLSID, which every registry has
  // and the class script never removes.
  const Keys applicationAndClsid{u"AppID", u"AppID\\PullcoreHelper.EXE",
                                 u"AppID\\{40BC9581-8D3B-4ACC-8D9F-8C12E0CC13F1}", u"CLSID"};

  SimWorld world;
  RecordingSystem system{world};
};

TEST_F(RegistrationStepsTest, Registration_WritesApplicationThenClassScriptThenRegistersTypeLibrary) {
  EXPECT_EQ(Register(), kSOk);
  EXPECT_EQ(StepsTaken(), (Steps{"load 101", "write", "load 102", "write", "RegisterTypeLib"}));
  EXPECT_EQ(KeysUnderHkcr().size(), 15u);  // every key of both scripts
  EXPECT_EQ(world.machine.registry.Text(kHkeyClassesRoot, std::u16string(kClassKey) + u"\\LocalServer32"),
            u"\"" + std::u16string(kModule) + u"\"");
  EXPECT_EQ(world.machine.registry.Text(kHkeyClassesRoot, kClassKey, u"AppID"), kAppId);
}

TEST_F(RegistrationStepsTest, Unregistration_RemovesClassScriptThenTypeLibraryThenApplicationScript) {
  ASSERT_EQ(Register(), kSOk);
  world.calls.Clear();
  EXPECT_EQ(Unregister(), kSOk);
  EXPECT_EQ(StepsTaken(), (Steps{"load 102", "remove", "UnRegisterTypeLib", "load 101", "remove"}));
  EXPECT_EQ(KeysUnderHkcr(), (Keys{u"AppID", u"CLSID"}));
}

TEST_F(RegistrationStepsTest, Registration_ClassScriptFailingHalfWay_RemovesItsKeysAndStopsWithItsError) {
  // The class script's seventh value cannot be written.
  world.calls.On("LoadScriptText", /*skip=*/1,
                 [&] { world.calls.Fail("RegSetValueExW", kErrorAccessDenied, /*skip=*/6); });
  EXPECT_EQ(Register(), static_cast<Hresult>(0x80070005));
  EXPECT_EQ(StepsTaken(), (Steps{"load 101", "write", "load 102", "write", "remove"}));
  EXPECT_EQ(world.calls.Count("RegisterTypeLib"), 0u);
  EXPECT_EQ(KeysUnderHkcr(), applicationAndClsid);
}

TEST_F(RegistrationStepsTest, Registration_ClassScriptMissing_StopsWithTheLoadsError) {
  system.scripts.erase(kClassScript);
  EXPECT_EQ(Register(), kResourceNameNotFound);
  EXPECT_EQ(StepsTaken(), (Steps{"load 101", "write", "load 102"}));
  EXPECT_EQ(KeysUnderHkcr(), applicationAndClsid);
}

TEST_F(RegistrationStepsTest, Registration_TypeLibraryFailing_AnswersItsErrorAndKeepsBothScripts) {
  world.calls.Fail("RegisterTypeLib", static_cast<std::uint32_t>(kTypeERegistryAccess));
  EXPECT_EQ(Register(), kTypeERegistryAccess);
  EXPECT_EQ(KeysUnderHkcr().size(), 15u);
}

TEST_F(RegistrationStepsTest, Unregistration_TypeLibraryFailing_StopsBeforeTheApplicationScript) {
  ASSERT_EQ(Register(), kSOk);
  world.calls.Clear();
  world.calls.Fail("UnRegisterTypeLib", static_cast<std::uint32_t>(kTypeERegistryAccess));
  EXPECT_EQ(Unregister(), kTypeERegistryAccess);
  EXPECT_EQ(StepsTaken(), (Steps{"load 102", "remove", "UnRegisterTypeLib"}));
  EXPECT_EQ(KeysUnderHkcr(), applicationAndClsid);
}

TEST_F(RegistrationStepsTest, Unregistration_ClassScriptFailingHalfWay_StopsWithItsError) {
  ASSERT_EQ(Register(), kSOk);
  world.calls.Clear();
  world.calls.Fail("RegDeleteKeyW", kErrorAccessDenied, /*skip=*/2);
  EXPECT_EQ(Unregister(), static_cast<Hresult>(0x80070005));
  EXPECT_EQ(StepsTaken(), (Steps{"load 102", "remove"}));
  EXPECT_EQ(world.calls.Count("UnRegisterTypeLib"), 0u);
  EXPECT_TRUE(world.machine.registry.Find(kHkeyClassesRoot, u"AppID\\PullcoreHelper.EXE"));
}

TEST_F(RegistrationStepsTest, Registration_ResourceThatIsNoScript_StopsWithEUnexpected) {
  system.scripts[kApplicationScript] = u"HKCR { 'unterminated }";
  EXPECT_EQ(Register(), kEUnexpected);
  EXPECT_EQ(StepsTaken(), (Steps{"load 101"}));
  EXPECT_EQ(KeysUnderHkcr(), Keys{u"CLSID"});  // every registry has it
}

}  // namespace
}  // namespace ejectra::helper
