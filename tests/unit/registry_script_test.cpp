#include <gtest/gtest.h>

#include "helper/registry_script.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_world.h"
#include "tests/unit/registration_scripts.h"

namespace ejectra::helper {
namespace {

using namespace platform;
using platform::sim::SimRegistry;
using platform::sim::SimWorld;
using Keys = std::vector<std::u16string>;

constexpr char16_t kClassKey[] = u"CLSID\\{E0D32790-51A4-4CC1-A653-1FFC4349125B}";
constexpr char16_t kAppId[] = u"{40BC9581-8D3B-4ACC-8D9F-8C12E0CC13F1}";

class RegistryScriptTest : public ::testing::Test {
 protected:
  std::vector<ScriptKey> Script(const char* name, std::u16string_view module =
                                                      u"C:\\Program Files\\Ejectra\\PullcoreHelper.exe") {
    const auto keys = ParseRegistryScript(
        ReadScript(name), {{u"APPID", kAppId}, {u"MODULE", QuotedModulePath(module)}});
    EXPECT_TRUE(keys) << name;
    return keys.value_or(std::vector<ScriptKey>{});
  }
  void TearDown() override { EXPECT_EQ(registry.OpenKeys(), 0u); }
  const platform::sim::RegistryTree& Tree() const { return world.machine.registry; }

