#include "tests/support/wizard_fixture.h"

#include "shared/drive.h"

#include "platform/sim/utf.h"
#include "platform/text.h"

namespace ejectra::testing {

using namespace platform::sim;

// --- FakeWizardUi ----------------------------------------------------------------

std::string FakeWizardUi::Name(platform::WindowHandle window) const {
  return windows ? windows->Describe(window) : std::to_string(window);
}

void FakeWizardUi::RunAboutBox(platform::WindowHandle owner) {
  calls.push_back("RunAboutBox " + Name(owner));
}

void FakeWizardUi::SetBoldTitleFont(platform::WindowHandle page, int id) {
  calls.push_back("SetBoldTitleFont " + Name(page) + ' ' + std::to_string(id));
}

void FakeWizardUi::ShowIcon(platform::WindowHandle page, int id, const std::u16string& path,
                            int index) {
  calls.push_back("ShowIcon " + Name(page) + ' ' + std::to_string(id) + ' ' +
                  Utf16ToUtf8(path) + ' ' + std::to_string(index));
}

bool FakeWizardUi::PickIcon(platform::WindowHandle page, std::u16string& path, int& index) {
  calls.push_back("PickIcon " + Name(page) + ' ' + Utf16ToUtf8(path) + ' ' +
                  std::to_string(index));
  if (!pick) return false;
  path = pick->first;
  index = pick->second;
  return true;
}

// --- WizardTest --------------------------------------------------------------------

WizardTest::WizardTest() = default;

std::vector<WrittenShortcut> WizardTest::Written() const {
  std::vector<WrittenShortcut> written;
  const std::u16string folder = world->desktopFolder + u"\\";
  for (const auto& [path, file] : world->files) {
    const auto* link = std::get_if<SimShortcut>(&file);
    if (!link || !path.starts_with(folder) || !path.ends_with(u".lnk")) continue;
    const auto drive = link->arguments.empty() ? std::nullopt : Drive::FromLetter(link->arguments[0]);
    written.push_back({drive ? drive->Number() : 0,
                       path.substr(folder.size(), path.size() - folder.size() - 4),
                       link->description, link->iconPath, link->iconIndex});
  }
  return written;
}

void WizardTest::FailNextShortcutWrite() {
  platform::sim::InstallSimShellLink(*world);  // the link object's calls known before the run
  world->calls.Fail("IPersistFile::Save", static_cast<std::uint32_t>(platform::kEFail));
}

std::intptr_t WizardTest::Run(std::vector<SimUserAction> script) {
  Prepare();
  frame->script = std::move(script);
  return sheet->Run(*frame);
}

void WizardTest::Prepare() {
  process->programPath = kWizardPath;
  process->commandLine = u"\"" + process->programPath + u"\"";
  process->strings = strings;
  if (!installDirectory.empty()) {
    world->machine.registry.Create(platform::kHkeyLocalMachine, u"SOFTWARE\\Lumenfold\\Ejectra")
        .values[u"InstallDirectory"] =
        SimRegistryValue{platform::kRegSz, platform::EncodeUtf16le(installDirectory, true)};
  }
  sheet.reset();
  services.reset();
  frame.reset();
  platform::sim::InstallSimShellLink(*world);
  shell = std::make_unique<platform::sim::SimShellFolders>(*world);
  windows = std::make_unique<SimWindows>(*world);
  frame = std::make_unique<SimWizardFrame>(*world, *windows, *process);
  ui.windows = windows.get();
  services = std::make_unique<wizard::WizardServices>(wizard::WizardServices{
      process->Services(), machine->Services().registry, *shell, *windows, ui});
  sheet = std::make_unique<wizard::CEjectraSheet>(*services);
}

std::vector<int> WizardTest::Shown() const {
  std::vector<int> dialogs;
  for (const SimShownPage& page : frame->shown) dialogs.push_back(page.dialog);
  return dialogs;
}

SimWindow& WizardTest::Control(int dialog, int id) {
  const platform::WindowHandle page = frame->PageWindow(dialog);
  EXPECT_NE(page, 0u) << "page " << dialog << " was never made";
  return windows->Item(page, id);
}

}  // namespace ejectra::testing
