// Progress bars and trackbars on a script's dialog, and the style of a push
// button.
#include "controls/create_control.h"
#include "controls/wrappers/button.h"
#include "controls/wrappers/progress_bar.h"
#include "controls/wrappers/trackbar.h"
#include "host/arguments.h"
#include "host/core/value_helpers.h"
#include "host/vantor.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <iterator>

namespace vantor {
namespace {

// Destroys the trackbar's buddies and forgets them, so that no later call
// meets a stale handle.
void DestroyBuddies(const Trackbar& trackbar) {
    for (const bool leftOrTop : {true, false}) {
        const HWND buddy = trackbar.GetBuddy(leftOrTop);
        if (buddy == nullptr) continue;
        trackbar.SetBuddy(leftOrTop, nullptr);
        DestroyWindow(buddy);
    }
}

}  // namespace

// ORs the bits 0x8020 (on a button: flat, text on the left) into the
// window's style and redraws it; a button also gets BS_MULTILINE, so that its
// text wraps. Other windows get no BS_MULTILINE: on an edit box that bit is
// ES_NUMBER, which would make it refuse letters.
std::int32_t CVantor::pbSetMultiline(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                     std::int32_t argCount) {
    const Button window(Arguments(args, argCount).window(1));
    window.AddStyle(BS_FLAT | BS_LEFTTEXT | (window.IsButton() ? BS_MULTILINE : 0));
    window.Invalidate();
    return ReturnInteger(1);
}

std::int32_t CVantor::pgCreateProgressBar(HWND, HINSTANCE hostInstance, std::int32_t,
                                          ValueCell* args, std::int32_t argCount) {
    const Arguments a(args, argCount);
    const HWND bar =
        CreateControl({PROGRESS_CLASSA, "ProgressBar", WS_CHILD | WS_VISIBLE}, a, hostInstance);
    return ReturnInteger(HandleValue(bar));
}

// Part 0 is the background, part 1 the bar; another part sends nothing.
std::int32_t CVantor::pgSetColor(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    const ProgressBar bar(a.window(1));
    const COLORREF colour = ParseColor(a.text(2));
    switch (a.integer(3)) {
    case 0:
        return ReturnInteger(static_cast<std::int32_t>(bar.SetBkColor(colour)));
    case 1:
        return ReturnInteger(static_cast<std::int32_t>(bar.SetBarColor(colour)));
    default:
        return ReturnInteger(0);
    }
}

std::int32_t CVantor::pgSetPosition(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                    std::int32_t argCount) {
    const Arguments a(args, argCount);
    return ReturnInteger(ProgressBar(a.window(1)).SetPos(a.integer(2)));
}

// A minimum not below the maximum is warned about, and set all the same.
std::int32_t CVantor::pgSetRange(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    const std::int32_t minimum = a.integer(2), maximum = a.integer(3);
    if (minimum >= maximum)
        ShowNote("Error", "Your Minimum value must be less than your Maximum value.");
    return ReturnInteger(ProgressBar(a.window(1)).SetRange32(minimum, maximum));
}

std::int32_t CVantor::pgSetState(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    return ReturnInteger(ProgressBar(a.window(1)).SetState(a.integer(2)));
}

std::int32_t CVantor::pgSetStep(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                std::int32_t argCount) {
    const Arguments a(args, argCount);
    return ReturnInteger(ProgressBar(a.window(1)).SetStep(a.integer(2)));
}

// Mode 1 turns the bar into a marquee moving every 200 ms; any other mode
// advances it by its step.
std::int32_t CVantor::pgStep(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                             std::int32_t argCount) {
    const Arguments a(args, argCount);
    const ProgressBar bar(a.window(1));
    if (a.integer(2) != 1) return ReturnInteger(bar.StepIt());
    bar.AddStyle(PBS_MARQUEE);
    return ReturnInteger(bar.SetMarquee(true, 200));
}

std::int32_t CVantor::trClearSel(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    Trackbar(Arguments(args, argCount).window(1)).ClearSel();
    return ReturnInteger(1);
}

std::int32_t CVantor::trClearTics(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                  std::int32_t argCount) {
    Trackbar(Arguments(args, argCount).window(1)).ClearTics();
    return ReturnInteger(1);
}

// Always with automatic ticks, a selection range and tooltips, whatever
// extra styles (argument 6) are given.
std::int32_t CVantor::trCreateTrackBar(HWND, HINSTANCE hostInstance, std::int32_t, ValueCell* args,
                                       std::int32_t argCount) {
    const Arguments a(args, argCount);
    const DWORD style = static_cast<DWORD>(a.integer(6)) | WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS |
                        TBS_ENABLESELRANGE | TBS_TOOLTIPS;
    const HWND trackbar = CreateControl({TRACKBAR_CLASSA, "Trackbar", style}, a, hostInstance);
    return ReturnInteger(HandleValue(trackbar));
}

// What 0 to 7 ask for: line size, number of ticks, page size, position,
// minimum, maximum, selection start, selection end; anything else is 0.
std::int32_t CVantor::trGetTrackInfo(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                     std::int32_t argCount) {
    static constexpr int (Trackbar::*kQueries[])() const = {
        &Trackbar::GetLineSize, &Trackbar::GetNumTics,  &Trackbar::GetPageSize,
        &Trackbar::GetPos,      &Trackbar::GetRangeMin, &Trackbar::GetRangeMax,
        &Trackbar::GetSelStart, &Trackbar::GetSelEnd};
    const Arguments a(args, argCount);
    const std::int32_t what = a.integer(2);
    if (what < 0 || what >= static_cast<std::int32_t>(std::size(kQueries))) return ReturnInteger(0);
    return ReturnInteger((Trackbar(a.window(1)).*kQueries[what])());
}

// Ends without a result: the host gets 1 and the result cell stays as it
// was. The buddies go and the trackbar forgets them.
std::int32_t CVantor::trRemoveBuddy(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                    std::int32_t argCount) {
    const Arguments a(args, argCount);
    DestroyBuddies(Trackbar(a.window(1)));
    return NoResult(1);
}

// Two "STATIC" labels on the dialog (argument 1) become the trackbar's
// buddies: the left or top one right-aligned, the other left-aligned. The
// buddies an earlier call made are destroyed first, so calling again
// replaces them and leaves no window behind.
std::int32_t CVantor::trSetBuddy(HWND, HINSTANCE hostInstance, std::int32_t, ValueCell* args,
                                 std::int32_t argCount) {
    const Arguments a(args, argCount);
    const Window dialog = a.window(1);
    const Trackbar trackbar(a.window(2));
    DestroyBuddies(trackbar);
    const auto label = [&](const char* text, DWORD align) {
        return CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | align, 0, 0, a.integer(3),
                               a.integer(4), dialog, nullptr, hostInstance, nullptr);
    };
    trackbar.SetBuddy(true, label(a.text(5), SS_RIGHT));
    trackbar.SetBuddy(false, label(a.text(6), SS_LEFT));
    return ReturnInteger(1);
}

