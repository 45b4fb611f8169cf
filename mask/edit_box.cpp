// Edit-box functions: the input mask (ebMask, ebMaskClean) and direct access
// to an edit control's modification flag and text limit. The mask handlers
// only read and write the control; what to write comes from mask/core.
#include "host/arguments.h"
#include "host/vantor.h"
#include "mask/core/mask.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace vantor {
namespace {

// The engine's one state for the whole process, shared by all controls.
mask::MaskEngineState maskEngine;

// The handlers take the window argument as it is: a handle that names no
// window answers 0, its messages lost, and Window never sends to a broadcast
// handle. No IsWindow check: under Wine it costs nearly half of the one
// message ebGetModify, ebSetModify and ebSetLenLimit send.

// The control's whole text, read into storage of its own size (no fixed
// buffer: a text of any length, e.g. 100 KB put in by WM_SETTEXT, is read
// whole and never overrun). Ends at the first NUL or at what the control
// copied, whichever comes first.
std::string ReadText(const Window& edit) {
    const LRESULT reported = edit.Send(WM_GETTEXTLENGTH);
    const std::size_t length = reported > 0 ? static_cast<std::size_t>(reported) : 0;
    std::string text(length + 1, '\0');
    const LRESULT copied = edit.Send(WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::min({std::strlen(text.c_str()), length,
                          static_cast<std::size_t>(std::max<LRESULT>(copied, 0))}));
    return text;
}

// The caret's character index in the control that holds the focus: the
// thread's caret point turned into an index by the control. The control
// answers in 16 bits, so in a text past 65535 characters the index wraps.
std::size_t CaretIndex(const Window& edit) {
    POINT caret{};
    GetCaretPos(&caret);
    return LOWORD(edit.Send(EM_CHARFROMPOS, 0, MAKELPARAM(caret.x, caret.y)));
}

void RemoveSelection(const Window& edit) { edit.Send(EM_SETSEL, static_cast<WPARAM>(-1), 0); }

}  // namespace

// ebGetModify(edit) -> nonzero when the text changed since the flag was cleared
std::int32_t CVantor::ebGetModify(const Call& call) {
    return call.ReturnInteger(static_cast<std::int32_t>(call.window(1).Send(EM_GETMODIFY)));
}

// ebSetLenLimit(edit, limit) -> the control's answer; 0 asks for its default maximum
std::int32_t CVantor::ebSetLenLimit(const Call& call) {
    return call.ReturnInteger(static_cast<std::int32_t>(
        call.window(1).Send(EM_LIMITTEXT, static_cast<WPARAM>(call.integer(2)))));
}

// ebSetModify(edit, flag) -> flag, whatever the control makes of it
std::int32_t CVantor::ebSetModify(const Call& call) {
    call.window(1).Send(EM_SETMODIFY, static_cast<WPARAM>(call.integer(2)));
    return call.ReturnInteger(call.integer(2));
}

// ebMask(edit, mask [, numeric]) -> the text the call leaves in the control
// Called after each change of the control's text, which must hold the
// keyboard focus (its caret is the thread's caret). Limits the text to the
// mask's length (to the length of the text it writes when that is longer),
// reads text and caret, and replaces the whole text (one
// undoable replacement) unless the text is empty or a deletion at its end is
// accepted as it stands. A handle that names no window gives the empty text.
std::int32_t CVantor::ebMask(const Call& call) {
    const Window edit = call.window(1);
    const std::string mask = call.text(2);
    const bool numeric = call.count() == 3 && call.integer(3) != 0;

    edit.Send(EM_LIMITTEXT, mask.size());
    const std::size_t caret = CaretIndex(edit);
    const std::string text = ReadText(edit);
    RemoveSelection(edit);

    const mask::ApplyResult out =
        mask::ApplyMask({mask, text, caret, maskEngine.rememberedLength, numeric});
    maskEngine.rememberedLength = out.rememberedLength;
    if (out.write) {
        // A numeric mask that starts with "," or "." gives one character more
        // than it has (".##" and 123 give 1.23): the box is let hold it all.
        if (out.text.size() > mask.size()) edit.Send(EM_LIMITTEXT, out.text.size());
        edit.Send(EM_SETSEL, 0, -1);
        edit.Send(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(out.text.c_str()));
        if (numeric) RemoveSelection(edit);
        edit.Send(EM_SETSEL, out.caret, static_cast<LPARAM>(out.caret));
    }
    return call.ReturnString(out.text);
}

// ebMaskClean(edit, mask [, mode]) -> the control's text without the mask's
// formatting: mode 0 (or none) the whole text; 1 digits and "."; 2 the
// characters at placeholders; 3 all but separators; 4 placeholders and
// separators; any other mode the empty text. Leaves the text as it is and
// only removes the selection.
std::int32_t CVantor::ebMaskClean(const Call& call) {
    const Window edit = call.window(1);
    const int mode = call.count() == 3 ? call.integer(3) : 0;
    const std::string text = ReadText(edit);
    RemoveSelection(edit);
    return call.ReturnString(mask::CleanMaskedText(call.text(2), text, mask::ReadCleanMode(mode)));
}

}  // namespace vantor