  SimWorld world;
  SimRegistry registry{world};
};

TEST_F(RegistryScriptTest, Write_PutsEveryKeyAndValueOfBothScripts) {
  EXPECT_EQ(WriteRegistryScript(registry, Script("application.rgs")), 0);
  EXPECT_EQ(WriteRegistryScript(registry, Script("class.rgs")), 0);
  EXPECT_EQ(ClassesRootKeys(Tree()),
            (Keys{u"AppID", u"AppID\\PullcoreHelper.EXE", u"AppID\\{40BC9581-8D3B-4ACC-8D9F-8C12E0CC13F1}",
                  u"CLSID", kClassKey, std::u16string(kClassKey) + u"\\LocalServer32",
                  std::u16string(kClassKey) + u"\\ProgID", std::u16string(kClassKey) + u"\\Programmable",
                  std::u16string(kClassKey) + u"\\TypeLib",
                  std::u16string(kClassKey) + u"\\VersionIndependentProgID",
                  u"PullcoreHelper.PullcoreHookHelper", u"PullcoreHelper.PullcoreHookHelper\\CLSID",
                  u"PullcoreHelper.PullcoreHookHelper\\CurVer", u"PullcoreHelper.PullcoreHookHelper.1",
                  u"PullcoreHelper.PullcoreHookHelper.1\\CLSID"}));
  EXPECT_EQ(Tree().Text(kHkeyClassesRoot, u"AppID\\{40BC9581-8D3B-4ACC-8D9F-8C12E0CC13F1}"), u"PullcoreHelper");
  EXPECT_EQ(Tree().Text(kHkeyClassesRoot, u"AppID\\PullcoreHelper.EXE", u"AppID"), kAppId);
  EXPECT_EQ(Tree().Text(kHkeyClassesRoot, kClassKey), u"PullcoreHookHelper Class");
  EXPECT_EQ(Tree().Text(kHkeyClassesRoot, kClassKey, u"AppID"), kAppId);
  EXPECT_EQ(Tree().Text(kHkeyClassesRoot, std::u16string(kClassKey) + u"\\LocalServer32"),
            u"\"C:\\Program Files\\Ejectra\\PullcoreHelper.exe\"");
  EXPECT_EQ(Tree().Text(kHkeyClassesRoot, std::u16string(kClassKey) + u"\\TypeLib"),
            u"{939DF115-B2FA-48D6-B59C-DD17BA6F1362}");
  EXPECT_EQ(Tree().Text(kHkeyClassesRoot, u"PullcoreHelper.PullcoreHookHelper\\CurVer"),
            u"PullcoreHelper.PullcoreHookHelper.1");
  EXPECT_FALSE(Tree().Text(kHkeyClassesRoot, std::u16string(kClassKey) + u"\\Programmable"));
}

TEST_F(RegistryScriptTest, ModulePathWithQuotes_ReachesTheRegistryWhole) {
  EXPECT_EQ(WriteRegistryScript(registry, Script("class.rgs", u"C:\\Bob's 'tools'\\PullcoreHelper.exe")), 0);
  EXPECT_EQ(Tree().Text(kHkeyClassesRoot, std::u16string(kClassKey) + u"\\LocalServer32"),
            u"\"C:\\Bob's 'tools'\\PullcoreHelper.exe\"");
}

TEST_F(RegistryScriptTest, Remove_LeavesAppIdAndClsidAndWhatOthersPutThere) {
  RegKey key;
  ASSERT_EQ(registry.RegCreateKeyExW(kHkeyClassesRoot, u"CLSID\\{00000000-0000-0000-0000-000000000001}", 0, &key), 0);
  registry.RegCloseKey(key);
  EXPECT_EQ(WriteRegistryScript(registry, Script("application.rgs")), 0);
  EXPECT_EQ(WriteRegistryScript(registry, Script("class.rgs")), 0);
  EXPECT_EQ(RemoveRegistryScript(registry, Script("class.rgs")), 0);
  EXPECT_EQ(RemoveRegistryScript(registry, Script("application.rgs")), 0);
  EXPECT_EQ(ClassesRootKeys(Tree()),
            (Keys{u"AppID", u"CLSID", u"CLSID\\{00000000-0000-0000-0000-000000000001}"}));
  // Removing twice finds nothing to remove, and that is no error.
  EXPECT_EQ(RemoveRegistryScript(registry, Script("class.rgs")), 0);
}

TEST_F(RegistryScriptTest, Remove_StopsAtAClassKeySomethingElseAddedTo) {
  EXPECT_EQ(WriteRegistryScript(registry, Script("class.rgs")), 0);
  RegKey key;
  ASSERT_EQ(registry.RegCreateKeyExW(kHkeyClassesRoot, (std::u16string(kClassKey) + u"\\Implemented Categories").c_str(), 0, &key), 0);
  registry.RegCloseKey(key);
  EXPECT_EQ(RemoveRegistryScript(registry, Script("class.rgs")),
            static_cast<std::int32_t>(0x80070005));  // access denied: it has a subkey
  EXPECT_TRUE(Tree().Find(kHkeyClassesRoot, kClassKey));
  EXPECT_FALSE(Tree().Find(kHkeyClassesRoot, std::u16string(kClassKey) + u"\\ProgID"));
  EXPECT_FALSE(Tree().Find(kHkeyClassesRoot, u"PullcoreHelper.PullcoreHookHelper"));
}

TEST_F(RegistryScriptTest, ForceRemove_ClearsWhatWasThereBefore) {
  RegKey key;
  ASSERT_EQ(registry.RegCreateKeyExW(kHkeyClassesRoot, (std::u16string(kClassKey) + u"\\InprocServer32").c_str(), 0, &key), 0);
  registry.RegCloseKey(key);
  EXPECT_EQ(WriteRegistryScript(registry, Script("class.rgs")), 0);
  EXPECT_FALSE(Tree().Find(kHkeyClassesRoot, std::u16string(kClassKey) + u"\\InprocServer32"));
}

TEST_F(RegistryScriptTest, FailedWrite_RemovesTheScriptAgainAndAnswersTheError) {
  world.calls.Fail("RegSetValueExW", 5, /*skip=*/6);
  EXPECT_EQ(WriteRegistryScript(registry, Script("class.rgs")), static_cast<std::int32_t>(0x80070005));
  EXPECT_EQ(ClassesRootKeys(Tree()), (Keys{u"CLSID"}));
}

TEST_F(RegistryScriptTest, Parse_RejectsWhatIsNoScript) {
  const std::map<std::u16string, std::u16string> none;
  for (const char16_t* bad : {u"HKLM { A }", u"HKCR { A = s 'x' ", u"HKCR { 'open }", u"HKCR { A = d '1' }",
                              u"HKCR { %UNKNOWN% }", u"HKCR { A = s 'x' } HKLM", u"HKCR", u"{ }"}) {
    EXPECT_FALSE(ParseRegistryScript(bad, none)) << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
  }
  const auto keys = ParseRegistryScript(u"hkcr { 'It''s' = s '100%% ''sure''' { val v = s '%AppId%' } }",
                                        {{u"APPID", u"{X}"}});
  ASSERT_TRUE(keys);
  ASSERT_EQ(keys->size(), 1u);
  EXPECT_EQ((*keys)[0].name, u"It's");
  EXPECT_EQ((*keys)[0].defaultValue, u"100% 'sure'");
  EXPECT_EQ((*keys)[0].values[0].text, u"{X}");
}

// "HKCR { k { k { ... } } }" with `depth` blocks, each inside the one before.
std::u16string NestedScript(std::size_t depth) {
  std::u16string text = u"HKCR {";
  for (std::size_t i = 1; i < depth; ++i) text += u" k {";
  for (std::size_t i = 0; i < depth; ++i) text += u" }";
  return text;
}

TEST_F(RegistryScriptTest, Parse_ScriptNestedAsDeepAsAllowed_Parses) {
  const auto keys = ParseRegistryScript(NestedScript(kMaxScriptNesting), {});
  ASSERT_TRUE(keys);
  int depth = 1;
  for (const std::vector<ScriptKey>* level = &*keys; !level->empty(); level = &(*level)[0].subkeys) {
    ++depth;
  }
  EXPECT_EQ(depth, kMaxScriptNesting);
  EXPECT_EQ(WriteRegistryScript(registry, *keys), 0);
  EXPECT_EQ(RemoveRegistryScript(registry, *keys), 0);
  EXPECT_EQ(ClassesRootKeys(Tree()), Keys{u"CLSID"});  // every registry has it
}

TEST_F(RegistryScriptTest, Parse_ScriptNestedOneLevelTooDeep_IsRejected) {
  EXPECT_FALSE(ParseRegistryScript(NestedScript(kMaxScriptNesting + 1), {}));  // its deepest block is empty
}

TEST_F(RegistryScriptTest, Parse_Script200000LevelsDeep_IsRejectedWithoutExhaustingTheStack) {
  EXPECT_FALSE(ParseRegistryScript(NestedScript(200000), {}));
}

}  // namespace
}  // namespace ejectra::helper
