// Edit-box functions: the input mask (ebMask, ebMaskClean) and direct access
// to an edit control's modification flag and text limit. The mask handlers
// only read and write the control; what to write comes from mask/core.
#include "wrappers/edit.h"
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
std::string ReadText(const Edit& edit) {
    const int reported = edit.GetTextLength();
    const std::size_t length = reported > 0 ? static_cast<std::size_t>(reported) : 0;
    std::string text(length + 1, '\0');
    const int copied = edit.GetText(text.data(), static_cast<int>(length + 1));
    text.resize(std::min({std::strlen(text.c_str()), length, static_cast<std::size_t>(std::max(copied, 0))}));
    return text;
}

// The caret's character index in the control that holds the focus: the
// thread's caret point turned into an index by the control. The control
// answers in 16 bits, so in a text past 65535 characters the index wraps.
std::size_t CaretIndex(const Edit& edit) {
    POINT caret{};
    GetCaretPos(&caret);
    return static_cast<std::size_t>(edit.CharFromPos(caret));
}

// ebMask's reading: the text limited to the mask's length, caret and text
// read, the selection removed; then what the mask makes of them, the
// engine's remembered length kept for the next call.
mask::ApplyResult MaskedText(const Edit& edit, const std::string& mask, bool numeric) {
    edit.LimitText(mask.size());
    const std::size_t caret = CaretIndex(edit);
    const std::string text = ReadText(edit);
    edit.SetSelNone();
    const mask::ApplyResult out = mask::ApplyMask({mask, text, caret, maskEngine.rememberedLength, numeric});
    maskEngine.rememberedLength = out.rememberedLength;
    return out;
}

// ebMask's writing: the whole text replaced by the masked one (one undoable
// replacement), the caret put where the mask says.
void WriteMasked(const Edit& edit, const mask::ApplyResult& out, std::size_t maskLength, bool numeric) {
    // A numeric mask that starts with "," or "." gives one character more
    // than it has (".##" and 123 give 1.23): the box is let hold it all.
    if (out.text.size() > maskLength) edit.LimitText(out.text.size());
    edit.SetSelAll();
    edit.ReplaceSel(out.text.c_str(), true);
    if (numeric) edit.SetSelNone();
    edit.SetSel(static_cast<int>(out.caret), static_cast<int>(out.caret));
}

}  // namespace

// ebGetModify(edit) -> nonzero when the text changed since the flag was cleared
std::int32_t CVantor::ebGetModify(const Call& call) { return call.ReturnInteger(Edit(call.window(1)).GetModify()); }

// ebSetLenLimit(edit, limit) -> the control's answer; 0 asks for its default maximum
std::int32_t CVantor::ebSetLenLimit(const Call& call) {
    return call.ReturnInteger(Edit(call.window(1)).LimitText(static_cast<UINT>(call.integer(2))));
}

// ebSetModify(edit, flag) -> flag, whatever the control makes of it
std::int32_t CVantor::ebSetModify(const Call& call) {
    Edit(call.window(1)).SetModify(call.integer(2));
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
    const Edit edit(call.window(1));
    const std::string mask = call.text(2);
    const bool numeric = call.count() == 3 && call.integer(3) != 0;
    const mask::ApplyResult out = MaskedText(edit, mask, numeric);
    if (out.write) WriteMasked(edit, out, mask.size(), numeric);
    return call.ReturnString(out.text);
}

// ebMaskClean(edit, mask [, mode]) -> the control's text without the mask's
// formatting: mode 0 (or none) the whole text; 1 digits and "."; 2 the
// characters at placeholders; 3 all but separators; 4 placeholders and
// separators; any other mode the empty text. Leaves the text as it is and
// only removes the selection.
std::int32_t CVantor::ebMaskClean(const Call& call) {
    const Edit edit(call.window(1));
    const int mode = call.count() == 3 ? call.integer(3) : 0;
    const std::string text = ReadText(edit);
    edit.SetSelNone();
    return call.ReturnString(mask::CleanMaskedText(call.text(2), text, mask::ReadCleanMode(mode)));
}

}  // namespace vantor
