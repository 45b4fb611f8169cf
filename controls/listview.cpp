// List-view functions. The script numbers items, columns and images from 1;
// each handler subtracts 1 before it talks to the control. The list view is
// the host dialog's own control: the library never creates one.
#include "host/vantor.h"

#include "controls/subclass.h"
#include "host/arguments.h"
#include "host/callback_guard.h"
#include "host/core/delete_scope.h"
#include "host/core/value_helpers.h"
#include "host/owners.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace vantor {
namespace {

constexpr UINT kChecked = INDEXTOSTATEIMAGEMASK(2);
constexpr UINT kUnchecked = INDEXTOSTATEIMAGEMASK(1);
// An image index no image list holds: the item shows no image.
constexpr int kNoImage = -99;
constexpr int kReadBuffer = 1024;   // every item text is read through this many bytes
constexpr int kGivenTextMax = 256;  // ignored by the control when it stores a text

// The list-view control, one thin member per message.
class ListView : public Window {
public:
    using Window::Window;

    int ItemCount() const { return static_cast<int>(Send(LVM_GETITEMCOUNT)); }
    int SelectedCount() const { return static_cast<int>(Send(LVM_GETSELECTEDCOUNT)); }
    int ColumnCount() const {
        const Window header(reinterpret_cast<HWND>(Send(LVM_GETHEADER)));
        return static_cast<int>(header.Send(HDM_GETITEMCOUNT));
    }

    int InsertItem(int item, const char* text) const {
        LVITEMA record{};
        record.mask = LVIF_TEXT | LVIF_IMAGE;
        record.iItem = item;
        record.pszText = const_cast<char*>(text);
        record.cchTextMax = kGivenTextMax;
        record.iImage = kNoImage;
        return static_cast<int>(Send(LVM_INSERTITEMA, 0, &record));
    }

