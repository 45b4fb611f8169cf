// List-view functions. The script numbers items, columns and images from 1;
// each handler subtracts 1 before it talks to the control. The list view is
// the host dialog's own control: the library never creates one.
#include "host/vantor.h"

#include "controls/window_data.h"
#include "wrappers/header.h"
#include "wrappers/image_list.h"
#include "wrappers/list_view.h"
#include "host/arguments.h"
#include "host/core/delete_scope.h"
#include "host/core/value_helpers.h"
#include "host/owners.h"
#include "host/window.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace vantor {
namespace {

// An image index no image list holds: the item shows no image.
constexpr int kNoImage = -99;
constexpr int kReadBuffer = 1024;  // every item text is read through this many bytes

// The list's columns.
int ColumnCount(const ListView& list) { return list.GetHeader().GetItemCount(); }

// The widths of the columns in front of column, added up.
int WidthBefore(const ListView& list, int column) {
    int width = 0;
    for (int c = 0; c < column; ++c) width += list.GetColumnWidth(c);
    return width;
}

// The width that shows the column's header text whole: the text (up to
// 1,023 characters) in the header's font, with the header's margin on
// either side.
int HeaderFitWidth(const ListView& list, int column) {
    const Header header = list.GetHeader();
    char text[kReadBuffer] = {};
    header.GetItemText(column, text, kReadBuffer);
    const WindowDC dc(header);
    const HGDIOBJ old = SelectObject(dc.dc(), header.GetFont());
    SIZE size{};
    GetTextExtentPoint32A(dc.dc(), text, static_cast<int>(strnlen(text, kReadBuffer - 1)), &size);
    SelectObject(dc.dc(), old);
    return std::min<int>(size.cx + 2 * header.GetBitmapMargin(), SHRT_MAX);
}

// Appends the item's text in column to out. The text is read through a
// 1024-byte buffer and taken from where the control left it: the control
// may point at its own copy instead of filling the buffer. A longer text
// comes back cut to the 1023 characters the buffer holds with its end,
// also from a control that fills the buffer without ending it.
void AppendItemText(const ListView& list, int item, int column, std::string& out) {
    char buffer[kReadBuffer];
    buffer[0] = '\0';
    const char* text = list.GetItemText(item, column, buffer, kReadBuffer);
    if (text == buffer) out.append(buffer, strnlen(buffer, kReadBuffer - 1));
    else if (text != nullptr && text != LPSTR_TEXTCALLBACKA) out += text;
}

// Calls visit with every item index, from the first.
template <class Visit>
void ForEachItem(const ListView& list, Visit visit) {
    const int count = list.GetItemCount();
    for (int item = 0; item < count; ++item) visit(item);
}

// The same for a visit that changes the items: a long list repaints once, at the end.
template <class Change>
void ChangeEachItem(const ListView& list, Change change) {
    const PausedRedraw paused(list, list.GetItemCount());
    ForEachItem(list, change);
}

// Deletes every item that doomed picks (see DeleteBackwardsPaused).
template <class Doomed>
void DeleteItemsWhere(const ListView& list, Doomed doomed) {
    DeleteBackwardsPaused(list, list.GetItemCount(), doomed, [&](int item) { list.DeleteItem(item); });
}

// Each text followed by a tab, then trimmed at both ends.
class TabJoin {
public:
    std::string& out() { return text_; }
    void EndPiece() { text_ += '\t'; }
    std::string Trimmed() { return TrimBlanks(text_); }

private:
    std::string text_;
};

// ---------------------------------------------------------------------------
// Item colours. A list view sends NM_CUSTOMDRAW to its parent, so colouring
// keeps data with both: the list view its colours, which go with it; the
// parent a count of the coloured list views below it, which answers their
// drawing notices and goes with the last of them (or with the parent itself).

struct CellColours {
    std::optional<COLORREF> text, back;
};

struct ListColours {
    static constexpr UINT_PTR kSubclassId = SubclassId("VLVC");
    static constexpr int kAll = -1;

    explicit ListColours(HWND parent);
    ~ListColours();
    ListColours(const ListColours&) = delete;
    ListColours& operator=(const ListColours&) = delete;

    // What 0 gives cell (item, column) is its text colour, 1 its background;
    // any other value forgets both.
    void Set(std::pair<int, int> cell, std::int32_t what, COLORREF colour) {
        switch (what) {
            case 0: cells[cell].text = colour; break;
            case 1: cells[cell].back = colour; break;
            default: cells.erase(cell); break;
        }
    }

