// Tooltips (tt), IP-address boxes (ip), animation controls (an) and the
// single functions that work on any window or on the desktop.
#include "controls/create_control.h"
#include "host/arguments.h"
#include "host/core/value_helpers.h"
#include "host/vantor.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

namespace vantor {
namespace {

// The tool record with lParam and the reserved pointer.
static_assert(sizeof(TOOLINFOA) == 48);

// A thin wrapper of a tooltip window. A tool is always a control with id 0.
class ToolTip {
public:
    explicit ToolTip(HWND tip) : tip_(tip) {}

    LRESULT AddTool(HWND control, HINSTANCE instance, const char* text) const {
        TOOLINFOA tool = Tool(control);
        tool.uFlags = TTF_SUBCLASS;
        GetClientRect(control, &tool.rect);
        tool.hinst = instance;
        tool.lpszText = const_cast<char*>(text);  // the tooltip keeps a copy
        return SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    LRESULT DelTool(HWND control) const {
        TOOLINFOA tool = Tool(control);
        return SendMessageA(tip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    LRESULT UpdateTipText(HWND control, HINSTANCE instance, const char* text) const {
        TOOLINFOA tool = Tool(control);
        tool.hinst = instance;
        tool.lpszText = const_cast<char*>(text);
        return SendMessageA(tip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    LRESULT SetTitle(WPARAM icon, const char* title) const {
        return SendMessageA(tip_, TTM_SETTITLEA, icon, reinterpret_cast<LPARAM>(title));
    }
    void Activate(bool on) const { SendMessageA(tip_, TTM_ACTIVATE, on, 0); }
    LRESULT SetDelayTime(WPARAM which, LPARAM time) const {
        return SendMessageA(tip_, TTM_SETDELAYTIME, which, time);
    }
    LRESULT SetTipBkColor(COLORREF colour) const {
        return SendMessageA(tip_, TTM_SETTIPBKCOLOR, colour, 0);
    }
    LRESULT SetTipTextColor(COLORREF colour) const {
        return SendMessageA(tip_, TTM_SETTIPTEXTCOLOR, colour, 0);
    }

private:
    static TOOLINFOA Tool(HWND control) {
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = control;
        return tool;
    }

    HWND tip_;
};

// A thin wrapper of an IP-address box. Fields count from 0 here.
class IpAddressBox {
public:
    explicit IpAddressBox(HWND box) : box_(box) {}

    LRESULT ClearAddress() const { return SendMessageA(box_, IPM_CLEARADDRESS, 0, 0); }
    DWORD GetAddress() const {
        DWORD address = 0;
        SendMessageA(box_, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
        return address;
    }
    LRESULT SetAddress(DWORD address) const {
        return SendMessageA(box_, IPM_SETADDRESS, 0, static_cast<LPARAM>(address));
    }
    LRESULT IsBlank() const { return SendMessageA(box_, IPM_ISBLANK, 0, 0); }
    LRESULT SetFocusField(int field) const { return SendMessageA(box_, IPM_SETFOCUS, field, 0); }
    LRESULT SetRange(int field, LPARAM range) const {
        return SendMessageA(box_, IPM_SETRANGE, field, range);
    }

private:
    HWND box_;
};

// A thin wrapper of an animation control.
class Animation {
public:
    explicit Animation(HWND control) : control_(control) {}

    LRESULT Open(const char* file) const {
        return SendMessageA(control_, ACM_OPENA, 0, reinterpret_cast<LPARAM>(file));
    }
    void Close() const { Open(nullptr); }
    void Play(int first, int last, int repeat) const {
        const LPARAM frames = static_cast<LPARAM>(
            (static_cast<DWORD>(static_cast<WORD>(last)) << 16) | static_cast<WORD>(first));
        SendMessageA(control_, ACM_PLAY, static_cast<WPARAM>(repeat), frames);
    }
    void Stop() const { SendMessageA(control_, ACM_STOP, 0, 0); }

private:
    HWND control_;
};

// The address text of ipSetIP as one value, field 1 in the highest byte.
// At most the first fifteen characters are read. Each field is read from a
// buffer that keeps the first three characters since the last dot: further
// characters of an over-long field are dropped, so "1000.2.3.4" sets field 1
// to 100. The first, second and third dot close fields 1 to 3, later dots
// only empty the buffer, and what follows the last dot is field 4. Fields
// are added, not masked (a field above 255 carries into the one before),
// with 32-bit wrap-around.
DWORD ParseAddress(std::string_view text) {
    constexpr std::size_t kFieldRoom = 3, kLookedAt = 15;
    text = text.substr(0, kLookedAt);
    std::uint32_t fields[4] = {};
    std::string buffer;
    int dots = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i > 0 && c == '.') {
            if (dots < 3) fields[dots] = static_cast<std::uint32_t>(ParseInteger(buffer));
            ++dots;
            buffer.clear();
        } else if (buffer.size() < kFieldRoom) {
            buffer += c;
        }
    }
    fields[3] = static_cast<std::uint32_t>(ParseInteger(buffer));
    return ((fields[0] * 256 + fields[1]) * 256 + fields[2]) * 256 + fields[3];
}

}  // namespace

// ---- Tooltips. Argument 1 of all but ttCreateToolTip is the tooltip.

// A top-most balloon tooltip owned by argument 1.
std::int32_t CVantor::ttCreateToolTip(HWND, HINSTANCE hostInstance, std::int32_t, ValueCell* args,
                                      std::int32_t argCount) {
    const Arguments a(args, argCount);
    const HWND tip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr,
                                     WS_POPUP | TTS_BALLOON | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, a.window(1),
                                     nullptr, hostInstance, nullptr);
    if (tip != nullptr)
        SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return ReturnInteger(HandleValue(tip));
}

// The tip shows over the control's client rectangle as it is now.
std::int32_t CVantor::ttAddToolTip(HWND, HINSTANCE hostInstance, std::int32_t, ValueCell* args,
                                   std::int32_t argCount) {
    const Arguments a(args, argCount);
    const auto added = ToolTip(a.window(1)).AddTool(a.window(2), hostInstance, a.text(3));
    return ReturnInteger(static_cast<std::int32_t>(added));
}

std::int32_t CVantor::ttDeleteToolTip(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                      std::int32_t argCount) {
    const Arguments a(args, argCount);
    return ReturnInteger(static_cast<std::int32_t>(ToolTip(a.window(1)).DelTool(a.window(2))));
}

std::int32_t CVantor::ttSetText(HWND, HINSTANCE hostInstance, std::int32_t, ValueCell* args,
                                std::int32_t argCount) {
    const Arguments a(args, argCount);
    const auto answer = ToolTip(a.window(1)).UpdateTipText(a.window(2), hostInstance, a.text(3));
    return ReturnInteger(static_cast<std::int32_t>(answer));
}

// Argument 2 is the icon (TTI_NONE 0 to TTI_ERROR 3), argument 3 the title.
std::int32_t CVantor::ttSetTitle(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    const auto answer = ToolTip(a.window(1)).SetTitle(static_cast<WPARAM>(a.integer(2)), a.text(3));
    return ReturnInteger(static_cast<std::int32_t>(answer));
}

std::int32_t CVantor::ttActivate(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    ToolTip(a.window(1)).Activate(a.integer(2) != 0);
    return ReturnInteger(1);
}

// Argument 2 is a TTDT_ value, argument 3 the time in milliseconds.
std::int32_t CVantor::ttSetDelay(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    const auto answer = ToolTip(a.window(1)).SetDelayTime(static_cast<WPARAM>(a.integer(2)),
                                                          a.integer(3));
    return ReturnInteger(static_cast<std::int32_t>(answer));
}

// Argument 3 picks what argument 2 colours: 0 the background, 1 the text;
// any other target sends nothing and gives 0.
std::int32_t CVantor::ttSetColor(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    const ToolTip tip(a.window(1));
    const COLORREF colour = ParseColor(a.text(2));
    switch (a.integer(3)) {
    case 0:
        return ReturnInteger(static_cast<std::int32_t>(tip.SetTipBkColor(colour)));
    case 1:
        return ReturnInteger(static_cast<std::int32_t>(tip.SetTipTextColor(colour)));
    default:
        return ReturnInteger(0);
    }
}

// ---- IP-address boxes. Fields count from 1 in the script.

std::int32_t CVantor::ipCreateIP(HWND, HINSTANCE hostInstance, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    const HWND box = CreateControl({.className = WC_IPADDRESSA,
                                    .text = "IPAddress",
                                    .style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS},
                                   a, hostInstance);
    return ReturnInteger(HandleValue(box));
}

std::int32_t CVantor::ipClearIP(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                std::int32_t argCount) {
    const IpAddressBox box(Arguments(args, argCount).window(1));
    return ReturnInteger(static_cast<std::int32_t>(box.ClearAddress()));
}

// Blank fields read as 0; a box that is no window gives "0.0.0.0".
std::int32_t CVantor::ipGetIP(HWND, HINSTANCE, std::int32_t, ValueCell* args, std::int32_t argCount) {
    const DWORD address = IpAddressBox(Arguments(args, argCount).window(1)).GetAddress();
    char text[16];
    wsprintfA(text, "%d.%d.%d.%d", FIRST_IPADDRESS(address), SECOND_IPADDRESS(address),
              THIRD_IPADDRESS(address), FOURTH_IPADDRESS(address));
    return ReturnString(text);
}

std::int32_t CVantor::ipIsBlank(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                std::int32_t argCount) {
    const IpAddressBox box(Arguments(args, argCount).window(1));
    return ReturnInteger(static_cast<std::int32_t>(box.IsBlank()));
}

std::int32_t CVantor::ipSetFocus(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    const auto answer = IpAddressBox(a.window(1)).SetFocusField(a.integer(2) - 1);
    return ReturnInteger(static_cast<std::int32_t>(answer));
}

// See ParseAddress for how the text becomes the four fields.
std::int32_t CVantor::ipSetIP(HWND, HINSTANCE, std::int32_t, ValueCell* args, std::int32_t argCount) {
    const Arguments a(args, argCount);
    const auto answer = IpAddressBox(a.window(1)).SetAddress(ParseAddress(a.text(2)));
    return ReturnInteger(static_cast<std::int32_t>(answer));
}

// Arguments 2 to 4: field, low and high; the range is high * 256 + low.
std::int32_t CVantor::ipSetRange(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    const LPARAM range = static_cast<LPARAM>(static_cast<std::uint32_t>(a.integer(4)) * 256u +
                                             static_cast<std::uint32_t>(a.integer(3)));
    const auto answer = IpAddressBox(a.window(1)).SetRange(a.integer(2) - 1, range);
    return ReturnInteger(static_cast<std::int32_t>(answer));
}

// ---- Animation controls.

// Created hidden at 0, 0, 0, 0 and then placed; anOpenAVI shows it.
std::int32_t CVantor::anCreateAVI(HWND, HINSTANCE hostInstance, std::int32_t, ValueCell* args,
                                  std::int32_t argCount) {
    const Arguments a(args, argCount);
    const HWND control = CreateControl(
        {.className = ANIMATE_CLASSA, .text = nullptr, .style = WS_CHILD, .id = 2222,
         .createAtOrigin = true},
        a, hostInstance);
    return ReturnInteger(HandleValue(control));
}

// Opens the clip and shows the control, also when the clip did not open.
std::int32_t CVantor::anOpenAVI(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                std::int32_t argCount) {
    const Arguments a(args, argCount);
    Animation(a.window(1)).Open(a.text(2));
    ShowWindow(a.window(1), SW_SHOW);
    return ReturnInteger(0);
}

// Arguments 2 to 4: first frame, last frame (-1 the last) and repeat count
// (-1 for ever).
std::int32_t CVantor::anPlayAVI(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                std::int32_t argCount) {
    const Arguments a(args, argCount);
    Animation(a.window(1)).Play(a.integer(2), a.integer(3), a.integer(4));
    return ReturnInteger(1);
}

std::int32_t CVantor::anStopAVI(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                std::int32_t argCount) {
    Animation(Arguments(args, argCount).window(1)).Stop();
    return ReturnInteger(1);
}

std::int32_t CVantor::anCloseAVI(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    Animation(Arguments(args, argCount).window(1)).Close();
    return ReturnInteger(1);
}

// ---- Single functions.

// Mode 0 or 2 hides the window, 1 shows it, any other mode does nothing.
std::int32_t CVantor::ccShow(HWND, HINSTANCE, std::int32_t, ValueCell* args, std::int32_t argCount) {
    const Arguments a(args, argCount);
    switch (a.integer(2)) {
    case 0:
    case 2:
        ShowWindow(a.window(1), SW_HIDE);
        break;
    case 1:
        ShowWindow(a.window(1), SW_SHOW);
        break;
    default:
        break;
    }
    return ReturnInteger(0);
}

// The window's class name; the empty text for a handle that is no window.
std::int32_t CVantor::DCCompatible(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                   std::int32_t argCount) {
    char name[512];
    const int length = GetClassNameA(Arguments(args, argCount).window(1), name, sizeof name - 1);
    name[length > 0 ? length : 0] = '\0';
    return ReturnString(name);
}

// Paints the window and its children now. Handle 0 does nothing (it would
// stand for the whole desktop).
std::int32_t CVantor::RedrawControl(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                    std::int32_t argCount) {
    const HWND window = Arguments(args, argCount).window(1);
    if (window != nullptr)
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_VALIDATE);
    return ReturnInteger(1);
}

std::int32_t CVantor::RemoveControl(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                    std::int32_t argCount) {
    DestroyWindow(Arguments(args, argCount).window(1));
    return ReturnInteger(1);
}

// Shows or hides (argument 1, an SW_ value) the task bar and then the first
// top-level "Button" window; the result is the second ShowWindow's answer.
// A window not found is a null handle, for which ShowWindow does nothing.
std::int32_t CVantor::wnTaskBar(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                std::int32_t argCount) {
    const int command = Arguments(args, argCount).integer(1);
    const HWND taskBar = FindWindowA("Shell_TrayWnd", nullptr);
    const HWND button = FindWindowExA(GetDesktopWindow(), nullptr, "Button", nullptr);
    ShowWindow(taskBar, command);
    return ReturnInteger(ShowWindow(button, command));
}

// Asks nothing: the result is always 0. A modal colour dialog would stop
// the host's script thread, and scripts read no colour from this function.
std::int32_t CVantor::coAskColor(HWND, HINSTANCE, std::int32_t, ValueCell*, std::int32_t) {
    return ReturnInteger(0);
}

// Embeds nothing: the result is always 1.
std::int32_t CVantor::imEmbedImage(HWND, HINSTANCE, std::int32_t, ValueCell*, std::int32_t) {
    return ReturnInteger(1);
}

}  // namespace vantor
