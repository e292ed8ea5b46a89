// The wizard's windows on a simulated world: dialogs and their controls,
// a list view, posted messages, and a wizard frame that runs pages as
// PropertySheetW does in wizard mode (PSH_WIZARD97).
//
// The real frame is modal, so the simulated one is driven by a script of
// what the user does, given before it runs:
//
//   SimWizardFrame frame(world, windows, process);
//   frame.script = {SimUserAction::Next(), SimUserAction::ClickRadio(1001, 1000, 1001),
//                   SimUserAction::Next(), SimUserAction::ClickRow(1002, 0)};
//   sheet.Run(frame);
//   EXPECT_EQ(frame.steps.back().buttons, (SimWizardButtons{true, true, false, true}));
//
// Every call is logged in the world by its name, with the window it acts on
// ("frame", "page 178", "178:1002", "frame:2"), and fails as planned (its
// failure value, the code as the last error).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "platform/process_services.h"
#include "platform/sim/sim_world.h"
#include "platform/window_services.h"

namespace ejectra::platform::sim {

struct SimListColumn {
  std::u16string text;
  int format = 0;
  int width = 0;
  friend bool operator==(const SimListColumn&, const SimListColumn&) = default;
};

struct SimListRow {
  std::u16string text;  // sub-item 0
  std::intptr_t param = 0;
  std::map<int, std::u16string> subItems;  // 1 and up
};

// A window: the frame, a page, or a control of one. Controls come into
// being on first use by (dialog, id).
struct SimWindow {
  WindowHandle parent = 0;
  int id = 0;  // a control's ID, or a page's template
  std::u16string text;
  bool checked = false;
  bool enabled = true;
  bool visible = true;
  bool destroyed = false;
  bool control = false;  // made by (dialog, id)
  int limit = 32767;  // what the user may type into an edit
  // A list view's.
  std::uint32_t extendedStyle = 0;
  std::vector<SimListColumn> columns;
  std::vector<SimListRow> rows;
  int selected = -1;  // one row at most (LVS_SINGLESEL)
};

struct SimPostedMessage {
  WindowHandle window = 0;
  std::uint32_t message = 0;
  std::uintptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

class SimWindows final : public Windows {
 public:
  explicit SimWindows(SimWorld& world) : world_(world) {
    world.calls.Know({"CheckRadioButton", "Edit_LimitText", "EnableWindow", "GetDlgItem", "GetDlgItemTextW", "GetParent", "IsDlgButtonChecked", "ListView_DeleteAllItems", "ListView_GetExtendedListViewStyle", "ListView_GetItemCount", "ListView_GetItemParam", "ListView_GetItemText", "ListView_GetNextItem", "ListView_GetSelectedCount", "ListView_InsertColumn", "ListView_InsertItem", "ListView_SetExtendedListViewStyle", "ListView_SetItemParam", "ListView_SetItemText", "LockWindowUpdate", "PostMessageW", "SetDlgItemTextW"});
  }
  SimWindows(const SimWindows&) = delete;
  SimWindows& operator=(const SimWindows&) = delete;

  // --- For the frame and the test -------------------------------------------
  // A new window below `parent` (0: top level); `id` is a page's template.
  WindowHandle Create(WindowHandle parent, int id);
  // The window, destroyed or not; throws std::out_of_range for a handle
  // never made.
  SimWindow& Window(WindowHandle window) { return windows_.at(window); }
  // Control `id` of `dialog`, made on first use, without logging a call.
  SimWindow& Item(WindowHandle dialog, int id) { return windows_.at(ItemHandle(dialog, id)); }
  WindowHandle ItemHandle(WindowHandle dialog, int id);
  // The window and its controls.
  void Destroy(WindowHandle window);
  // "frame", "page 178", "178:1002", "frame:2".
  std::string Describe(WindowHandle window) const;
  WindowHandle Locked() const { return locked_; }
  // The oldest posted message not yet taken, if any.
  bool TakePosted(SimPostedMessage& message);

