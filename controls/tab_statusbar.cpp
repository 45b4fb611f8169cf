// Tab controls and status bars on a script's dialog. Scripts number tabs and
// status-bar parts from 1; the controls count from 0.
#include "controls/core/control_texts.h"
#include "controls/create_control.h"
#include "controls/window_data.h"
#include "wrappers/status_bar.h"
#include "wrappers/tab_control.h"
#include "host/arguments.h"
#include "host/core/value_helpers.h"
#include "host/owners.h"
#include "host/vantor.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantor {
namespace {

// --- Tab background ------------------------------------------------------
// taSetBkColor keeps the colour with the tab control (WindowData) and fills
// the page area with it after each paint of the control; the colour goes
// with the control.

void FillPage(const TabControl& tab, HDC dc, COLORREF colour) {
    RECT page = tab.ClientRect();
    tab.AdjustRect(false, page);
    const UniqueBrush brush(CreateSolidBrush(colour));
    FillRect(dc, &page, brush.get());
}

struct TabBackground {
    static constexpr UINT_PTR kSubclassId = SubclassId("VTCB");
    using Data = WindowData<TabBackground>;

    COLORREF colour;

    // The control paints first, then the page takes the colour.
    std::optional<LRESULT> OnMessage(HWND tab, UINT message, WPARAM wParam, LPARAM lParam) const {
        if (message == WM_PAINT && wParam == 0) {
            const PaintScope paint(tab);
            Data::Next(tab, WM_PAINT, reinterpret_cast<WPARAM>(paint.dc()), 0);
            FillPage(TabControl(tab), paint.dc(), colour);
            return 0;
        }
        if (message != WM_PAINT && message != WM_PRINTCLIENT) return std::nullopt;
        const LRESULT painted = Data::Next(tab, message, wParam, lParam);
        FillPage(TabControl(tab), reinterpret_cast<HDC>(wParam), colour);
        return painted;
    }
};

// --- Status-bar icons ----------------------------------------------------
// The status bar shows the icons it is given but never destroys them. The
// icons sbSetIcon loads are kept with the status bar (WindowData), one per
// part: a new icon in a part destroys the one set there before, and the
// status bar's destruction destroys the rest. Icons set by anyone else are
// left alone.

struct PartIcons {
    static constexpr UINT_PTR kSubclassId = SubclassId("VSBI");

    std::map<int, UniqueIcon> icons;
};

}  // namespace

// Inserts a tab without image at position (1-based; the control appends it
// when the position lies past the end). The result is position - 1.
std::int32_t CVantor::taAddTab(const Call& call) {
    const std::int32_t index = ZeroBased(call.integer(2));
    TabControl(call.window(1)).InsertItem(index, call.text(3), -1);
    return call.ReturnInteger(index);
}

// Argument 6 adds tab styles to child, visible and clipping siblings.
std::int32_t CVantor::taCreateTab(const Call& call) {
    const DWORD style = static_cast<DWORD>(call.integer(6)) | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    return call.ReturnInteger(HandleValue(CreateControl({WC_TABCONTROLA, "", style}, call)));
}

std::int32_t CVantor::taDeleteTab(const Call& call) {
    return call.ReturnInteger(TabControl(call.window(1)).DeleteItem(ZeroBased(call.integer(2))));
}

// 0 when no tab is selected.
std::int32_t CVantor::taGetTabSel(const Call& call) {
    return call.ReturnInteger(OneBased(TabControl(call.window(1)).GetCurSel()));
}

// The page area of the tab control (inside its border, below the tabs)
// takes the colour red, green, blue (the low byte of each) and keeps it on
// every later repaint until the next call or the control's end. The result
// is the colour value 0x00BBGGRR.
std::int32_t CVantor::taSetBkColor(const Call& call) {
    const TabControl tab(call.window(1));
    const COLORREF colour = RGB(call.integer(2) & 0xFF, call.integer(3) & 0xFF, call.integer(4) & 0xFF);
    if (TabBackground* background = WindowData<TabBackground>::For(tab, TabBackground{colour})) {
        background->colour = colour;
        tab.Invalidate();
    }
    return call.ReturnInteger(static_cast<std::int32_t>(colour));
}

