// List boxes and combo boxes the host's dialog created. Scripts number items
// from 1; the controls count from 0.
#include "controls/control_messages.h"
#include "host/arguments.h"
#include "host/core/value_helpers.h"
#include "host/vantor.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace vantor {
namespace {

// Deletes, from the last position down, every item whose selection state
// matches `selected`; the result is what the last deletion left (0 when none).
std::int32_t DeleteBySelection(HWND list, std::int32_t count, bool selected) {
    std::int32_t left = 0;
    for (std::int32_t position = count - 1; position >= 0; --position) {
        if ((Send(list, LB_GETSEL, position) > 0) == selected)
            left = AsInt(Send(list, LB_DELETESTRING, position));
    }
    return left;
}

}  // namespace

std::int32_t CVantor::cbGetCurSel(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                  std::int32_t argCount) {
    const Arguments a(args, argCount);
    return ReturnInteger(AsInt(Send(a.window(1), CB_GETCURSEL)) + 1);
}

std::int32_t CVantor::cbSetCurSel(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                  std::int32_t argCount) {
    const Arguments a(args, argCount);
    return ReturnInteger(AsInt(Send(a.window(1), CB_SETCURSEL, a.integer(2) - 1)) + 1);
}

// Makes the dropped-down list show `items` items (fewer when the box holds
// fewer and keeps its list's height integral). The closed box keeps its
// place, width and height: the new window height asked for is that height
// plus the items and the frame of the list. Combo boxes of common controls 6
// size an integral list by their minimum number of visible items, so that
// is set too. Delivers 1, or 0 when items is below 1 or the window is no
// combo box (nothing is changed then).
std::int32_t CVantor::cbSetDropHeight(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                      std::int32_t argCount) {
    const Arguments a(args, argCount);
    const HWND combo = a.window(1);
    const std::int32_t items = a.integer(2);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    const LRESULT itemHeight = Send(combo, CB_GETITEMHEIGHT, 0);
    if (items < 1 || itemHeight <= 0 || !GetComboBoxInfo(combo, &info)) return ReturnInteger(0);

    RECT box{}, list{}, frame{};
    GetWindowRect(combo, &box);
    GetWindowRect(info.hwndList, &list);
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(info.hwndList, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(info.hwndList, GWL_EXSTYLE)));
    const bool simple = (GetWindowLongA(combo, GWL_STYLE) & 3) == CBS_SIMPLE;
    // A simple box holds its list inside its own window, under the field.
    const LONG field = simple ? list.top - box.top : box.bottom - box.top;
    const std::int64_t height = std::min<std::int64_t>(
        field + std::int64_t{items} * itemHeight + (frame.bottom - frame.top) + (simple ? 0 : 1),
        32767);
    Send(combo, CB_SETMINVISIBLE, static_cast<WPARAM>(items));
    const LONG width = box.right - box.left;
    // The whole rectangle, so that a mirrored dialog maps it the right way round.
    MapWindowPoints(nullptr, GetParent(combo), reinterpret_cast<POINT*>(&box), 2);
    const BOOL moved = MoveWindow(combo, std::min(box.left, box.right), box.top, width,
                                  static_cast<int>(height), TRUE);
    return ReturnInteger(moved ? 1 : 0);
}

