// A progress bar.
#pragma once

#include "wrappers/control.h"

#include <windows.h>
#include <commctrl.h>

namespace vantor {

class ProgressBar : public Control {
public:
    using Control::Control;

    // Each answers the colour before (CLR_DEFAULT when none was set).
    COLORREF SetBkColor(COLORREF colour) const {
        return static_cast<COLORREF>(Send(PBM_SETBKCOLOR, 0, static_cast<LPARAM>(colour)));
    }
    COLORREF SetBarColor(COLORREF colour) const {
        return static_cast<COLORREF>(Send(PBM_SETBARCOLOR, 0, static_cast<LPARAM>(colour)));
    }
    // The position before.
    int SetPos(int position) const { return SendForInt(PBM_SETPOS, static_cast<WPARAM>(position)); }
    // The range before, packed as the control answers it (low word the minimum).
    int SetRange32(int minimum, int maximum) const {
        return SendForInt(PBM_SETRANGE32, static_cast<WPARAM>(minimum), static_cast<LPARAM>(maximum));
    }
    // The state before (PBST_NORMAL, ...).
    int SetState(int state) const { return SendForInt(PBM_SETSTATE, static_cast<WPARAM>(state)); }
    // The step before.
    int SetStep(int step) const { return SendForInt(PBM_SETSTEP, static_cast<WPARAM>(step)); }
    // Advances by the step; the position before.
    int StepIt() const { return SendForInt(PBM_STEPIT); }
    // Starts (or stops) the marquee of a bar with PBS_MARQUEE, moving every
    // interval milliseconds; the control's answer.
    int SetMarquee(bool on, int interval) const {
        return SendForInt(PBM_SETMARQUEE, on, static_cast<LPARAM>(interval));
    }
};

}  // namespace vantor
