// The simulated wizard frame, after the property sheet's wizard mode: page
// windows made on first activation, pages that refuse activation passed
// over in the direction of travel, Next asking the page where to go, Back
// going to the previous page in order, and posted messages handled once
// the action that posted them is over.
#include <cstdio>
#include <sstream>

#include "platform/sim/sim_windows.h"
#include "platform/sim/utf.h"

namespace ejectra::platform::sim {

std::ostream& operator<<(std::ostream& out, const SimUserAction& action) {
  using Kind = SimUserAction::Kind;
  switch (action.kind) {
    case Kind::kBack: return out << "Back";
    case Kind::kNext: return out << "Next";
    case Kind::kFinish: return out << "Finish";
    case Kind::kCancel: return out << "Cancel";
    case Kind::kClickButton: return out << "click " << action.id;
    case Kind::kClickRadio: return out << "radio " << action.id;
    case Kind::kType:
      return out << "type " << action.id << " \"" << Utf16ToUtf8(action.text) << '"';
    case Kind::kClickRow: return out << "click row " << action.row << " of " << action.id;
    case Kind::kSelectRow: return out << "select row " << action.row << " of " << action.id;
    case Kind::kClickEmpty: return out << "click empty " << action.id;
    case Kind::kSystemMenu: {
      char command[16];
      std::snprintf(command, sizeof command, "0x%04x", static_cast<unsigned>(action.id));
      return out << "system menu " << command;
    }
  }
  return out << "?";
}

std::ostream& operator<<(std::ostream& out, const SimWizardButtons& buttons) {
  return out << "{back " << buttons.back << ", next " << buttons.next << ", finish "
             << buttons.finish << ", cancel " << buttons.cancel << '}';
}

WindowHandle SimWizardFrame::PageWindow(int dialog) const {
  for (const Page& p : pages_) {
    if (p.page->Describe().dialog == dialog) return p.window;
  }
  return 0;
}

int SimWizardFrame::Current() const {
  if (end != SimWizardEnd::kOpen || current_ < 0) return 0;
  return pages_[static_cast<std::size_t>(current_)].page->Describe().dialog;
}

std::intptr_t SimWizardFrame::RunWizard(const std::vector<WizardPage*>& pages,
                                        const SystemCommandHandler& onSystemCommand) {
  world_.calls.Enter("PropertySheetW", std::to_string(pages.size()) + " pages");
  if (pages.empty()) return -1;
  onSystemCommand_ = onSystemCommand;
  pages_.clear();
  for (WizardPage* page : pages) pages_.push_back(Page{page});
  end = SimWizardEnd::kOpen;
  frame_ = windows_.Create(0, 0);
  SetButtons(kPswizbBack | kPswizbNext);
  Activate(0, +1);
  RunPosted();
  Record("start", false);
  for (const SimUserAction& action : script) {
    std::ostringstream text;
    text << action;
    if (end != SimWizardEnd::kOpen) {  // nobody is there to take it
      Record(text.str(), true);
      continue;
    }
    world_.calls.Enter("User", text.str());
    const bool done = Perform(action);
    RunPosted();
    Record(text.str(), !done);
  }
  if (end == SimWizardEnd::kOpen) return -1;
  return end == SimWizardEnd::kFinished ? 1 : 0;
}

void SimWizardFrame::Hook(std::string_view name, std::string more) {
  const int dialog = pages_[static_cast<std::size_t>(current_)].page->Describe().dialog;
  std::string entry = std::to_string(dialog) + ' ' + std::string(name);
  if (!more.empty()) entry += ' ' + more;
  hooks.push_back(entry);
  world_.calls.Enter(name, "page " + std::to_string(dialog) + (more.empty() ? "" : ' ' + more));
}

void SimWizardFrame::Activate(int index, int direction) {
  const int count = static_cast<int>(pages_.size());
  for (;;) {
    current_ = index;
    Page& p = pages_[static_cast<std::size_t>(index)];
    if (!p.window) {
      p.window = windows_.Create(frame_, p.page->Describe().dialog);
      Hook("OnInitDialog");
      p.page->OnInitDialog(p.window);
    }
    Hook("OnSetActive");
    if (p.page->OnSetActive(p.window)) break;
    if (index + direction < 0 || index + direction >= count) break;  // shown all the same
    index += direction;
  }
  const Page& active = pages_[static_cast<std::size_t>(index)];
  for (const Page& p : pages_) {
    if (p.window) windows_.Window(p.window).visible = p.window == active.window;
  }
  const WizardPage::Resources r = active.page->Describe();
  SimShownPage page{r.dialog, strings_.LoadStringW(static_cast<std::uint32_t>(r.caption)), {}, {}};
  if (!r.hideHeader) {
    page.headerTitle = strings_.LoadStringW(static_cast<std::uint32_t>(r.headerTitle));
    page.headerSubtitle = strings_.LoadStringW(static_cast<std::uint32_t>(r.headerSubtitle));
  }
  windows_.Window(frame_).text = page.title;
  shown.push_back(std::move(page));
}

bool SimWizardFrame::Pressable(int button) {
  const SimWindow& control = windows_.Item(frame_, button);
  return control.enabled && control.visible;
}

bool SimWizardFrame::Perform(const SimUserAction& action) {
  using Kind = SimUserAction::Kind;
  Page& p = pages_[static_cast<std::size_t>(current_)];
  const auto control = [&]() -> SimWindow* {
    SimWindow& c = windows_.Item(p.window, action.id);
    return c.enabled && c.visible ? &c : nullptr;
  };
  switch (action.kind) {
    case Kind::kBack:
      if (!Pressable(kBackButton)) return false;
      if (current_ > 0) Activate(current_ - 1, -1);
      return true;
    case Kind::kNext: {
      if (!Pressable(kNextButton)) return false;
      Hook("OnWizardNext");
      const std::intptr_t to = p.page->OnWizardNext(p.window);
      if (to == WizardPage::kStay) return true;
      int target = -1;
      for (std::size_t i = 0; i < pages_.size(); ++i) {
        if (to == WizardPage::kNextInOrder ? static_cast<int>(i) == current_ + 1
                                           : pages_[i].page->Describe().dialog == to) {
          target = static_cast<int>(i);
        }
      }
      if (target >= 0) Activate(target, +1);  // past the last page, or no such page: stays
      return true;
    }
    case Kind::kFinish:
      if (!Pressable(kFinishButton)) return false;
      Hook("OnWizardFinish");
      if (p.page->OnWizardFinish(p.window)) Close(SimWizardEnd::kFinished);
      return true;
    case Kind::kCancel:
      if (!Pressable(kIdCancel)) return false;
      Close(SimWizardEnd::kCancelled);
      return true;
    case Kind::kClickButton:
      if (!control()) return false;
      Hook("OnCommand", std::to_string(action.id));
      p.page->OnCommand(p.window, action.id);
      return true;
    case Kind::kClickRadio:
      if (!control() || action.id < action.first || action.id > action.last) return false;
      for (int id = action.first; id <= action.last; ++id) {
        windows_.Item(p.window, id).checked = id == action.id;
      }
      Hook("OnCommand", std::to_string(action.id));
      p.page->OnCommand(p.window, action.id);
      return true;
    case Kind::kType: {
      SimWindow* edit = control();
      if (!edit) return false;
      edit->text = action.text.substr(0, static_cast<std::size_t>(edit->limit));
      return true;
    }
    case Kind::kClickRow:
    case Kind::kSelectRow:
    case Kind::kClickEmpty: {
      SimWindow* list = control();
      if (!list) return false;
      if (action.kind == Kind::kClickEmpty) {
        list->selected = -1;
      } else if (action.row < 0 || static_cast<std::size_t>(action.row) >= list->rows.size()) {
        return false;  // no such row to point at
      } else {
        list->selected = action.row;
      }
      if (action.kind != Kind::kSelectRow) {
        Hook("OnClick", std::to_string(action.id));
        p.page->OnClick(p.window, action.id);
      }
      return true;
    }
    case Kind::kSystemMenu:
      // A command the program does not take gets the default handling,
      // which the simulation leaves out.
      if (onSystemCommand_) onSystemCommand_(frame_, static_cast<std::uint32_t>(action.id));
      return true;
  }
  return false;
}

void SimWizardFrame::SetButtons(std::uint32_t flags) {
  SimWindow& back = windows_.Item(frame_, kBackButton);
  SimWindow& next = windows_.Item(frame_, kNextButton);
  SimWindow& finish = windows_.Item(frame_, kFinishButton);
  back.enabled = (flags & kPswizbBack) != 0;
  next.enabled = (flags & kPswizbNext) != 0;
  // Finish takes the place of Next while it is asked for.
  finish.enabled = finish.visible = (flags & kPswizbFinish) != 0;
  next.visible = !finish.visible;
}

void SimWizardFrame::RunPosted() {
  SimPostedMessage m;
  while (end == SimWizardEnd::kOpen && windows_.TakePosted(m)) {
    if (m.window != frame_) continue;
    if (m.message == kPsmSetWizButtons) SetButtons(static_cast<std::uint32_t>(m.lParam));
    if (m.message == kWmClose) Close(SimWizardEnd::kClosed);
  }
}

void SimWizardFrame::Close(SimWizardEnd how) {
  end = how;
  windows_.Destroy(frame_);  // and the pages with it
  SimPostedMessage dropped;
  while (windows_.TakePosted(dropped)) {
  }
}

SimWizardButtons SimWizardFrame::Buttons() {
  if (end != SimWizardEnd::kOpen) return {};
  return SimWizardButtons{Pressable(kBackButton), Pressable(kNextButton), Pressable(kFinishButton),
                          Pressable(kIdCancel)};
}

void SimWizardFrame::Record(std::string action, bool refused) {
  steps.push_back(SimWizardStep{std::move(action), refused, Current(), Buttons()});
}

}  // namespace ejectra::platform::sim
