// The colour dialog (co).

#include "controls/create_control.h"
#include "host/arguments.h"
#include "host/core/value_helpers.h"
#include "host/vantor.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

namespace vantor {

// Asks nothing: the result is always 0. A modal colour dialog would stop
// the host's script thread, and scripts read no colour from this function.
std::int32_t CVantor::coAskColor(HWND, HINSTANCE, std::int32_t, ValueCell*, std::int32_t) {
    return ReturnInteger(0);
}

}  // namespace vantor
