// The colour dialog (co): the platform's colour picker, modal on the host's
// thread as every colour picker is.

#include "host/arguments.h"
#include "host/vantor.h"

#include <windows.h>
#include <commdlg.h>

#include <cstdint>
#include <iterator>

namespace vantor {
namespace {

constexpr std::int32_t kCancelled = -1;
constexpr COLORREF kRgbBits = 0x00FFFFFF;

// What the dialog keeps for the rest of the process: the sixteen custom
// colours the user defined (white until then) and the colour chosen last.
struct ColourMemory {
    ColourMemory() { std::fill(std::begin(custom), std::end(custom), RGB(255, 255, 255)); }
    COLORREF custom[16];
    COLORREF lastChosen = RGB(0, 0, 0);
};

ColourMemory memory;

// Argument 1 when it is a window, else the host's window when that is one.
HWND DialogOwner(HWND given, HWND hostWindow) {
    if (given != nullptr && IsWindow(given)) return given;
    return hostWindow != nullptr && IsWindow(hostWindow) ? hostWindow : nullptr;
}

}  // namespace

// coAskColor(owner [, start]) shows the colour dialog owned by argument 1
// (the host's window when that is 0 or no window), starting at the colour
// of argument 2 (red + 256 * green + 65536 * blue; without it, or with a
// negative value, the colour chosen last, black at first). Gives the colour
// the user chose in the same form, or -1 when the user cancels. The custom
// colours the user defines stay for the next call.
std::int32_t CVantor::coAskColor(const Call& call) {
    const std::int32_t start = call.optionalInteger(2, -1);
    CHOOSECOLORA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = DialogOwner(call.window(1), call.owner());
    dialog.rgbResult = start >= 0 ? static_cast<COLORREF>(start) & kRgbBits : memory.lastChosen;
    dialog.lpCustColors = memory.custom;
    dialog.Flags = CC_RGBINIT | CC_ANYCOLOR;
    if (!ChooseColorA(&dialog)) return call.ReturnInteger(kCancelled);
    memory.lastChosen = dialog.rgbResult & kRgbBits;
    return call.ReturnInteger(static_cast<std::int32_t>(memory.lastChosen));
}

}  // namespace vantor
