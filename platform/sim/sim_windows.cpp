#include "platform/sim/sim_windows.h"

#include <algorithm>
#include <cstdio>

#include "platform/sim/utf.h"

namespace ejectra::platform::sim {

namespace {

std::u16string_view View(const char16_t* text) {
  return text ? std::u16string_view(text) : std::u16string_view();
}

std::string Quoted(const char16_t* text) { return '"' + Utf16ToUtf8(View(text)) + '"'; }

}  // namespace

// --- The windows themselves ---------------------------------------------------

WindowHandle SimWindows::Create(WindowHandle parent, int id) {
  const WindowHandle window = next_;
  next_ += 0x10;
  SimWindow& made = windows_[window];
  made.parent = parent;
  made.id = id;
  return window;
}

WindowHandle SimWindows::ItemHandle(WindowHandle dialog, int id) {
  const auto known = items_.find({dialog, id});
  if (known != items_.end()) return known->second;
  const WindowHandle control = Create(dialog, id);
  windows_.at(control).control = true;
  items_.emplace(std::pair{dialog, id}, control);
  return control;
}

void SimWindows::Destroy(WindowHandle window) {
  const auto it = windows_.find(window);
  if (it == windows_.end() || it->second.destroyed) return;
  it->second.destroyed = true;
  if (locked_ == window) locked_ = 0;
  for (auto& [child, state] : windows_) {
    if (state.parent == window) Destroy(child);
  }
}

std::string SimWindows::Describe(WindowHandle window) const {
  const auto it = windows_.find(window);
  if (it == windows_.end()) return "window " + std::to_string(window);
  const SimWindow& w = it->second;
  if (w.parent == 0) return "frame";
  if (!w.control) return "page " + std::to_string(w.id);
  const SimWindow& dialog = windows_.at(w.parent);
  return (dialog.parent == 0 ? std::string("frame") : std::to_string(dialog.id)) + ':' +
         std::to_string(w.id);
}

bool SimWindows::TakePosted(SimPostedMessage& message) {
  if (posted_.empty()) return false;
  message = posted_.front();
  posted_.pop_front();
  return true;
}

SimWindow* SimWindows::Enter(std::string_view call, WindowHandle window, const std::string& more) {
  std::string detail = Describe(window);
  if (!more.empty()) detail += ' ' + more;
  if (const auto fault = world_.calls.Enter(call, std::move(detail))) {
    world_.lastError = *fault;
    return nullptr;
  }
  const auto it = windows_.find(window);
  if (it == windows_.end() || it->second.destroyed) {
    world_.lastError = kErrorInvalidWindowHandle;
    return nullptr;
  }
  return &it->second;
}

SimWindow* SimWindows::EnterItem(std::string_view call, WindowHandle dialog, int id,
                                 const std::string& more) {
  const auto it = windows_.find(dialog);
  if (it == windows_.end() || it->second.destroyed) {
    Enter(call, dialog, std::to_string(id) + (more.empty() ? "" : ' ' + more));
    return nullptr;
  }
  return Enter(call, ItemHandle(dialog, id), more);
}

// --- Windows -----------------------------------------------------------------

bool SimWindows::PostMessageW(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) {
  char text[48];
  std::snprintf(text, sizeof text, "0x%04x %ju %jd", message, static_cast<std::uintmax_t>(wParam),
                static_cast<std::intmax_t>(lParam));
  if (!Enter("PostMessageW", window, text)) return false;
  posted_.push_back(SimPostedMessage{window, message, wParam, lParam});
  return true;
}

WindowHandle SimWindows::GetParent(WindowHandle window) {
  const SimWindow* w = Enter("GetParent", window);
  return w ? w->parent : 0;
}

WindowHandle SimWindows::GetDlgItem(WindowHandle dialog, int id) {
  return EnterItem("GetDlgItem", dialog, id) ? ItemHandle(dialog, id) : 0;
}

bool SimWindows::EnableWindow(WindowHandle window, bool enable) {
  SimWindow* w = Enter("EnableWindow", window, enable ? "on" : "off");
  if (!w) return false;
  const bool wasDisabled = !w->enabled;
  w->enabled = enable;
  return wasDisabled;
}

bool SimWindows::CheckRadioButton(WindowHandle dialog, int first, int last, int check) {
  const std::string group = std::to_string(first) + '-' + std::to_string(last);
  if (!Enter("CheckRadioButton", dialog, group + " " + std::to_string(check))) return false;
  if (check >= first && check <= last) ItemHandle(dialog, check);
  for (const auto& [key, control] : items_) {
    if (key.first == dialog && key.second >= first && key.second <= last) {
      windows_.at(control).checked = key.second == check;
    }
  }
  return true;
}

std::uint32_t SimWindows::IsDlgButtonChecked(WindowHandle dialog, int id) {
  const SimWindow* w = EnterItem("IsDlgButtonChecked", dialog, id);
  return w && w->checked ? kBstChecked : 0;
}

std::u16string SimWindows::GetDlgItemTextW(WindowHandle dialog, int id) {
  const SimWindow* w = EnterItem("GetDlgItemTextW", dialog, id);
  return w ? w->text : std::u16string();
}

bool SimWindows::SetDlgItemTextW(WindowHandle dialog, int id, const char16_t* text) {
  SimWindow* w = EnterItem("SetDlgItemTextW", dialog, id, Quoted(text));
  if (!w) return false;
  w->text = View(text);
  return true;
}

void SimWindows::Edit_LimitText(WindowHandle edit, int limit) {
  if (SimWindow* w = Enter("Edit_LimitText", edit, std::to_string(limit))) {
    w->limit = limit > 0 ? limit : 0x7FFFFFFE;
  }
}

bool SimWindows::LockWindowUpdate(WindowHandle window) {
  if (window == 0) {
    if (const auto fault = world_.calls.Enter("LockWindowUpdate", "none")) {
      world_.lastError = *fault;
      return false;
    }
    locked_ = 0;
    return true;
  }
  if (!Enter("LockWindowUpdate", window)) return false;
  if (locked_ != 0) return false;  // one window at a time
  locked_ = window;
  return true;
}

// --- The list view -------------------------------------------------------------

SimListRow* SimWindows::Row(SimWindow& list, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= list.rows.size()) return nullptr;
  return &list.rows[static_cast<std::size_t>(index)];
}