    int InsertColumn(int column, const char* header) const {
        LVCOLUMNA record{};
        record.mask = LVCF_TEXT;
        record.pszText = const_cast<char*>(header);
        record.cchTextMax = kGivenTextMax;
        return static_cast<int>(Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), &record));
    }

    LRESULT SetColumnWidth(int column, int width) const {
        return Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
    }
    int ColumnWidth(int column) const {
        return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
    }
    // The widths of the columns in front of column, added up.
    int WidthBefore(int column) const {
        int width = 0;
        for (int c = 0; c < column; ++c) width += ColumnWidth(c);
        return width;
    }
    int ClientWidth() const {
        RECT client{};
        GetClientRect(*this, &client);
        return client.right;
    }

    // The width that shows the column's header text whole: the text (up to
    // 1,023 characters) in the header's font, with the header's margin on
    // either side.
    int HeaderFitWidth(int column) const {
        const Window header(reinterpret_cast<HWND>(Send(LVM_GETHEADER)));
        char text[kReadBuffer] = {};
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = kReadBuffer;
        header.Send(HDM_GETITEMA, static_cast<WPARAM>(column), &item);
        const WindowDC dc(header);
        const HGDIOBJ old = SelectObject(dc.dc(), reinterpret_cast<HFONT>(header.Send(WM_GETFONT)));
        SIZE size{};
        GetTextExtentPoint32A(dc.dc(), text, static_cast<int>(strnlen(text, kReadBuffer - 1)), &size);
        SelectObject(dc.dc(), old);
        const int margin = static_cast<int>(header.Send(HDM_GETBITMAPMARGIN));
        return std::min<int>(size.cx + 2 * margin, SHRT_MAX);
    }

    LRESULT SetColumnImage(int column, int image) const {
        LVCOLUMNA record{};
        record.mask = LVCF_FMT | LVCF_IMAGE;
        record.fmt = LVCFMT_COL_HAS_IMAGES | LVCFMT_IMAGE;
        record.iImage = image;
        return Send(LVM_SETCOLUMNA, static_cast<WPARAM>(column), &record);
    }

    void SetItemText(int item, int column, const char* text) const {
        LVITEMA record{};
        record.iSubItem = column;
        record.pszText = const_cast<char*>(text);
        Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), &record);
    }

    // Appends the item's text in column to out. The text is read through a
    // 1024-byte buffer and taken from pszText after the message: the control
    // may point it at its own copy instead of filling the buffer. A longer
    // text comes back cut to the 1023 characters the buffer holds with its
    // end, also from a control that fills the buffer without ending it.
    void AppendItemText(int item, int column, std::string& out) const {
        char buffer[kReadBuffer];
        buffer[0] = '\0';
        LVITEMA record{};
        record.mask = LVIF_TEXT;
        record.iItem = item;
        record.iSubItem = column;
        record.pszText = buffer;
        record.cchTextMax = kReadBuffer;
        if (Send(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), &record) == 0) return;
        if (record.pszText == buffer)
            out.append(buffer, strnlen(buffer, kReadBuffer - 1));
        else if (record.pszText != nullptr && record.pszText != LPSTR_TEXTCALLBACKA)
            out += record.pszText;
    }

    UINT ItemState(int item, UINT mask) const {
        return static_cast<UINT>(Send(LVM_GETITEMSTATE, static_cast<WPARAM>(item), mask));
    }
    LRESULT SetItemState(int item, UINT mask, UINT state) const {
        LVITEMA record{};
        record.stateMask = mask;
        record.state = state;
        return Send(LVM_SETITEMSTATE, static_cast<WPARAM>(item), &record);
    }
    bool IsChecked(int item) const { return ItemState(item, LVIS_STATEIMAGEMASK) == kChecked; }
    LRESULT SetCheck(int item, bool check) const {
        return SetItemState(item, LVIS_STATEIMAGEMASK, check ? kChecked : kUnchecked);
    }
    bool IsSelected(int item) const { return ItemState(item, LVIS_SELECTED) == LVIS_SELECTED; }

    LRESULT SetItemImage(int item, int column, int image) const {
        LVITEMA record{};
        record.mask = LVIF_IMAGE;
        record.iItem = item;
        record.iSubItem = column;
        record.iImage = image;
        return Send(LVM_SETITEMA, 0, &record);
    }

    void SetExtendedStyle(DWORD mask, DWORD style) const {
        Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, static_cast<LPARAM>(style));
    }
    void SetImageList(HIMAGELIST list, int which) const {
        Send(LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(list));
    }
    HIMAGELIST ImageList(int which) const {
        return reinterpret_cast<HIMAGELIST>(Send(LVM_GETIMAGELIST, static_cast<WPARAM>(which)));
    }

    void DeleteItem(int item) const { Send(LVM_DELETEITEM, static_cast<WPARAM>(item)); }
    void DeleteAllItems() const { Send(LVM_DELETEALLITEMS); }
    // Deletes, from the last item to the first, every item that doomed picks.
    template <class Predicate>
    void DeleteItemsWhere(Predicate doomed) const {
        const int count = ItemCount();
        const PausedRedraw paused(*this, count);
        for (int item = count - 1; item >= 0; --item)
            if (doomed(item)) DeleteItem(item);
    }

    // Calls visit with every item index, from the first.
    template <class Visit>
    void ForEachItem(Visit visit) const {
        const int count = ItemCount();
        for (int item = 0; item < count; ++item) visit(item);
    }
    // The same for a visit that changes the items: a long list repaints once, at the end.
    template <class Change>
    void ChangeEachItem(Change change) const {
        const PausedRedraw paused(*this, ItemCount());
        ForEachItem(change);
    }

    void EnsureVisible(int item) const { Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE); }
    int TopIndex() const { return static_cast<int>(Send(LVM_GETTOPINDEX)); }
    RECT ItemBounds(int item) const {
        RECT bounds{};
        bounds.left = LVIR_BOUNDS;
        Send(LVM_GETITEMRECT, static_cast<WPARAM>(item), &bounds);
        return bounds;
    }
    LRESULT Scroll(int dx, int dy) const { return Send(LVM_SCROLL, static_cast<WPARAM>(dx), dy); }

    LRESULT SetTextBkColor(COLORREF colour) const { return Send(LVM_SETTEXTBKCOLOR, 0, colour); }
    LRESULT SetBkImage(LVBKIMAGEA& image) const { return Send(LVM_SETBKIMAGEA, 0, &image); }
};

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
// subclasses both: the list view carries its colour record as the reference
// data of its subclass and frees it on WM_NCDESTROY; the parent's subclass
// counts the coloured list views below it and goes with the last of them (or
// with the parent itself).

