// A trackbar and its buddy windows.
#pragma once

#include "wrappers/control.h"

#include <windows.h>
#include <commctrl.h>

namespace vantor {

class Trackbar : public Control {
public:
    using Control::Control;

    // The buddy at the left (or top) end, else at the right (or bottom);
    // null when there is none.
    HWND GetBuddy(bool leftOrTop) const { return reinterpret_cast<HWND>(Send(TBM_GETBUDDY, leftOrTop)); }
    // The buddy set there before.
    HWND SetBuddy(bool leftOrTop, HWND buddy) const {
        return reinterpret_cast<HWND>(Send(TBM_SETBUDDY, leftOrTop, reinterpret_cast<LPARAM>(buddy)));
    }

    int GetLineSize() const { return SendForInt(TBM_GETLINESIZE); }
    int GetNumTics() const { return SendForInt(TBM_GETNUMTICS); }
    int GetPageSize() const { return SendForInt(TBM_GETPAGESIZE); }
    int GetPos() const { return SendForInt(TBM_GETPOS); }
    int GetRangeMin() const { return SendForInt(TBM_GETRANGEMIN); }
    int GetRangeMax() const { return SendForInt(TBM_GETRANGEMAX); }
    int GetSelStart() const { return SendForInt(TBM_GETSELSTART); }
    int GetSelEnd() const { return SendForInt(TBM_GETSELEND); }

    // The sizes before.
    int SetLineSize(int size) const { return SendForInt(TBM_SETLINESIZE, 0, size); }
    int SetPageSize(int size) const { return SendForInt(TBM_SETPAGESIZE, 0, size); }
    // These redraw the trackbar.
    void SetPos(int position) const { Send(TBM_SETPOS, TRUE, position); }
    void SetRangeMin(int minimum) const { Send(TBM_SETRANGEMIN, TRUE, minimum); }
    void SetRangeMax(int maximum) const { Send(TBM_SETRANGEMAX, TRUE, maximum); }
    void SetSelStart(int start) const { Send(TBM_SETSELSTART, TRUE, start); }
    void SetSelEnd(int end) const { Send(TBM_SETSELEND, TRUE, end); }
    void ClearSel() const { Send(TBM_CLEARSEL, TRUE); }
    void ClearTics() const { Send(TBM_CLEARTICS, TRUE); }
    // False when the position lies outside the range.
    bool SetTic(int position) const { return Send(TBM_SETTIC, 0, position) != 0; }
    void SetTicFreq(int frequency) const { Send(TBM_SETTICFREQ, static_cast<WPARAM>(frequency)); }
    // TBTS_TOP, TBTS_LEFT, TBTS_BOTTOM or TBTS_RIGHT; the side before.
    int SetTipSide(int side) const { return SendForInt(TBM_SETTIPSIDE, static_cast<WPARAM>(side)); }
};

}  // namespace vantor
