// IP-address boxes (ip). Fields count from 1 in the script.

#include "controls/core/control_texts.h"
#include "controls/create_control.h"
#include "controls/wrappers/ip_address.h"
#include "host/arguments.h"
#include "host/core/value_helpers.h"
#include "host/vantor.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

namespace vantor {

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
    return ReturnInteger(box.ClearAddress());
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
    return ReturnInteger(box.IsBlank());
}

std::int32_t CVantor::ipSetFocus(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    const auto answer = IpAddressBox(a.window(1)).SetFocusField(ZeroBased(a.integer(2)));
    return ReturnInteger(answer);
}

// See ParseAddress for how the text becomes the four fields.
std::int32_t CVantor::ipSetIP(HWND, HINSTANCE, std::int32_t, ValueCell* args, std::int32_t argCount) {
    const Arguments a(args, argCount);
    const auto answer = IpAddressBox(a.window(1)).SetAddress(ParseAddress(a.text(2)));
    return ReturnInteger(answer);
}

// Arguments 2 to 4: field, low and high; the range is high * 256 + low.
std::int32_t CVantor::ipSetRange(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    const LPARAM range = static_cast<LPARAM>(static_cast<std::uint32_t>(a.integer(4)) * 256u +
                                             static_cast<std::uint32_t>(a.integer(3)));
    const auto answer = IpAddressBox(a.window(1)).SetRange(ZeroBased(a.integer(2)), range);
    return ReturnInteger(answer);
}

}  // namespace vantor
