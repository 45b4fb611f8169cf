// Progress bars and trackbars on a script's dialog, and the style of a push
// button.
#include "controls/create_control.h"
#include "wrappers/button.h"
#include "wrappers/progress_bar.h"
#include "wrappers/trackbar.h"
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
std::int32_t CVantor::pbSetMultiline(const Call& call) {
    const Button window(call.window(1));
    window.AddStyle(BS_FLAT | BS_LEFTTEXT | (window.IsButton() ? BS_MULTILINE : 0));
    window.Invalidate();
    return call.ReturnInteger(1);
}

std::int32_t CVantor::pgCreateProgressBar(const Call& call) {
    const HWND bar = CreateControl({PROGRESS_CLASSA, "ProgressBar", WS_CHILD | WS_VISIBLE}, call);
    return call.ReturnInteger(HandleValue(bar));
}

// Part 0 is the background, part 1 the bar; another part sends nothing.
std::int32_t CVantor::pgSetColor(const Call& call) {
    const ProgressBar bar(call.window(1));
    const COLORREF colour = ParseColor(call.text(2));
    switch (call.integer(3)) {
        case 0: return call.ReturnInteger(static_cast<std::int32_t>(bar.SetBkColor(colour)));
        case 1: return call.ReturnInteger(static_cast<std::int32_t>(bar.SetBarColor(colour)));
        default: return call.ReturnInteger(0);
    }
}

std::int32_t CVantor::pgSetPosition(const Call& call) {
    return call.ReturnInteger(ProgressBar(call.window(1)).SetPos(call.integer(2)));
}

// A minimum not below the maximum is warned about, and set all the same.
std::int32_t CVantor::pgSetRange(const Call& call) {
    const std::int32_t minimum = call.integer(2), maximum = call.integer(3);
    if (minimum >= maximum) call.ShowNote("Error", "Your Minimum value must be less than your Maximum value.");
    return call.ReturnInteger(ProgressBar(call.window(1)).SetRange32(minimum, maximum));
}

std::int32_t CVantor::pgSetState(const Call& call) {
    return call.ReturnInteger(ProgressBar(call.window(1)).SetState(call.integer(2)));
}

std::int32_t CVantor::pgSetStep(const Call& call) {
    return call.ReturnInteger(ProgressBar(call.window(1)).SetStep(call.integer(2)));
}

// Mode 1 turns the bar into a marquee moving every 200 ms; any other mode
// advances it by its step.
std::int32_t CVantor::pgStep(const Call& call) {
    const ProgressBar bar(call.window(1));
    if (call.integer(2) != 1) return call.ReturnInteger(bar.StepIt());
    bar.AddStyle(PBS_MARQUEE);
    return call.ReturnInteger(bar.SetMarquee(true, 200));
}

std::int32_t CVantor::trClearSel(const Call& call) {
    Trackbar(call.window(1)).ClearSel();
    return call.ReturnInteger(1);
}

std::int32_t CVantor::trClearTics(const Call& call) {
    Trackbar(call.window(1)).ClearTics();
    return call.ReturnInteger(1);
}

// Always with automatic ticks, a selection range and tooltips, whatever
// extra styles (argument 6) are given.
std::int32_t CVantor::trCreateTrackBar(const Call& call) {
    const DWORD style =
        static_cast<DWORD>(call.integer(6)) | WS_CHILD | WS_VISIBLE | TBS_AUTOTICKS | TBS_ENABLESELRANGE | TBS_TOOLTIPS;
    const HWND trackbar = CreateControl({TRACKBAR_CLASSA, "Trackbar", style}, call);
    return call.ReturnInteger(HandleValue(trackbar));
}

// What 0 to 7 ask for: line size, number of ticks, page size, position,
// minimum, maximum, selection start, selection end; anything else is 0.
std::int32_t CVantor::trGetTrackInfo(const Call& call) {
    static constexpr int (Trackbar::*kQueries[])()
        const = {&Trackbar::GetLineSize, &Trackbar::GetNumTics,  &Trackbar::GetPageSize, &Trackbar::GetPos,
                 &Trackbar::GetRangeMin, &Trackbar::GetRangeMax, &Trackbar::GetSelStart, &Trackbar::GetSelEnd};
    const std::int32_t what = call.integer(2);
    if (what < 0 || what >= static_cast<std::int32_t>(std::size(kQueries))) return call.ReturnInteger(0);
    return call.ReturnInteger((Trackbar(call.window(1)).*kQueries[what])());
}

// Ends without a result: the host gets 1 and the result cell stays as it
// was. The buddies go and the trackbar forgets them.
std::int32_t CVantor::trRemoveBuddy(const Call& call) {
    DestroyBuddies(Trackbar(call.window(1)));
    return call.NoResult(1);
}

// Two "STATIC" labels on the dialog (argument 1) become the trackbar's
// buddies: the left or top one right-aligned, the other left-aligned. The
// buddies an earlier call made are destroyed first, so calling again
// replaces them and leaves no window behind.
std::int32_t CVantor::trSetBuddy(const Call& call) {
    const Window dialog = call.window(1);
    const Trackbar trackbar(call.window(2));
    DestroyBuddies(trackbar);
    const auto label = [&](const char* text, DWORD align) {
        return CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | align, 0, 0, call.integer(3), call.integer(4),
                               dialog, nullptr, call.instance(), nullptr);
    };
    trackbar.SetBuddy(true, label(call.text(5), SS_RIGHT));
    trackbar.SetBuddy(false, label(call.text(6), SS_LEFT));
    return call.ReturnInteger(1);
}

// The ten setters below read argument 2, which the table declares as a
// text, as a number: its integer form, or the number its text holds.
std::int32_t CVantor::trSetLineSize(const Call& call) {
    Trackbar(call.window(1)).SetLineSize(call.numberInText(2));
    return call.ReturnInteger(1);
}

std::int32_t CVantor::trSetPageSize(const Call& call) {
    Trackbar(call.window(1)).SetPageSize(call.numberInText(2));
    return call.ReturnInteger(1);
}

std::int32_t CVantor::trSetPos(const Call& call) {
    Trackbar(call.window(1)).SetPos(call.numberInText(2));
    return call.ReturnInteger(1);
}

std::int32_t CVantor::trSetRangeMax(const Call& call) {
    Trackbar(call.window(1)).SetRangeMax(call.numberInText(2));
    return call.ReturnInteger(1);
}

std::int32_t CVantor::trSetRangeMin(const Call& call) {
    Trackbar(call.window(1)).SetRangeMin(call.numberInText(2));
    return call.ReturnInteger(1);
}

std::int32_t CVantor::trSetSelEnd(const Call& call) {
    Trackbar(call.window(1)).SetSelEnd(call.numberInText(2));
    return call.ReturnInteger(1);
}

std::int32_t CVantor::trSetSelStart(const Call& call) {
    Trackbar(call.window(1)).SetSelStart(call.numberInText(2));
    return call.ReturnInteger(1);
}

std::int32_t CVantor::trSetTic(const Call& call) {
    Trackbar(call.window(1)).SetTic(call.numberInText(2));
    return call.ReturnInteger(1);
}

std::int32_t CVantor::trSetTicFreq(const Call& call) {
    Trackbar(call.window(1)).SetTicFreq(call.numberInText(2));
    return call.ReturnInteger(1);
}

// Side: 0 top, 1 left, 2 bottom, 3 right.
std::int32_t CVantor::trSetTipSide(const Call& call) {
    Trackbar(call.window(1)).SetTipSide(call.numberInText(2));
    return call.ReturnInteger(1);
}

}  // namespace vantor