constexpr UINT_PTR kColourSubclass = SubclassId("VLVC");

struct CellColours {
    std::optional<COLORREF> text, back;
};

struct ListColours {
    static constexpr int kAll = -1;

    HWND parent = nullptr;
    std::map<std::pair<int, int>, CellColours> cells;  // (item, column), kAll for every one
    COLORREF itemText = CLR_DEFAULT, itemBack = CLR_DEFAULT;

    // The colours of one cell: the most specific record wins, per colour.
    void Apply(int item, int column, NMLVCUSTOMDRAW& draw) const {
        std::optional<COLORREF> text, back;
        for (const auto& key : {std::pair{item, column}, std::pair{item, kAll},
                                std::pair{kAll, column}, std::pair{kAll, kAll}}) {
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
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
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
        default:
            return CDRF_DODEFAULT;
        }
    }
};

LRESULT ColouredList(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
constexpr auto& ColouredListProc = GuardedSubclassProc<ColouredList>;

ListColours* ColoursOf(HWND list) {
    DWORD_PTR record = 0;
    if (!GetWindowSubclass(list, &ColouredListProc, kColourSubclass, &record)) return nullptr;
    return reinterpret_cast<ListColours*>(record);
}

LRESULT ColourParent(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR);
constexpr auto& ColourParentProc = GuardedSubclassProc<ColourParent>;

LRESULT ColourParent(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR) {
    if (message == WM_NOTIFY) {
        auto& header = *reinterpret_cast<NMHDR*>(l);
        if (header.code == NM_CUSTOMDRAW)
            if (ListColours* colours = ColoursOf(header.hwndFrom))
                return colours->CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(l));
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &ColourParentProc, id);
    }
    return DefSubclassProc(window, message, w, l);
}

// The parent's subclass reference data counts its coloured list views.
void CountColouredList(HWND parent, int change) {
    DWORD_PTR count = 0;
    const bool present = GetWindowSubclass(parent, &ColourParentProc, kColourSubclass, &count);
    const DWORD_PTR now = (present ? count : 0) + static_cast<DWORD_PTR>(change);
    if (change < 0 && (!present || count <= 1))
        RemoveWindowSubclass(parent, &ColourParentProc, kColourSubclass);
    else
        Subclass(parent, &ColourParentProc, kColourSubclass, now);
}

LRESULT ColouredList(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR record) {
    if (message == WM_NCDESTROY) {
        const std::unique_ptr<ListColours> colours(reinterpret_cast<ListColours*>(record));
        RemoveWindowSubclass(window, &ColouredListProc, id);
        CountColouredList(colours->parent, -1);
    }
    return DefSubclassProc(window, message, w, l);
}

// The colour record of list, made and hooked up on first use; null when
// list is no window or has no parent to receive its drawing notices.
ListColours* ColoursFor(HWND list) {
    if (ListColours* colours = ColoursOf(list)) return colours;
    const HWND parent = GetParent(list);
    if (!IsWindow(list) || parent == nullptr) return nullptr;
    auto colours = std::make_unique<ListColours>();
    colours->parent = parent;
    if (!Subclass(list, &ColouredListProc, kColourSubclass,
                           reinterpret_cast<DWORD_PTR>(colours.get())))
        return nullptr;
    CountColouredList(parent, +1);
    return colours.release();
}