// The ten setters below read argument 2, which the table declares as a
// text, as a number: its integer form, or the number its text holds.
std::int32_t CVantor::trSetLineSize(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                    std::int32_t argCount) {
    const Arguments a(args, argCount);
    Trackbar(a.window(1)).SetLineSize(a.numberInText(2));
    return ReturnInteger(1);
}

std::int32_t CVantor::trSetPageSize(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                    std::int32_t argCount) {
    const Arguments a(args, argCount);
    Trackbar(a.window(1)).SetPageSize(a.numberInText(2));
    return ReturnInteger(1);
}

std::int32_t CVantor::trSetPos(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                               std::int32_t argCount) {
    const Arguments a(args, argCount);
    Trackbar(a.window(1)).SetPos(a.numberInText(2));
    return ReturnInteger(1);
}

std::int32_t CVantor::trSetRangeMax(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                    std::int32_t argCount) {
    const Arguments a(args, argCount);
    Trackbar(a.window(1)).SetRangeMax(a.numberInText(2));
    return ReturnInteger(1);
}

std::int32_t CVantor::trSetRangeMin(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                    std::int32_t argCount) {
    const Arguments a(args, argCount);
    Trackbar(a.window(1)).SetRangeMin(a.numberInText(2));
    return ReturnInteger(1);
}

std::int32_t CVantor::trSetSelEnd(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                  std::int32_t argCount) {
    const Arguments a(args, argCount);
    Trackbar(a.window(1)).SetSelEnd(a.numberInText(2));
    return ReturnInteger(1);
}

std::int32_t CVantor::trSetSelStart(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                    std::int32_t argCount) {
    const Arguments a(args, argCount);
    Trackbar(a.window(1)).SetSelStart(a.numberInText(2));
    return ReturnInteger(1);
}

std::int32_t CVantor::trSetTic(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                               std::int32_t argCount) {
    const Arguments a(args, argCount);
    Trackbar(a.window(1)).SetTic(a.numberInText(2));
    return ReturnInteger(1);
}

std::int32_t CVantor::trSetTicFreq(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                   std::int32_t argCount) {
    const Arguments a(args, argCount);
    Trackbar(a.window(1)).SetTicFreq(a.numberInText(2));
    return ReturnInteger(1);
}

// Side: 0 top, 1 left, 2 bottom, 3 right.
std::int32_t CVantor::trSetTipSide(HWND, HINSTANCE, std::int32_t, ValueCell* args,
                                   std::int32_t argCount) {
    const Arguments a(args, argCount);
    Trackbar(a.window(1)).SetTipSide(a.numberInText(2));
    return ReturnInteger(1);
}

}  // namespace vantor