  // --- Windows --------------------------------------------------------------
  bool PostMessageW(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                    std::intptr_t lParam) override;
  WindowHandle GetParent(WindowHandle window) override;
  WindowHandle GetDlgItem(WindowHandle dialog, int id) override;
  bool EnableWindow(WindowHandle window, bool enable) override;
  bool CheckRadioButton(WindowHandle dialog, int first, int last, int check) override;
  std::uint32_t IsDlgButtonChecked(WindowHandle dialog, int id) override;
  std::u16string GetDlgItemTextW(WindowHandle dialog, int id) override;
  bool SetDlgItemTextW(WindowHandle dialog, int id, const char16_t* text) override;
  void Edit_LimitText(WindowHandle edit, int limit) override;
  bool LockWindowUpdate(WindowHandle window) override;

  std::uint32_t ListView_GetExtendedListViewStyle(WindowHandle list) override;
  void ListView_SetExtendedListViewStyle(WindowHandle list, std::uint32_t style) override;
  int ListView_InsertColumn(WindowHandle list, int index, const char16_t* text, int format,
                            int width) override;
  bool ListView_DeleteAllItems(WindowHandle list) override;
  int ListView_GetItemCount(WindowHandle list) override;
  int ListView_InsertItem(WindowHandle list, int index, const char16_t* text) override;
  bool ListView_SetItemParam(WindowHandle list, int index, std::intptr_t param) override;
  std::intptr_t ListView_GetItemParam(WindowHandle list, int index) override;
  bool ListView_SetItemText(WindowHandle list, int index, int subItem,
                            const char16_t* text) override;
  std::u16string ListView_GetItemText(WindowHandle list, int index, int subItem) override;
  std::uint32_t ListView_GetSelectedCount(WindowHandle list) override;
  int ListView_GetNextItem(WindowHandle list, int start, std::uint32_t flags) override;

 private:
  static constexpr ErrorCode kErrorInvalidWindowHandle = 1400;

  // Logs the call; the live window it acts on, or null (with the last
  // error set) when the call fails.
  SimWindow* Enter(std::string_view call, WindowHandle window, const std::string& more = {});
  // The same for control `id` of `dialog`, made on first use.
  SimWindow* EnterItem(std::string_view call, WindowHandle dialog, int id,
                       const std::string& more = {});
  SimListRow* Row(SimWindow& list, int index);

  SimWorld& world_;
  std::map<WindowHandle, SimWindow> windows_;
  std::map<std::pair<WindowHandle, int>, WindowHandle> items_;  // (dialog, id) -> control
  std::deque<SimPostedMessage> posted_;
  WindowHandle next_ = 0x00030010;
  WindowHandle locked_ = 0;
};

// One thing the user does to the wizard.
struct SimUserAction {
  enum class Kind {
    kBack, kNext, kFinish, kCancel,
    kClickButton,  // a push button of the page: BN_CLICKED
    kClickRadio,   // an auto radio button: checked, the rest of its group not
    kType,         // replaces an edit's text, cut at its limit
    kClickRow,     // a list row with the mouse: selected, then NM_CLICK
    kSelectRow,    // a list row with the keyboard: selected, no NM_CLICK
    kClickEmpty,   // an empty part of a list: nothing selected, then NM_CLICK
    kSystemMenu,   // an item of the frame's system menu
  };

  static SimUserAction Back() { return {.kind = Kind::kBack}; }
  static SimUserAction Next() { return {.kind = Kind::kNext}; }
  static SimUserAction Finish() { return {.kind = Kind::kFinish}; }
  static SimUserAction Cancel() { return {.kind = Kind::kCancel}; }
  static SimUserAction ClickButton(int id) { return {.kind = Kind::kClickButton, .id = id}; }
  static SimUserAction ClickRadio(int id, int first, int last) {
    return {.kind = Kind::kClickRadio, .id = id, .first = first, .last = last};
  }
  static SimUserAction Type(int id, std::u16string text) {
    return {.kind = Kind::kType, .id = id, .text = std::move(text)};
  }
  static SimUserAction ClickRow(int list, int row) {
    return {.kind = Kind::kClickRow, .id = list, .row = row};
  }
  static SimUserAction SelectRow(int list, int row) {
    return {.kind = Kind::kSelectRow, .id = list, .row = row};
  }
  static SimUserAction ClickEmpty(int list) { return {.kind = Kind::kClickEmpty, .id = list}; }
  static SimUserAction SystemMenu(std::uint32_t command) {
    return {.kind = Kind::kSystemMenu, .id = static_cast<int>(command)};
  }

