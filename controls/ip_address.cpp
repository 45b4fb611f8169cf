// IP-address boxes (ip). Fields count from 1 in the script.

#include "controls/core/control_texts.h"
#include "controls/create_control.h"
#include "wrappers/ip_address.h"
#include "host/arguments.h"
#include "host/core/value_helpers.h"
#include "host/vantor.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

namespace vantor {

std::int32_t CVantor::ipCreateIP(const Call& call) {
    const HWND box = CreateControl(
        {.className = WC_IPADDRESSA, .text = "IPAddress", .style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS}, call);
    return call.ReturnInteger(HandleValue(box));
}

std::int32_t CVantor::ipClearIP(const Call& call) {
    const IpAddressBox box(call.window(1));
    return call.ReturnInteger(box.ClearAddress());
}

// Blank fields read as 0; a box that is no window gives "0.0.0.0".
std::int32_t CVantor::ipGetIP(const Call& call) {
    const DWORD address = IpAddressBox(call.window(1)).GetAddress();
    char text[16];
    wsprintfA(text, "%d.%d.%d.%d", FIRST_IPADDRESS(address), SECOND_IPADDRESS(address), THIRD_IPADDRESS(address),
              FOURTH_IPADDRESS(address));
    return call.ReturnString(text);
}

std::int32_t CVantor::ipIsBlank(const Call& call) {
    const IpAddressBox box(call.window(1));
    return call.ReturnInteger(box.IsBlank());
}

std::int32_t CVantor::ipSetFocus(const Call& call) {
    const auto answer = IpAddressBox(call.window(1)).SetFocusField(ZeroBased(call.integer(2)));
    return call.ReturnInteger(answer);
}

// See ParseAddress for how the text becomes the four fields.
std::int32_t CVantor::ipSetIP(const Call& call) {
    const auto answer = IpAddressBox(call.window(1)).SetAddress(ParseAddress(call.text(2)));
    return call.ReturnInteger(answer);
}

// Arguments 2 to 4: field, low and high; the range is high * 256 + low.
std::int32_t CVantor::ipSetRange(const Call& call) {
    const LPARAM range = static_cast<LPARAM>(static_cast<std::uint32_t>(call.integer(4)) * 256u +
                                             static_cast<std::uint32_t>(call.integer(3)));
    const auto answer = IpAddressBox(call.window(1)).SetRange(ZeroBased(call.integer(2)), range);
    return call.ReturnInteger(answer);
}

}  // namespace vantor
