// Cost of ebMask per keystroke against the messages it sends, measured in
// the same run. The edit box holds a text already laid into the mask with
// the caret at its end, the state after each keystroke: every call reads
// limit, caret and text, formats, and replaces the whole text. The raw side
// sends the same messages with the formatted text known beforehand, so the
// difference is the dispatcher, the handler and the mask engine.
#include "tests/host/host_double.h"

#include "bench/prepared_call.h"
#include "bench/benchmark.h"
#include "bench/timing.h"

#include <windows.h>

#include <cstdio>
#include <string>

using namespace vantor;
using namespace vantor::bench;
using namespace vantor::testing;

namespace {

constexpr double kBound = 1.30;

// A mask of `length` positions mixing every placeholder with separators and
// literals, and a character that fits each placeholder. The placeholders
// stand in blocks: Wine's edit box cannot lay out a single line of more than
// about 250 runs of letters, digits and punctuation, and then reports its
// caret at the start of the text (499 alternating characters do that; the
// 499 positions here make about 130 runs).
std::string MaskOf(std::size_t length) {
    const std::string pattern = "(#####) #####-#####/UUUUUUUU:????????.AAAAAAAA,LLLLLLLL &&&&&&&& ";
    std::string mask;
    while (mask.size() < length) mask += pattern;
    mask.resize(length);
    if (mask.back() == ' ') mask.back() = '#';  // a trailing blank would be trimmed
    return mask;
}

std::string TypedFor(const std::string& mask) {
    std::string text;
    for (const char m : mask) {
        switch (m) {
            case '#': text += '7'; break;
            case 'U': text += 'K'; break;
            case 'L': text += 'k'; break;
            case 'A': text += 'q'; break;
            case '?': text += 'x'; break;
            case '&': text += '*'; break;
            default: text += m; break;
        }
    }
    return text;
}

std::string Text(HWND edit) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool Measure(HostDouble& host, HWND edit, std::size_t positions) {
    const std::string mask = MaskOf(positions);
    SendMessageA(edit, EM_LIMITTEXT, 0, 0);
    SetWindowTextA(edit, TypedFor(mask).c_str());
    // The caret at the end, in view, as after typing there.
    SendMessageA(edit, EM_SETSEL, positions, static_cast<LPARAM>(positions));
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    PreparedCall ebMask(host, "ebMask", {edit, mask});
    ebMask();
    ebMask();
    const std::string formatted = Text(edit);
    const std::string answer = ebMask.Answer();
    bool ok = true;
    if (formatted.size() != positions || answer != formatted || Text(edit) != formatted) {
        ReportFault(std::to_string(positions) + " positions: not the steady state of a filled mask (" +
                    std::to_string(formatted.size()) + " characters, \"" + answer + "\")");
        ok = false;
    }

    // The messages ebMask sends, in its order, with the text it would write.
    std::string buffer(positions + 1, '\0');
    const auto raw = [&] {
        SendMessageA(edit, EM_LIMITTEXT, positions, 0);
        POINT caret{};
        GetCaretPos(&caret);
        SendMessageA(edit, EM_CHARFROMPOS, 0, MAKELPARAM(caret.x, caret.y));
        const LRESULT length = SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0);
        SendMessageA(edit, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(buffer.data()));
        SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(-1), 0);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(formatted.c_str()));
        SendMessageA(edit, EM_SETSEL, formatted.size(), static_cast<LPARAM>(formatted.size()));
    };
    const std::string name = "ebMask, " + std::to_string(positions) + "-position mask, per keystroke";
    const Timing t = Compare(raw, [&] { ebMask(); }, {.rounds = 11, .roundMicroseconds = 40000, .maxCalls = 2000});
    if (Text(edit) != formatted) {
        ReportFault(std::to_string(positions) + " positions: the timed calls changed the text");
        ok = false;
    }
    return ReportRatio(name.c_str(), t, kBound) && ok;
}

}  // namespace

VANTOR_BENCHMARK(mask) {
    HostDouble host;
    DialogFixture dialog(600, 200);
    const HWND edit = dialog.AddChild("EDIT", WS_BORDER | ES_AUTOHSCROLL, 101, 10, 10, 560, 24);
    SetForegroundWindow(dialog.hwnd());
    SetFocus(edit);
    DialogFixture::Pump();

    std::printf(
        "ebMask after a keystroke (text mode, the text fills the mask, caret at its end)\n"
        "against the messages it sends; 11 alternating rounds, medians in microseconds per\n"
        "call and of the per-round ratios.\n\n");
    PrintHeading();
    bool within = Measure(host, edit, 60);
    within = Measure(host, edit, 499) && within;
    return within;
}
