// Pictures embedded in a rich-text box (im).

#include "controls/create_control.h"
#include "host/arguments.h"
#include "host/core/value_helpers.h"
#include "host/vantor.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

namespace vantor {

// Embeds nothing: the result is always 1.
std::int32_t CVantor::imEmbedImage(HWND, HINSTANCE, std::int32_t, ValueCell*, std::int32_t) {
    return ReturnInteger(1);
}

}  // namespace vantor