// The 0-based index of the tab selected before, or -1.
std::int32_t CVantor::taSetTabSel(const Call& call) {
    return call.ReturnInteger(TabControl(call.window(1)).SetCurSel(ZeroBased(call.integer(2))));
}

// Replaces the tab control's own style bits (the low word: TCS_BUTTONS,
// TCS_MULTILINE, TCS_BOTTOM, ...) with style; the window's bits (visible,
// child, ...) stay. The control lays itself out and repaints. The result is
// the tab style bits it had before.
std::int32_t CVantor::taSetTabStyle(const Call& call) {
    const TabControl tab(call.window(1));
    const DWORD before = tab.Style();
    const DWORD tabBits = static_cast<DWORD>(call.integer(2)) & 0xFFFF;
    tab.SetStyle((before & 0xFFFF0000) | tabBits);
    tab.FrameChanged();
    tab.Invalidate();
    return call.ReturnInteger(static_cast<std::int32_t>(before & 0xFFFF));
}

// Along the bottom of the parent (argument 1), with argument 2 in part 1.
std::int32_t CVantor::sbCreateStatusBar(const Call& call) {
    constexpr LONG kStyle = WS_CHILD | WS_VISIBLE | SBARS_TOOLTIPS | 0x200;
    constexpr UINT kId = 70;
    const StatusBar bar = StatusBar::Create(call.window(1), kStyle, kId);
    bar.SetText(0, call.text(2));
    return call.ReturnInteger(HandleValue(bar));
}

// The answer is the previous background colour (CLR_DEFAULT when none).
std::int32_t CVantor::sbSetBkColor(const Call& call) {
    const COLORREF before = StatusBar(call.window(1)).SetBkColor(ParseColor(call.text(2)));
    return call.ReturnInteger(static_cast<std::int32_t>(before));
}

// Shows the icon of the file (argument 3) in part (argument 2, 1-based), at
// the small-icon size. A file that cannot be read gets the "File Open
// Error" box and 0; a file that is no icon gets 0 alone. Otherwise the
// status bar's answer: non-zero when the part took the icon. The icon
// replaces, and destroys, the one this function set in that part before;
// the status bar's end destroys the last ones.
std::int32_t CVantor::sbSetIcon(const Call& call) {
    const StatusBar bar(call.window(1));
    const int part = ZeroBased(call.integer(2));
    if (!call.CheckFileReadable(call.text(3))) return call.ReturnInteger(0);
    PartIcons* icons = WindowData<PartIcons>::For(bar);
    if (icons == nullptr) return call.ReturnInteger(0);
    UniqueIcon icon(static_cast<HICON>(LoadImageA(nullptr, call.text(3), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                  GetSystemMetrics(SM_CYSMICON), LR_LOADFROMFILE)));
    if (!icon) return call.ReturnInteger(0);
    const std::int32_t answer = bar.SetIcon(part, icon.get());
    if (answer != 0) icons->icons[part] = std::move(icon);
    return call.ReturnInteger(answer);
}

// Right edges in client pixels, separated by blanks (-1 reaches the right
// border); the result is their number. A piece that is not a number, one
// beyond 32 bits, or more than 256 edges (the status bar's own limit) is an
// error: the host shows what is wrong, the call delivers error 201001 with
// status -1, and the status bar keeps its parts. An empty list sends
// nothing and gives 0.
std::int32_t CVantor::sbSetParts(const Call& call) {
    const PartEdges parts = ParsePartEdges(call.text(2));
    if (!parts.error.empty()) return call.ReturnError(kSystemError, parts.error.c_str());
    const std::vector<std::int32_t>& edges = parts.edges;
    if (!edges.empty()) StatusBar(call.window(1)).SetParts(edges);
    return call.ReturnInteger(static_cast<std::int32_t>(edges.size()));
}

// Part 1 is the leftmost; the text gets the default sunken border.
std::int32_t CVantor::sbSetText(const Call& call) {
    StatusBar(call.window(1)).SetText(ZeroBased(call.integer(2)), call.text(3));
    return call.ReturnInteger(1);
}

}  // namespace vantor