// ---------------------------------------------------------------------------
// The script's image list stays the script's: a list view given one lets go
// of it as it is destroyed, so ilDeleteImgList remains the one place that
// destroys it. (Its other image lists, such as the check boxes', go with it
// as usual.)

constexpr UINT_PTR kScriptImagesSubclass = SubclassId("VLVI");

LRESULT ScriptImages(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR images);
constexpr auto& ScriptImagesProc = GuardedSubclassProc<ScriptImages>;

LRESULT ScriptImages(HWND window, UINT message, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR images) {
    if (message == WM_DESTROY) {
        const ListView list(window);
        if (list.ImageList(LVSIL_SMALL) == reinterpret_cast<HIMAGELIST>(images))
            list.SetImageList(nullptr, LVSIL_SMALL);
        RemoveWindowSubclass(window, &ScriptImagesProc, id);
    }
    return DefSubclassProc(window, message, w, l);
}

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
        const int count = list.ColumnCount();
        return columns > 0 && count == columns && list.ColumnWidth(count - 1) == width;
    }
};

// Widens the last column to the room the others leave (never below its
// header's width) and gives the width it has then.
int FillLastColumn(const ListView& list) {
    const int last = list.ColumnCount() - 1;
    list.SetColumnWidth(last, std::max(list.HeaderFitWidth(last), list.ClientWidth() - list.WidthBefore(last)));
    return list.ColumnWidth(last);
}

// Inserts a column at index column and sizes it, and the columns around it,
// as the section's comment says. Gives the index of the new column, or -1.
int InsertSizedColumn(const ListView& list, int column, const char* header) {
    const bool stretched = FilledColumn::Of(list).Holds(list);
    const int inserted = list.InsertColumn(column, header);
    if (inserted < 0) return inserted;
    list.SetColumnWidth(inserted, list.HeaderFitWidth(inserted));
    const int last = list.ColumnCount() - 1;
    if (stretched && inserted == last) list.SetColumnWidth(last - 1, list.HeaderFitWidth(last - 1));
    if (inserted == last || stretched)
        FilledColumn{last + 1, FillLastColumn(list)}.KeepWith(list);
    else
        FilledColumn{}.KeepWith(list);
    return inserted;
}

}  // namespace

std::int32_t CVantor::lvGetItemCount(const Call& call) {
    return call.ReturnInteger(ListView(call.window(1)).ItemCount());
}

std::int32_t CVantor::lvGetItemCountSel(const Call& call) {
    return call.ReturnInteger(ListView(call.window(1)).SelectedCount());
}

// Inserts an item at a 1-based position (past the end appends); gives the
// 0-based index of the new item, or -1. A new item shows no image until
// lvSetItemImage gives it one.
std::int32_t CVantor::lvInsertItem(const Call& call) {
    return call.ReturnInteger(ListView(call.window(1)).InsertItem(ZeroBased(call.integer(2)), call.text(3)));
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
    if (column != 0) {
        std::string text;
        list.AppendItemText(item, ZeroBased(column), text);
        return call.ReturnString(text);
    }
    TabJoin joined;
    const int columns = list.ColumnCount();
    for (int c = 0; c < columns; ++c) {
        list.AppendItemText(item, c, joined.out());
        joined.EndPiece();
    }
    return call.ReturnString(joined.Trimmed());
}

std::int32_t CVantor::lvSetColumnFill(const Call& call) {
    const ListView list(call.window(1));
    const int column = ZeroBased(call.integer(2));
    const char* text = call.text(3);
    list.ChangeEachItem([&](int item) { list.SetItemText(item, column, text); });
    return call.ReturnInteger(1);
}

