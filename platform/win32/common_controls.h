// <commctrl.h> without its ListView_* message macros, which share the names
// of the Windows seam's methods. Windows code includes comctl32's header
// through this one.
#pragma once

#include <windows.h>
// windows.h first
#include <commctrl.h>

#undef ListView_GetExtendedListViewStyle
#undef ListView_SetExtendedListViewStyle
#undef ListView_InsertColumn
#undef ListView_DeleteAllItems
#undef ListView_GetItemCount
#undef ListView_InsertItem
#undef ListView_SetItemText
#undef ListView_GetItemText
#undef ListView_GetSelectedCount
#undef ListView_GetNextItem