std::uint32_t SimWindows::ListView_GetExtendedListViewStyle(WindowHandle list) {
  const SimWindow* w = Enter("ListView_GetExtendedListViewStyle", list);
  return w ? w->extendedStyle : 0;
}

void SimWindows::ListView_SetExtendedListViewStyle(WindowHandle list, std::uint32_t style) {
  if (SimWindow* w = Enter("ListView_SetExtendedListViewStyle", list, std::to_string(style))) {
    w->extendedStyle = style;
  }
}

int SimWindows::ListView_InsertColumn(WindowHandle list, int index, const char16_t* text,
                                      int format, int width) {
  SimWindow* w = Enter("ListView_InsertColumn", list, std::to_string(index) + ' ' + Quoted(text));
  if (!w || index < 0) return -1;
  const auto at = std::min(static_cast<std::size_t>(index), w->columns.size());
  w->columns.insert(w->columns.begin() + static_cast<std::ptrdiff_t>(at),
                    SimListColumn{std::u16string(View(text)), format, width});
  return static_cast<int>(at);
}

bool SimWindows::ListView_DeleteAllItems(WindowHandle list) {
  SimWindow* w = Enter("ListView_DeleteAllItems", list);
  if (!w) return false;
  w->rows.clear();
  w->selected = -1;
  return true;
}

int SimWindows::ListView_GetItemCount(WindowHandle list) {
  const SimWindow* w = Enter("ListView_GetItemCount", list);
  return w ? static_cast<int>(w->rows.size()) : 0;
}

int SimWindows::ListView_InsertItem(WindowHandle list, int index, const char16_t* text) {
  SimWindow* w = Enter("ListView_InsertItem", list, std::to_string(index) + ' ' + Quoted(text));
  if (!w || index < 0) return -1;
  const auto at = std::min(static_cast<std::size_t>(index), w->rows.size());
  w->rows.insert(w->rows.begin() + static_cast<std::ptrdiff_t>(at),
                 SimListRow{std::u16string(View(text)), 0, {}});
  if (w->selected >= static_cast<int>(at)) ++w->selected;
  return static_cast<int>(at);
}

bool SimWindows::ListView_SetItemParam(WindowHandle list, int index, std::intptr_t param) {
  SimWindow* w = Enter("ListView_SetItemParam", list,
                       std::to_string(index) + ' ' + std::to_string(param));
  SimListRow* row = w ? Row(*w, index) : nullptr;
  if (!row) return false;
  row->param = param;
  return true;
}

std::intptr_t SimWindows::ListView_GetItemParam(WindowHandle list, int index) {
  SimWindow* w = Enter("ListView_GetItemParam", list, std::to_string(index));
  const SimListRow* row = w ? Row(*w, index) : nullptr;
  return row ? row->param : 0;
}

bool SimWindows::ListView_SetItemText(WindowHandle list, int index, int subItem,
                                      const char16_t* text) {
  SimWindow* w = Enter("ListView_SetItemText", list,
                       std::to_string(index) + ' ' + std::to_string(subItem) + ' ' + Quoted(text));
  SimListRow* row = w ? Row(*w, index) : nullptr;
  if (!row || subItem < 0) return false;
  (subItem == 0 ? row->text : row->subItems[subItem]) = View(text);
  return true;
}

std::u16string SimWindows::ListView_GetItemText(WindowHandle list, int index, int subItem) {
  SimWindow* w = Enter("ListView_GetItemText", list,
                       std::to_string(index) + ' ' + std::to_string(subItem));
  const SimListRow* row = w ? Row(*w, index) : nullptr;
  if (!row || subItem < 0) return {};
  if (subItem == 0) return row->text;
  const auto it = row->subItems.find(subItem);
  return it == row->subItems.end() ? std::u16string() : it->second;
}

std::uint32_t SimWindows::ListView_GetSelectedCount(WindowHandle list) {
  const SimWindow* w = Enter("ListView_GetSelectedCount", list);
  return w && w->selected >= 0 ? 1 : 0;
}

int SimWindows::ListView_GetNextItem(WindowHandle list, int start, std::uint32_t flags) {
  const SimWindow* w = Enter("ListView_GetNextItem", list,
                             std::to_string(start) + ' ' + std::to_string(flags));
  if (!w) return -1;
  if (flags == 0) return start + 1 < static_cast<int>(w->rows.size()) ? start + 1 : -1;
  if (flags == kLvniSelected) return w->selected > start ? w->selected : -1;
  return -1;
}

}  // namespace ejectra::platform::sim