// Writes start + i * step into the column of item i (counted from 0).
std::int32_t CVantor::lvSetColumnFillSeq(const Call& call) {
    const ListView list(call.window(1));
    const int column = ZeroBased(call.integer(2));
    const auto start = static_cast<std::uint32_t>(call.integer(3));
    const auto step = static_cast<std::uint32_t>(call.integer(4));
    std::string number;
    list.ChangeEachItem([&](int item) {
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
    return call.ReturnInteger(static_cast<std::int32_t>(ListView(call.window(1)).SetColumnWidth(column, call.integer(3))));
}

std::int32_t CVantor::lvSetColumnImage(const Call& call) {
    return call.ReturnInteger(static_cast<std::int32_t>(
        ListView(call.window(1)).SetColumnImage(ZeroBased(call.integer(2)), ZeroBased(call.integer(3)))));
}

// Shows the image list's images in every column. The image list stays the
// script's: the list view lets go of it when it is destroyed.
std::int32_t CVantor::lvSetImageList(const Call& call) {
    const ListView list(call.window(1));
    const auto images = call.objectHandle<HIMAGELIST>(2);
    list.SetExtendedStyle(LVS_EX_SUBITEMIMAGES, LVS_EX_SUBITEMIMAGES);
    list.SetImageList(images, LVSIL_SMALL);
    if (IsWindow(call.window(1)))
        Subclass(call.window(1), &ScriptImagesProc, kScriptImagesSubclass,
                          reinterpret_cast<DWORD_PTR>(images));
    return call.ReturnInteger(ImageList_GetImageCount(images));
}

std::int32_t CVantor::lvSetItemImage(const Call& call) {
    const ListView list(call.window(1));
    list.SetExtendedStyle(LVS_EX_SUBITEMIMAGES, LVS_EX_SUBITEMIMAGES);
    return call.ReturnInteger(static_cast<std::int32_t>(list.SetItemImage(
        ZeroBased(call.integer(2)), ZeroBased(call.integer(3)), ZeroBased(call.integer(4)))));
}

// Gives every item an image index no image list holds (column 1 only).
std::int32_t CVantor::lvClearImages(const Call& call) {
    const ListView list(call.window(1));
    list.ChangeEachItem([&](int item) { list.SetItemImage(item, 0, kNoImage); });
    return call.ReturnInteger(1);
}

std::int32_t CVantor::lvGetItemState(const Call& call) {
    return call.ReturnInteger(static_cast<std::int32_t>(ListView(call.window(1)).ItemState(
        ZeroBased(call.integer(2)), static_cast<UINT>(call.integer(3)))));
}

std::int32_t CVantor::lvSetItemState(const Call& call) {
    return call.ReturnInteger(static_cast<std::int32_t>(ListView(call.window(1)).SetItemState(
        ZeroBased(call.integer(2)), static_cast<UINT>(call.integer(3)), static_cast<UINT>(call.integer(4)))));
}

// 1 checked, 0 unchecked, -1 when the item has no check box.
std::int32_t CVantor::lvGetItemCheck(const Call& call) {
    const UINT state = ListView(call.window(1)).ItemState(ZeroBased(call.integer(2)), LVIS_STATEIMAGEMASK);
    return call.ReturnInteger(static_cast<std::int32_t>(state >> 12) - 1);
}

std::int32_t CVantor::lvSetItemCheck(const Call& call) {
    return call.ReturnInteger(static_cast<std::int32_t>(
        ListView(call.window(1)).SetCheck(ZeroBased(call.integer(2)), call.integer(3) != 0)));
}

// The column-1 texts of the checked items, each followed by a tab, trimmed.
std::int32_t CVantor::lvGetItemsChecked(const Call& call) {
    const ListView list(call.window(1));
    TabJoin joined;
    list.ForEachItem([&](int item) {
        if (!list.IsChecked(item)) return;
        list.AppendItemText(item, 0, joined.out());
        joined.EndPiece();
    });
    return call.ReturnString(joined.Trimmed());
}

std::int32_t CVantor::lvSetItemsChecked(const Call& call) {
    const ListView list(call.window(1));
    const bool check = call.integer(2) != 0;
    list.ChangeEachItem([&](int item) { list.SetCheck(item, check); });
    return call.ReturnInteger(1);
}

// Deletes by scope: 0 or above the one item at index (0 is the first item; a
// negative index counts from the end), -1 all items, -2 the selected items,
// -3 all but the selected items. A refused call shows a "Note" and deletes
// nothing. Gives the number of items afterwards.
std::int32_t CVantor::lvDeleteItem(const Call& call) {
    const ListView list(call.window(1));
    const int selected = list.SelectedCount();
    const int count = list.ItemCount();
    const DeletePlan plan = PlanDeletion(call.integer(2), call.integer(3), count, selected);
    switch (plan.what) {
    case DeleteWhat::Refused:
        call.ShowNote("Note", plan.note);
        return call.ReturnInteger(count);
    case DeleteWhat::All:
        list.DeleteAllItems();
        break;
    case DeleteWhat::Selected:
        list.DeleteItemsWhere([&](int item) { return list.IsSelected(item); });
        break;
    case DeleteWhat::Unselected:
        list.DeleteItemsWhere([&](int item) { return !list.IsSelected(item); });
        break;
    case DeleteWhat::One:
        list.DeleteItem(plan.index);
        break;
    }
    return call.ReturnInteger(list.ItemCount());
}

// Scrolls so that the item stands `rows` lines below the top of the list, as
// far as the list can scroll.
std::int32_t CVantor::lvScrollTo(const Call& call) {
    const ListView list(call.window(1));
    const int target = static_cast<int>(static_cast<std::uint32_t>(call.integer(2)) -
                                        static_cast<std::uint32_t>(call.integer(3)) - 1u);
    list.EnsureVisible(target);
    const RECT top = list.ItemBounds(list.TopIndex());
    const RECT wanted = list.ItemBounds(target);
    return call.ReturnInteger(static_cast<std::int32_t>(list.Scroll(0, wanted.top - top.top)));
}

// The background behind item texts.
std::int32_t CVantor::lvSetBkColor(const Call& call) {
    return call.ReturnInteger(static_cast<std::int32_t>(
        ListView(call.window(1)).SetTextBkColor(ParseColor(call.text(2)))));
}

// Shows the picture named by argument 4 (a file name or URL, which the
// control loads) behind the items, at the given offsets in percent; argument
// 5 adds further LVBKIF_ flags such as tiling. Item texts lose their own
// background. Always gives 0.
std::int32_t CVantor::lvSetBkImage(const Call& call) {
    const ListView list(call.window(1));
    const OleScope ole;
    list.SetTextBkColor(CLR_NONE);
    LVBKIMAGEA image{};
    image.ulFlags = static_cast<ULONG>(call.integer(5)) | LVBKIF_SOURCE_URL;
    image.pszImage = const_cast<char*>(call.text(4));
    image.xOffsetPercent = call.integer(2);
    image.yOffsetPercent = call.integer(3);
    list.SetBkImage(image);
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
    const HWND window = call.window(1);
    ListColours* colours = ColoursFor(window);
    if (colours == nullptr) return call.NoResult(0);
    const auto key = [](std::int32_t number) { return number <= 0 ? ListColours::kAll : ZeroBased(number); };
    const std::pair cell{key(call.integer(2)), key(call.integer(3))};
    const COLORREF colour = ParseColor(call.text(5));
    switch (call.integer(4)) {
    case 0:
        colours->cells[cell].text = colour;
        break;
    case 1:
        colours->cells[cell].back = colour;
        break;
    default:
        colours->cells.erase(cell);
        break;
    }
    InvalidateRect(window, nullptr, TRUE);
    return call.NoResult(0);
}

}  // namespace vantor