  Kind kind;
  int id = 0;  // the control, or the system command
  int row = -1;
  int first = 0;  // a radio group's first and last IDs
  int last = 0;
  std::u16string text{};
};
std::ostream& operator<<(std::ostream& out, const SimUserAction& action);

// Whether each of the frame's four buttons can be pressed.
struct SimWizardButtons {
  bool back = false;
  bool next = false;
  bool finish = false;
  bool cancel = false;
  friend bool operator==(const SimWizardButtons&, const SimWizardButtons&) = default;
};
std::ostream& operator<<(std::ostream& out, const SimWizardButtons& buttons);

// A page as it was shown: the window title is its caption's text; the
// header strip's texts are empty on an exterior page.
struct SimShownPage {
  int dialog = 0;
  std::u16string title;
  std::u16string headerTitle;
  std::u16string headerSubtitle;
};

// The start of the run, or one action of the script, and what followed it.
struct SimWizardStep {
  std::string action;  // "start", "Next", "click 1015", "type 1007", ...
  bool refused = false;
  int page = 0;  // the template shown after it; 0 once the frame is gone
  SimWizardButtons buttons;
};

enum class SimWizardEnd { kOpen, kFinished, kCancelled, kClosed };

class SimWizardFrame final : public WizardFrame {
 public:
  // The frame's own buttons, controls of its window.
  static constexpr int kBackButton = 0x3023;
  static constexpr int kNextButton = 0x3024;
  static constexpr int kFinishButton = 0x3025;

  // Captions and header texts come from `strings`' string table.
  SimWizardFrame(SimWorld& world, SimWindows& windows, Modules& strings)
      : world_(world), windows_(windows), strings_(strings) {
    world.calls.Know({"PropertySheetW", "User", "OnClick", "OnCommand", "OnInitDialog", "OnSetActive", "OnWizardFinish", "OnWizardNext"});
  }

  // --- Given before the run -------------------------------------------------
  std::vector<SimUserAction> script;

  // --- What happened --------------------------------------------------------
  std::vector<SimShownPage> shown;
  std::vector<SimWizardStep> steps;
  std::vector<std::string> hooks;  // "181 OnWizardNext", "16 OnCommand 1015", ...
  SimWizardEnd end = SimWizardEnd::kOpen;
  WindowHandle FrameWindow() const { return frame_; }
  // The window of the page with template `dialog`; 0 before it was made.
  WindowHandle PageWindow(int dialog) const;
  // The template of the page shown now; 0 when none is.
  int Current() const;

  // 1 when Finish closed the wizard, 0 when Cancel or WM_CLOSE did, -1 when
  // the script ran out with the wizard still open (its windows stay).
  std::intptr_t RunWizard(const std::vector<WizardPage*>& pages,
                          const SystemCommandHandler& onSystemCommand) override;

 private:
  struct Page {
    WizardPage* page;
    WindowHandle window = 0;
  };

  void Activate(int index, int direction);
  bool Perform(const SimUserAction& action);  // false: refused
  bool Pressable(int button);
  void SetButtons(std::uint32_t flags);
  void RunPosted();
  void Close(SimWizardEnd how);
  void Record(std::string action, bool refused);
  void Hook(std::string_view name, std::string more = {});
  SimWizardButtons Buttons();

  SimWorld& world_;
  SimWindows& windows_;
  Modules& strings_;
  std::vector<Page> pages_;
  SystemCommandHandler onSystemCommand_;
  WindowHandle frame_ = 0;
  int current_ = -1;
};

}  // namespace ejectra::platform::sim
