// The raw list view rows the benchmarks measure against: inserted with
// LVM_INSERTITEMA as a program would, not through the library.
#pragma once

#include <commctrl.h>
#include <windows.h>

#include <string>

namespace vantor::bench {

// Inserts item "row N" (N = index + 1) at index of a list view.
inline void InsertRow(HWND list, int index) {
    std::string text = "row " + std::to_string(index + 1);
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = text.data();
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

}  // namespace vantor::bench