    // The colours of one cell: the most specific record wins, per colour.
    void Apply(int item, int column, NMLVCUSTOMDRAW& draw) const {
        std::optional<COLORREF> text, back;
        for (const auto& key :
             {std::pair{item, column}, std::pair{item, kAll}, std::pair{kAll, column}, std::pair{kAll, kAll}}) {
            const auto found = cells.find(key);
            if (found == cells.end()) continue;
            if (!text) text = found->second.text;
            if (!back) back = found->second.back;
        }
        if (text) draw.clrText = *text;
        if (back) draw.clrTextBk = *back;
    }

    LRESULT CustomDraw(NMLVCUSTOMDRAW& draw) {
        const int item = static_cast<int>(draw.nmcd.dwItemSpec);
        switch (draw.nmcd.dwDrawStage) {
            case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
            case CDDS_ITEMPREPAINT:
                // The control's own colours for this item (selection included):
                // every column starts from them again.
                itemText = draw.clrText;
                itemBack = draw.clrTextBk;
                Apply(item, 0, draw);
                return CDRF_NEWFONT | CDRF_NOTIFYSUBITEMDRAW;
            case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
                draw.clrText = itemText;
                draw.clrTextBk = itemBack;
                Apply(item, draw.iSubItem, draw);
                return CDRF_NEWFONT;
            default: return CDRF_DODEFAULT;
        }
    }

    HWND parent;
    std::map<std::pair<int, int>, CellColours> cells;  // (item, column), kAll for every one
    COLORREF itemText = CLR_DEFAULT, itemBack = CLR_DEFAULT;
};

// The parent of coloured list views: it hands each one's drawing notices to
// that list's colours.
struct ColourParent {
    static constexpr UINT_PTR kSubclassId = SubclassId("VLVP");

    std::optional<LRESULT> OnMessage(HWND, UINT message, WPARAM, LPARAM l) {
        if (message != WM_NOTIFY) return std::nullopt;
        auto& notice = *reinterpret_cast<NMHDR*>(l);
        if (notice.code != NM_CUSTOMDRAW) return std::nullopt;
        ListColours* colours = WindowData<ListColours>::Of(notice.hwndFrom);
        if (colours == nullptr) return std::nullopt;
        return colours->CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(l));
    }

    int lists = 0;  // the coloured list views below
};

ListColours::ListColours(HWND parentWindow) : parent(parentWindow) {
    if (ColourParent* counted = WindowData<ColourParent>::For(parent)) ++counted->lists;
}

ListColours::~ListColours() {
    ColourParent* counted = WindowData<ColourParent>::Of(parent);
    if (counted != nullptr && --counted->lists <= 0) WindowData<ColourParent>::Drop(parent);
}

// The colours of list, made on first use; null when list is no window or
// has no parent to receive its drawing notices.
ListColours* ColoursFor(HWND list) {
    if (ListColours* colours = WindowData<ListColours>::Of(list)) return colours;
    const HWND parent = GetParent(list);
    return parent == nullptr ? nullptr : WindowData<ListColours>::For(list, parent);
}

// ---------------------------------------------------------------------------
// The script's image list stays the script's: a list view given one lets go
// of it as it is destroyed, so ilDeleteImgList remains the one place that
// destroys it. (Its other image lists, such as the check boxes', go with it
// as usual.)

struct ScriptImages {
    static constexpr UINT_PTR kSubclassId = SubclassId("VLVI");

    ScriptImages(HWND window, HIMAGELIST given) : list(window), images(given) {}
    ~ScriptImages() {
        if (list.GetImageList(LVSIL_SMALL) == images) list.SetImageList(nullptr, LVSIL_SMALL);
    }
    ScriptImages(const ScriptImages&) = delete;
    ScriptImages& operator=(const ScriptImages&) = delete;

    // Goes at WM_DESTROY, before the list view destroys the image lists it holds.
    std::optional<LRESULT> OnMessage(HWND window, UINT message, WPARAM, LPARAM) {
        if (message == WM_DESTROY) WindowData<ScriptImages>::Drop(window);
        return std::nullopt;
    }

    ListView list;
    HIMAGELIST images;
};

// ---------------------------------------------------------------------------
// Column widths. lvInsertColumn gives each new column the width that shows
// its header, and lets the last column fill the room the list has left. That
// column gives the room back when a column is appended after it, unless its
// width was changed since (by lvSetColumnWidth, by the host, by a drag on the
// header). The list remembers the fill in two window properties, plain
// numbers the system drops with the window: no hook sits in the list's
// messages (under Wine a subclass costs a trip to the server for each one).

