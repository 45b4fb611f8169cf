// An IP-address box. Fields count from 0 here.
#pragma once

#include "wrappers/control.h"

#include <windows.h>
#include <commctrl.h>

namespace vantor {

class IpAddressBox : public Control {
public:
    using Control::Control;

    // The box's answer.
    int ClearAddress() const { return SendForInt(IPM_CLEARADDRESS); }
    // The four fields, blank ones 0; 0 when the box is no window.
    DWORD GetAddress() const {
        DWORD address = 0;
        Send(IPM_GETADDRESS, 0, &address);
        return address;
    }
    // The box's answer.
    int SetAddress(DWORD address) const { return SendForInt(IPM_SETADDRESS, 0, static_cast<LPARAM>(address)); }
    // Non-zero when every field is blank.
    int IsBlank() const { return SendForInt(IPM_ISBLANK); }
    // The box's answer.
    int SetFocusField(int field) const { return SendForInt(IPM_SETFOCUS, static_cast<WPARAM>(field)); }
    // range: MAKEIPRANGE(low, high) as the script packs it; the box's answer.
    int SetRange(int field, LPARAM range) const { return SendForInt(IPM_SETRANGE, static_cast<WPARAM>(field), range); }
};

}  // namespace vantor
