// IP-address boxes (ip). Fields count from 1 in the script.

#include "controls/core/control_texts.h"
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

// A thin wrapper of an IP-address box. Fields count from 0 here.
class IpAddressBox : public Window {
public:
    using Window::Window;

    LRESULT ClearAddress() const { return Send(IPM_CLEARADDRESS, 0, 0); }
    DWORD GetAddress() const {
        DWORD address = 0;
        Send(IPM_GETADDRESS, 0, &address);
        return address;
    }
    LRESULT SetAddress(DWORD address) const {
        return Send(IPM_SETADDRESS, 0, static_cast<LPARAM>(address));
    }
    LRESULT IsBlank() const { return Send(IPM_ISBLANK, 0, 0); }
    LRESULT SetFocusField(int field) const { return Send(IPM_SETFOCUS, field, 0); }
    LRESULT SetRange(int field, LPARAM range) const {
        return Send(IPM_SETRANGE, field, range);
    }
};

}  // namespace

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
    const auto answer = IpAddressBox(a.window(1)).SetFocusField(ZeroBased(a.integer(2)));
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
    const auto answer = IpAddressBox(a.window(1)).SetRange(ZeroBased(a.integer(2)), range);
    return ReturnInteger(static_cast<std::int32_t>(answer));
}

}  // namespace vantor