// The properties are named by atoms added once for the process, so that no
// call adds a name per window.
LPCSTR FilledColumnsName() {
    static const ATOM atom = GlobalAddAtomA("VantorFilledColumns");
    return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(atom));  // MAKEINTATOM
}
LPCSTR FilledWidthName() {
    static const ATOM atom = GlobalAddAtomA("VantorFilledWidth");
    return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(atom));  // MAKEINTATOM
}

struct FilledColumn {
    int columns = 0;  // the list's column count after the fill; 0: nothing remembered
    int width = 0;    // the width the last column got

    static FilledColumn Of(HWND list) {
        return {static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(list, FilledColumnsName()))),
                static_cast<int>(reinterpret_cast<INT_PTR>(GetPropA(list, FilledWidthName())))};
    }
    void KeepWith(HWND list) const {
        SetPropA(list, FilledColumnsName(), reinterpret_cast<HANDLE>(static_cast<INT_PTR>(columns)));
        SetPropA(list, FilledWidthName(), reinterpret_cast<HANDLE>(static_cast<INT_PTR>(width)));
    }
    bool Filled(int column) const { return columns > 0 && column == columns - 1; }
    // Whether the list's last column is still the one filled, as wide as it was left.
    bool Holds(const ListView& list) const {
        const int count = ColumnCount(list);
        return columns > 0 && count == columns && list.GetColumnWidth(count - 1) == width;
    }
};

// Widens the last column to the room the others leave (never below its
// header's width) and gives the width it has then.
int FillLastColumn(const ListView& list) {
    const int last = ColumnCount(list) - 1;
    const int room = static_cast<int>(list.ClientRect().right) - WidthBefore(list, last);
    list.SetColumnWidth(last, std::max(HeaderFitWidth(list, last), room));
    return list.GetColumnWidth(last);
}

// Inserts a column at index column and sizes it, and the columns around it,
// as the section's comment says. Gives the index of the new column, or -1.
int InsertSizedColumn(const ListView& list, int column, const char* header) {
    const bool stretched = FilledColumn::Of(list).Holds(list);
    const int inserted = list.InsertColumn(column, header);
    if (inserted < 0) return inserted;
    list.SetColumnWidth(inserted, HeaderFitWidth(list, inserted));
    const int last = ColumnCount(list) - 1;
    if (stretched && inserted == last) list.SetColumnWidth(last - 1, HeaderFitWidth(list, last - 1));
    if (inserted == last || stretched) FilledColumn{last + 1, FillLastColumn(list)}.KeepWith(list);
    else FilledColumn{}.KeepWith(list);
    return inserted;
}

// The texts of all the item's columns, each followed by a tab, trimmed at both ends.
std::string AllColumnTexts(const ListView& list, int item) {
    TabJoin joined;
    const int columns = ColumnCount(list);
    for (int c = 0; c < columns; ++c) {
        AppendItemText(list, item, c, joined.out());
        joined.EndPiece();
    }
    return joined.Trimmed();
}

// Deletes the items plan names (none when it was refused).
void DeleteAsPlanned(const ListView& list, const DeletePlan& plan) {
    switch (plan.what) {
        case DeleteWhat::Refused: break;
        case DeleteWhat::All: list.DeleteAllItems(); break;
        case DeleteWhat::Selected: DeleteItemsWhere(list, [&](int item) { return list.IsSelected(item); }); break;
        case DeleteWhat::Unselected: DeleteItemsWhere(list, [&](int item) { return !list.IsSelected(item); }); break;
        case DeleteWhat::One: list.DeleteItem(plan.index); break;
    }
}

}  // namespace

std::int32_t CVantor::lvGetItemCount(const Call& call) {
    return call.ReturnInteger(ListView(call.window(1)).GetItemCount());
}

std::int32_t CVantor::lvGetItemCountSel(const Call& call) {
    return call.ReturnInteger(ListView(call.window(1)).GetSelectedCount());
}

// Inserts an item at a 1-based position (past the end appends); gives the
// 0-based index of the new item, or -1. A new item shows no image until
// lvSetItemImage gives it one.
std::int32_t CVantor::lvInsertItem(const Call& call) {
    return call.ReturnInteger(ListView(call.window(1)).InsertItem(ZeroBased(call.integer(2)), call.text(3), kNoImage));
}

// Inserts a column at a 1-based position (past the end appends), as wide as
// its header text needs; the last column fills the room the list has left
// and gives it back to a column appended after it (see InsertSizedColumn).
std::int32_t CVantor::lvInsertColumn(const Call& call) {
    return call.ReturnInteger(InsertSizedColumn(ListView(call.window(1)), ZeroBased(call.integer(2)), call.text(3)));
}