// Deletes by scope: 0 or more, the item (a negative item counts from the
// end with scope 0 only); -1 every item; -2 the selected items; -3 the
// unselected ones. What cannot be done is told in a "Note" box and the
// result is then the number of items.
std::int32_t CVantor::lbDeleteItem(HWND ownerWindow, HINSTANCE, std::int32_t, ValueCell* args,
                                   std::int32_t argCount) {
    const Arguments a(args, argCount);
    const HWND list = a.window(1);
    std::int32_t item = a.integer(2);
    const std::int32_t scope = a.integer(3);
    const std::int32_t selected = AsInt(Send(list, LB_GETSELCOUNT));
    const std::int32_t count = AsInt(Send(list, LB_GETCOUNT));
    if (item == 0) item = 1;
    if (item < 0 && scope == 0) item += count + 1;

    const auto note = [&](const char* text) {
        MessageBoxA(ownerWindow, text, "Note", 0);
        return ReturnInteger(count);
    };
    if (selected == 0 && scope == -2)
        return note("A Scope of -2 indicated but no Items selected for deletion");
    if (selected == 0 && scope == -3) return note("A Scope of -3 indicated but no Items selected");
    if (item > count) return note("Index is greater than number of items in ListView");
    if (scope < -3) return note("Invalid Scope value");

    switch (scope) {
    case -1:
        Send(list, LB_RESETCONTENT);
        return ReturnInteger(0);
    case -2:
        return ReturnInteger(DeleteBySelection(list, count, true));
    case -3:
        return ReturnInteger(DeleteBySelection(list, count, false));
    default:
        return ReturnInteger(AsInt(Send(list, LB_DELETESTRING, static_cast<WPARAM>(item - 1))));
    }
}

std::int32_t CVantor::lbGetItemCount(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                     std::int32_t argCount) {
    const Arguments a(args, argCount);
    return ReturnInteger(AsInt(Send(a.window(1), LB_GETCOUNT)));
}

std::int32_t CVantor::lbGetItemCountSel(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                        std::int32_t argCount) {
    const Arguments a(args, argCount);
    return ReturnInteger(AsInt(Send(a.window(1), LB_GETSELCOUNT)));
}

std::int32_t CVantor::lbGetItemHeight(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                      std::int32_t argCount) {
    const Arguments a(args, argCount);
    return ReturnInteger(AsInt(Send(a.window(1), LB_GETITEMHEIGHT, 0)));
}

// The selected item numbers, ascending, joined by tabs; "0" when none is
// selected. A single-selection list box answers with its current item. The
// answer is always complete: the positions and the text are sized by the
// number of selected items, however many there are.
std::int32_t CVantor::lbGetItemSel(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                   std::int32_t argCount) {
    const Arguments a(args, argCount);
    const HWND list = a.window(1);
    const std::int32_t selected = AsInt(Send(list, LB_GETSELCOUNT));
    std::vector<int> positions(static_cast<std::size_t>(std::max(selected, 0)));
    const std::int32_t got = AsInt(
        Send(list, LB_GETSELITEMS, positions.size(), reinterpret_cast<LPARAM>(positions.data())));

    std::string text;
    if (got == LB_ERR) {
        FormatInteger(AsInt(Send(list, LB_GETCURSEL)) + 1, text);
    } else if (got <= 0) {
        text = "0";
    } else {
        text.reserve(static_cast<std::size_t>(got) * 7);
        for (std::int32_t i = 0; i < std::min<std::int32_t>(got, selected); ++i) {
            if (i > 0) text += '\t';
            FormatInteger(positions[static_cast<std::size_t>(i)] + 1, text);
        }
    }
    return ReturnString(text);
}

std::int32_t CVantor::lbGetItemState(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                     std::int32_t argCount) {
    const Arguments a(args, argCount);
    return ReturnInteger(
        AsInt(Send(a.window(1), LB_GETSEL, static_cast<WPARAM>(a.integer(2) - 1))));
}

std::int32_t CVantor::lbSetHScrollSize(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                       std::int32_t argCount) {
    const Arguments a(args, argCount);
    return ReturnInteger(
        AsInt(Send(a.window(1), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(a.integer(2)))));
}

// The height is forced into 1..255 pixels.
std::int32_t CVantor::lbSetItemHeight(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                      std::int32_t argCount) {
    const Arguments a(args, argCount);
    const std::int32_t height = std::clamp(a.integer(2), 1, 255);
    Send(a.window(1), LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
    return ReturnInteger(1);
}

// Item 0 reaches the control as -1: every item.
std::int32_t CVantor::lbSetItemState(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                     std::int32_t argCount) {
    const Arguments a(args, argCount);
    return ReturnInteger(AsInt(Send(a.window(1), LB_SETSEL, static_cast<WPARAM>(a.integer(3)),
                                    static_cast<LPARAM>(a.integer(2) - 1))));
}

}  // namespace vantor
