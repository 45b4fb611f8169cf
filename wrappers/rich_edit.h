// A rich-text box. The messages it shares with an edit control (the text,
// EM_GETSEL and EM_SETSEL, EM_SCROLLCARET...) are Edit's.
#pragma once

#include "wrappers/edit.h"

#include <windows.h>
#include <richedit.h>

namespace vantor {

// The box is talked to in the 8-bit character record and the version 2
// paragraph record (the wide character record only through the wide
// entry); the members size each record before it is sent.
static_assert(sizeof(CHARFORMAT2A) == 84);
static_assert(sizeof(CHARFORMAT2W) == 116);
static_assert(sizeof(PARAFORMAT2) == 188);

class RichEdit : public Edit {
public:
    using Edit::Edit;

    // A rich-text box reads the point of EM_CHARFROMPOS from a record, not
    // from lParam as Edit sends it.
    int CharFromPos(POINT point) const = delete;

    CHARRANGE ExGetSel() const {
        CHARRANGE range{};
        Send(EM_EXGETSEL, 0, &range);
        return range;
    }
    // The selection now set, as EM_EXSETSEL reports it (its end, or the
    // caret).
    int ExSetSel(CHARRANGE range) const { return static_cast<int>(Send(EM_EXSETSEL, 0, &range)); }

    // The character format of the selection (of the caret when nothing is
    // selected): the record's mask names the attributes the whole selection
    // shares, and is the answer (0 when the box answered nothing).
    DWORD GetSelectionCharFormat(CHARFORMAT2A& format) const {
        format = Sized<CHARFORMAT2A>();
        return static_cast<DWORD>(Send(EM_GETCHARFORMAT, SCF_SELECTION, &format));
    }
    // The same through the wide entry, in the wide record.
    DWORD GetSelectionCharFormat(CHARFORMAT2W& format) const {
        format = Sized<CHARFORMAT2W>();
        return static_cast<DWORD>(SendWide(EM_GETCHARFORMAT, SCF_SELECTION, &format));
    }
    // The format text takes where nothing else is set.
    DWORD GetDefaultCharFormat(CHARFORMAT2A& format) const {
        format = Sized<CHARFORMAT2A>();
        return static_cast<DWORD>(Send(EM_GETCHARFORMAT, SCF_DEFAULT, &format));
    }
    // Gives what scope names (SCF_SELECTION, SCF_ALL, SCF_DEFAULT...) the
    // attributes the record's mask names; true when the box took them.
    bool SetCharFormat(WPARAM scope, CHARFORMAT2A format) const {
        format.cbSize = sizeof format;
        return Send(EM_SETCHARFORMAT, scope, &format) != 0;
    }

    // The paragraph format of the selection; the answer is the record's
    // mask, the attributes every selected paragraph shares.
    DWORD GetParaFormat(PARAFORMAT2& format) const {
        format = Sized<PARAFORMAT2>();
        return static_cast<DWORD>(Send(EM_GETPARAFORMAT, 0, &format));
    }
    // Gives the selected paragraphs the attributes the record's mask names;
    // true when the box took them.
    bool SetParaFormat(PARAFORMAT2 format) const {
        format.cbSize = sizeof format;
        return Send(EM_SETPARAFORMAT, 0, &format) != 0;
    }

    // The most characters the box holds (-1 for as many as memory allows).
    void ExLimitText(LONG maxCharacters) const { Send(EM_EXLIMITTEXT, 0, maxCharacters); }
    // numerator / denominator, each 1 to 64, or 0 / 0 for no zoom; true
    // when the box took it.
    bool SetZoom(int numerator, int denominator) const {
        return Send(EM_SETZOOM, static_cast<WPARAM>(numerator), denominator) != 0;
    }
    // The length of the text as flags (GTL_...) and the code page count it,
    // asked through the wide entry; E_INVALIDARG for flags that clash.
    int GetTextLengthEx(DWORD flags, UINT codePage) const {
        GETTEXTLENGTHEX ask{flags, codePage};
        return static_cast<int>(SendWide<void>(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&ask), nullptr));
    }

    // Reads the stream's text in the format (SF_RTF, with SFF_SELECTION to
    // replace only the selection); the number of characters read. The
    // stream's dwError tells whether its callback failed.
    int StreamIn(WPARAM format, EDITSTREAM& stream) const {
        return static_cast<int>(Send(EM_STREAMIN, format, &stream));
    }
    // Writes the text to the stream in the format; the number of characters
    // written.
    int StreamOut(WPARAM format, EDITSTREAM& stream) const {
        return static_cast<int>(Send(EM_STREAMOUT, format, &stream));
    }
    // Searches find.chrg for find.lpstrText as flags (FR_DOWN, FR_MATCHCASE,
    // FR_WHOLEWORD) say; the start of the match (also in find.chrgText) or -1.
    int FindTextEx(WPARAM flags, FINDTEXTEXW& find) const {
        return static_cast<int>(Send(EM_FINDTEXTEXW, flags, &find));
    }

private:
    template <class Record>
    static Record Sized() {
        Record record{};
        record.cbSize = sizeof record;
        return record;
    }
};

}  // namespace vantor