// Ends without a result: the host gets 0 and the result cell stays as it was.
std::int32_t CVantor::lvSetItemText(const Call& call) {
    ListView(call.window(1)).SetItemText(ZeroBased(call.integer(2)), ZeroBased(call.integer(3)), call.text(4));
    return call.NoResult(0);
}

// The item's text in a 1-based column, untrimmed; column 0 gives the texts of
// all columns, each followed by a tab, trimmed at both ends.
std::int32_t CVantor::lvGetItemText(const Call& call) {
    const ListView list(call.window(1));
    const int item = ZeroBased(call.integer(2));
    const std::int32_t column = call.integer(3);
    if (column == 0) return call.ReturnString(AllColumnTexts(list, item));
    std::string text;
    AppendItemText(list, item, ZeroBased(column), text);
    return call.ReturnString(text);
}

std::int32_t CVantor::lvSetColumnFill(const Call& call) {
    const ListView list(call.window(1));
    const int column = ZeroBased(call.integer(2));
    const char* text = call.text(3);
    ChangeEachItem(list, [&](int item) { list.SetItemText(item, column, text); });
    return call.ReturnInteger(1);
}

// Writes start + i * step into the column of item i (counted from 0).
std::int32_t CVantor::lvSetColumnFillSeq(const Call& call) {
    const ListView list(call.window(1));
    const int column = ZeroBased(call.integer(2));
    const auto start = static_cast<std::uint32_t>(call.integer(3));
    const auto step = static_cast<std::uint32_t>(call.integer(4));
    std::string number;
    ChangeEachItem(list, [&](int item) {
        number.clear();
        FormatInteger(static_cast<std::int32_t>(start + static_cast<std::uint32_t>(item) * step), number);
        list.SetItemText(item, column, number.c_str());
    });
    return call.ReturnInteger(1);
}

// A width the script sets is the script's: a column lvInsertColumn let fill
// the list keeps it when another column is appended.
std::int32_t CVantor::lvSetColumnWidth(const Call& call) {
    const int column = ZeroBased(call.integer(2));
    if (FilledColumn::Of(call.window(1)).Filled(column)) FilledColumn{}.KeepWith(call.window(1));
    return call.ReturnInteger(ListView(call.window(1)).SetColumnWidth(column, call.integer(3)));
}

std::int32_t CVantor::lvSetColumnImage(const Call& call) {
    return call.ReturnInteger(
        ListView(call.window(1)).SetColumnImage(ZeroBased(call.integer(2)), ZeroBased(call.integer(3))));
}

// Shows the image list's images in every column. The image list stays the
// script's: the list view lets go of it when it is destroyed.
std::int32_t CVantor::lvSetImageList(const Call& call) {
    const ListView list(call.window(1));
    const auto images = call.objectHandle<HIMAGELIST>(2);
    // Kept before the list gets them: kept data that cannot stay with the
    // list goes at once and finds nothing to let go of.
    if (ScriptImages* kept = WindowData<ScriptImages>::For(list, list, images)) kept->images = images;
    list.SetExtendedStyle(LVS_EX_SUBITEMIMAGES, LVS_EX_SUBITEMIMAGES);
    list.SetImageList(images, LVSIL_SMALL);
    return call.ReturnInteger(ImageList(images).GetImageCount());
}

std::int32_t CVantor::lvSetItemImage(const Call& call) {
    const ListView list(call.window(1));
    list.SetExtendedStyle(LVS_EX_SUBITEMIMAGES, LVS_EX_SUBITEMIMAGES);
    return call.ReturnInteger(
        list.SetItemImage(ZeroBased(call.integer(2)), ZeroBased(call.integer(3)), ZeroBased(call.integer(4))));
}

// Gives every item an image index no image list holds (column 1 only).
std::int32_t CVantor::lvClearImages(const Call& call) {
    const ListView list(call.window(1));
    ChangeEachItem(list, [&](int item) { list.SetItemImage(item, 0, kNoImage); });
    return call.ReturnInteger(1);
}

std::int32_t CVantor::lvGetItemState(const Call& call) {
    return call.ReturnInteger(static_cast<std::int32_t>(
        ListView(call.window(1)).GetItemState(ZeroBased(call.integer(2)), static_cast<UINT>(call.integer(3)))));
}

std::int32_t CVantor::lvSetItemState(const Call& call) {
    return call.ReturnInteger(ListView(call.window(1))
                                  .SetItemState(ZeroBased(call.integer(2)), static_cast<UINT>(call.integer(3)),
                                                static_cast<UINT>(call.integer(4))));
}

