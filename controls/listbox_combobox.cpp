// List boxes and combo boxes the host's dialog created. Scripts number items
// from 1; the controls count from 0.
#include "wrappers/combo_box.h"
#include "wrappers/list_box.h"
#include "host/arguments.h"
#include "host/core/delete_scope.h"
#include "host/core/value_helpers.h"
#include "host/vantor.h"
#include "host/window.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace vantor {
namespace {

// Deletes every item whose selection state matches `selected` (see
// DeleteBackwardsPaused); the result is what the last deletion left (0 when
// none).
std::int32_t DeleteBySelection(const ListBox& list, std::int32_t count, bool selected) {
    std::int32_t left = 0;
    DeleteBackwardsPaused(
        list, count, [&](int position) { return (list.GetSel(position) > 0) == selected; },
        [&](int position) { left = list.DeleteString(position); });
    return left;
}

// Deletes the items plan names (none when it was refused); the result is
// the box's answer to the last deletion.
std::int32_t DeleteAsPlanned(const ListBox& list, const DeletePlan& plan, std::int32_t count) {
    switch (plan.what) {
        case DeleteWhat::Refused: return count;
        case DeleteWhat::All: list.ResetContent(); return 0;
        case DeleteWhat::Selected: return DeleteBySelection(list, count, true);
        case DeleteWhat::Unselected: return DeleteBySelection(list, count, false);
        case DeleteWhat::One: break;
    }
    return list.DeleteString(plan.index);
}

// The one-based numbers of the first `selected` of got positions, joined by tabs.
std::string JoinedNumbers(const std::vector<int>& positions, std::int32_t got, std::int32_t selected) {
    std::string text;
    text.reserve(static_cast<std::size_t>(got) * 7);
    for (std::int32_t i = 0; i < std::min<std::int32_t>(got, selected); ++i) {
        if (i > 0) text += '\t';
        FormatInteger(positions[static_cast<std::size_t>(i)] + 1, text);
    }
    return text;
}

// Moves combo to the left and top of box (its window rectangle in screen
// coordinates), keeping box's width, at height; whether it moved.
bool MoveKeepingPlace(const ComboBox& combo, RECT box, int height) {
    const LONG width = box.right - box.left;
    // The whole rectangle, so that a mirrored dialog maps it the right way round.
    MapWindowPoints(nullptr, GetParent(combo), reinterpret_cast<POINT*>(&box), 2);
    return MoveWindow(combo, std::min(box.left, box.right), box.top, width, height, TRUE) != FALSE;
}

// The window height of combo (at box, in screen coordinates) whose list
// shows items of itemHeight: the field (a simple box holds its list inside
// its own window, under the field), the items and the list's frame.
int WindowHeightFor(const ComboBox& combo, HWND list, const RECT& box, std::int32_t items, int itemHeight) {
    RECT place{}, frame{};
    GetWindowRect(list, &place);
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(list, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(list, GWL_EXSTYLE)));
    const bool simple = (combo.Style() & 3) == CBS_SIMPLE;
    const LONG field = simple ? place.top - box.top : box.bottom - box.top;
    return static_cast<int>(std::min<std::int64_t>(
        field + std::int64_t{items} * itemHeight + (frame.bottom - frame.top) + (simple ? 0 : 1), 32767));
}

}  // namespace

std::int32_t CVantor::cbGetCurSel(const Call& call) {
    return call.ReturnInteger(OneBased(ComboBox(call.window(1)).GetCurSel()));
}

std::int32_t CVantor::cbSetCurSel(const Call& call) {
    return call.ReturnInteger(OneBased(ComboBox(call.window(1)).SetCurSel(ZeroBased(call.integer(2)))));
}

// Makes the dropped-down list show `items` items (fewer when the box holds
// fewer and keeps its list's height integral). The closed box keeps its
// place, width and height: the new window height asked for is that height
// plus the items and the frame of the list. Combo boxes of common controls 6
// size an integral list by their minimum number of visible items, so that
// is set too. Delivers 1, or 0 when items is below 1 or the window is no
// combo box (nothing is changed then).
std::int32_t CVantor::cbSetDropHeight(const Call& call) {
    const ComboBox combo(call.window(1));
    const std::int32_t items = call.integer(2);
    COMBOBOXINFO info{};
    const int itemHeight = combo.GetItemHeight(0);
    if (items < 1 || itemHeight <= 0 || !combo.GetComboBoxInfo(info)) return call.ReturnInteger(0);

    RECT box{};
    GetWindowRect(combo, &box);
    const int height = WindowHeightFor(combo, info.hwndList, box, items, itemHeight);
    combo.SetMinVisible(items);
    return call.ReturnInteger(MoveKeepingPlace(combo, box, height) ? 1 : 0);
}

// Deletes by scope: 0 or more, the item (a negative item counts from the
// end with scope 0 only); -1 every item; -2 the selected items; -3 the
// unselected ones. What cannot be done is told in a "Note" box and the
// result is then the number of items.
std::int32_t CVantor::lbDeleteItem(const Call& call) {
    const ListBox list(call.window(1));
    const std::int32_t selected = list.GetSelCount();
    const std::int32_t count = list.GetCount();
    const DeletePlan plan = PlanDeletion(call.integer(2), call.integer(3), count, selected);
    if (plan.what == DeleteWhat::Refused) call.ShowNote("Note", plan.note);
    return call.ReturnInteger(DeleteAsPlanned(list, plan, count));
}

std::int32_t CVantor::lbGetItemCount(const Call& call) {
    return call.ReturnInteger(ListBox(call.window(1)).GetCount());
}

std::int32_t CVantor::lbGetItemCountSel(const Call& call) {
    return call.ReturnInteger(ListBox(call.window(1)).GetSelCount());
}

std::int32_t CVantor::lbGetItemHeight(const Call& call) {
    return call.ReturnInteger(ListBox(call.window(1)).GetItemHeight(0));
}

// The selected item numbers, ascending, joined by tabs; "0" when none is
// selected. A single-selection list box answers with its current item. The
// answer is always complete: the positions and the text are sized by the
// number of selected items, however many there are.
std::int32_t CVantor::lbGetItemSel(const Call& call) {
    const ListBox list(call.window(1));
    const std::int32_t selected = list.GetSelCount();
    std::vector<int> positions(static_cast<std::size_t>(std::max(selected, 0)));
    const std::int32_t got = list.GetSelItems(positions);

    std::string text;
    if (got == LB_ERR) FormatInteger(OneBased(list.GetCurSel()), text);
    else if (got <= 0) text = "0";
    else text = JoinedNumbers(positions, got, selected);
    return call.ReturnString(text);
}

std::int32_t CVantor::lbGetItemState(const Call& call) {
    return call.ReturnInteger(ListBox(call.window(1)).GetSel(ZeroBased(call.integer(2))));
}

std::int32_t CVantor::lbSetHScrollSize(const Call& call) {
    return call.ReturnInteger(ListBox(call.window(1)).SetHorizontalExtent(call.integer(2)));
}

// The height is forced into 1..255 pixels.
std::int32_t CVantor::lbSetItemHeight(const Call& call) {
    const std::int32_t height = std::clamp(call.integer(2), 1, 255);
    ListBox(call.window(1)).SetItemHeight(0, height);
    return call.ReturnInteger(1);
}

// Item 0 reaches the control as -1: every item.
std::int32_t CVantor::lbSetItemState(const Call& call) {
    return call.ReturnInteger(ListBox(call.window(1)).SetSel(ZeroBased(call.integer(2)), call.integer(3)));
}

}  // namespace vantor
