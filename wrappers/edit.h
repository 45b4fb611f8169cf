// An edit control, and the messages a rich-text box shares with it
// (wrappers/rich_edit.h derives from it). Character positions
// count from 0; a selection runs from its start to just before its end.
#pragma once

#include "wrappers/control.h"

#include <windows.h>

namespace vantor {

class Edit : public Control {
public:
    using Control::Control;

    // The length of the text in characters (of the text WM_GETTEXT copies
    // at most; the control may count more than it then copies).
    int GetTextLength() const { return SendForInt(WM_GETTEXTLENGTH); }
    // Copies at most size - 1 characters and a NUL into buffer; the number
    // of characters copied.
    int GetText(char* buffer, int size) const {
        return SendForInt(WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer));
    }
    // True when the control took the text.
    bool SetText(const char* text) const { return Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0; }

    // The start and end of the selection (both the caret's position when
    // nothing is selected).
    void GetSel(int& start, int& end) const {
        DWORD first = 0, last = 0;
        Send(EM_GETSEL, reinterpret_cast<WPARAM>(&first), &last);
        start = static_cast<int>(first);
        end = static_cast<int>(last);
    }
    // An end of -1 selects to the end of the text; a start of -1 removes
    // the selection.
    void SetSel(int start, int end) const { Send(EM_SETSEL, static_cast<WPARAM>(start), end); }
    void SetSelAll() const { SetSel(0, -1); }
    // The caret stays where it is, nothing selected.
    void SetSelNone() const { SetSel(-1, 0); }
    // Replaces the selection with text (inserts it at the caret when
    // nothing is selected); canUndo makes it one step the user can undo.
    void ReplaceSel(const char* text, bool canUndo) const {
        Send(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
    }
    void ScrollCaret() const { Send(EM_SCROLLCARET); }

    // The most characters the user may type (0 for the control's largest
    // limit); the control's answer.
    int LimitText(UINT maxCharacters) const { return SendForInt(EM_LIMITTEXT, maxCharacters); }
    // The modification flag: non-zero when the text changed since the flag
    // was last cleared; the control's answer.
    int GetModify() const { return SendForInt(EM_GETMODIFY); }
    void SetModify(BOOL modified) const { Send(EM_SETMODIFY, static_cast<WPARAM>(modified)); }

    // The character nearest a point of the client area: the low 16 bits of
    // the control's answer (so the index wraps past 65535 characters). A
    // rich-text box reads this message differently (RichEdit hides it).
    int CharFromPos(POINT point) const { return LOWORD(Send(EM_CHARFROMPOS, 0, MAKELPARAM(point.x, point.y))); }
};

}  // namespace vantor