// 1 checked, 0 unchecked, -1 when the item has no check box.
std::int32_t CVantor::lvGetItemCheck(const Call& call) {
    const UINT state = ListView(call.window(1)).GetItemState(ZeroBased(call.integer(2)), LVIS_STATEIMAGEMASK);
    return call.ReturnInteger(static_cast<std::int32_t>(state >> 12) - 1);
}

std::int32_t CVantor::lvSetItemCheck(const Call& call) {
    return call.ReturnInteger(ListView(call.window(1)).SetCheckState(ZeroBased(call.integer(2)), call.integer(3) != 0));
}

// The column-1 texts of the checked items, each followed by a tab, trimmed.
std::int32_t CVantor::lvGetItemsChecked(const Call& call) {
    const ListView list(call.window(1));
    TabJoin joined;
    ForEachItem(list, [&](int item) {
        if (!list.GetCheckState(item)) return;
        AppendItemText(list, item, 0, joined.out());
        joined.EndPiece();
    });
    return call.ReturnString(joined.Trimmed());
}

std::int32_t CVantor::lvSetItemsChecked(const Call& call) {
    const ListView list(call.window(1));
    const bool check = call.integer(2) != 0;
    ChangeEachItem(list, [&](int item) { list.SetCheckState(item, check); });
    return call.ReturnInteger(1);
}

// Deletes by scope: 0 or above the one item at index (0 is the first item; a
// negative index counts from the end), -1 all items, -2 the selected items,
// -3 all but the selected items. A refused call shows a "Note" and deletes
// nothing. Gives the number of items afterwards.
std::int32_t CVantor::lvDeleteItem(const Call& call) {
    const ListView list(call.window(1));
    const int selected = list.GetSelectedCount();
    const int count = list.GetItemCount();
    const DeletePlan plan = PlanDeletion(call.integer(2), call.integer(3), count, selected);
    if (plan.what == DeleteWhat::Refused) {
        call.ShowNote("Note", plan.note);
        return call.ReturnInteger(count);
    }
    DeleteAsPlanned(list, plan);
    return call.ReturnInteger(list.GetItemCount());
}

// Scrolls so that the item stands `rows` lines below the top of the list, as
// far as the list can scroll.
std::int32_t CVantor::lvScrollTo(const Call& call) {
    const ListView list(call.window(1));
    const int target = static_cast<int>(static_cast<std::uint32_t>(call.integer(2)) -
                                        static_cast<std::uint32_t>(call.integer(3)) - 1u);
    list.EnsureVisible(target, false);
    const RECT top = list.GetItemRect(list.GetTopIndex(), LVIR_BOUNDS);
    const RECT wanted = list.GetItemRect(target, LVIR_BOUNDS);
    return call.ReturnInteger(list.Scroll(0, wanted.top - top.top));
}

// The background behind item texts.
std::int32_t CVantor::lvSetBkColor(const Call& call) {
    return call.ReturnInteger(ListView(call.window(1)).SetTextBkColor(ParseColor(call.text(2))));
}

// Shows the picture named by argument 4 (a file name or URL, which the
// control loads) behind the items, at the given offsets in percent; argument
// 5 adds further LVBKIF_ flags such as tiling. Item texts lose their own
// background. Always gives 0.
std::int32_t CVantor::lvSetBkImage(const Call& call) {
    const ListView list(call.window(1));
    const OleScope ole;
    list.SetTextBkColor(CLR_NONE);
    list.SetBkImage(static_cast<ULONG>(call.integer(5)) | LVBKIF_SOURCE_URL, call.text(4), call.integer(2),
                    call.integer(3));
    return call.ReturnInteger(0);
}

// Colours list-view cells: argument 2 is the item and argument 3 the column
// (both 1-based, 0 for every item or every column), argument 4 picks what the
// colour of argument 5 ("R|G|B") paints: 0 the text, 1 the background behind
// the text; any other value forgets both colours given for that item and
// column. A colour for one item and column wins over one for the whole row,
// which wins over one for the whole column, which wins over one for all
// cells. The colours stay with the list view (by item position) until it is
// destroyed and are applied whenever it draws. Ends without a result: the
// host gets 0 and the result cell stays as it was.
std::int32_t CVantor::lvSetItemTextColor(const Call& call) {
    const ListView list(call.window(1));
    ListColours* colours = ColoursFor(list);
    if (colours == nullptr) return call.NoResult(0);
    const auto key = [](std::int32_t number) { return number <= 0 ? ListColours::kAll : ZeroBased(number); };
    const std::pair cell{key(call.integer(2)), key(call.integer(3))};
    const COLORREF colour = ParseColor(call.text(5));
    colours->Set(cell, call.integer(4), colour);
    list.Invalidate();
    return call.NoResult(0);
}

}  // namespace vantor
