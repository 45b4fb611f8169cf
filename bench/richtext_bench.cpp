// Cost of rtLoadFileRTF and rtSaveFileRTF on a 2.5 MB document against the
// stream calls a program makes for the same work (lift the text limit, open
// the file, stream through ReadFile or WriteFile), measured in the same run
// in alternating rounds. Each load goes into a new, empty box: Wine's rich
// edit removes a document it holds in time that grows with the square of
// its paragraphs (minutes for this one under an emulator), which would
// swamp what is measured.
#include "host/owners.h"
#include "tests/host/host_double.h"

#include "bench/prepared_call.h"
#include "bench/benchmark.h"
#include "bench/timing.h"

#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <string>

using namespace vantor;
using namespace vantor::bench;
using namespace vantor::testing;

namespace {

constexpr double kBound = 1.10;
constexpr std::size_t kDocumentBytes = 2500 * 1024;

// A document of paragraphs with bold, italic and coloured runs.
std::string Document() {
    std::string rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
        "{\\colortbl;\\red200\\green0\\blue0;\\red0\\green0\\blue160;}\\f0\\fs20\n";
    for (int paragraph = 1; rtf.size() < kDocumentBytes; ++paragraph) {
        rtf += "Paragraph " + std::to_string(paragraph) +
               ": plain words that fill a line, {\\b bold words}, {\\i italic words} and "
               "{\\cf1 red} or {\\cf2\\f1 blue serif} words, then plain text again to the end.\\par\n";
    }
    return rtf + "}";
}

struct Stream {
    HANDLE file;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* done) {
    DWORD count = 0;
    if (!ReadFile(reinterpret_cast<Stream*>(cookie)->file, buffer, static_cast<DWORD>(wanted), &count, nullptr))
        count = 0;
    *done = static_cast<LONG>(count);
    return 0;
}

DWORD CALLBACK WriteStream(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* done) {
    DWORD count = 0;
    WriteFile(reinterpret_cast<Stream*>(cookie)->file, buffer, static_cast<DWORD>(wanted), &count, nullptr);
    *done = static_cast<LONG>(count);
    return 0;
}

void RawLoad(HWND box, const std::string& path) {
    SendMessageA(box, EM_EXLIMITTEXT, 0, -1);
    const UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    Stream stream{file.get()};
    EDITSTREAM edit{reinterpret_cast<DWORD_PTR>(&stream), 0, ReadStream};
    SendMessageA(box, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&edit));
}

void RawSave(HWND box, const std::string& path) {
    SendMessageA(box, EM_EXLIMITTEXT, 0, -1);
    const UniqueFile file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    Stream stream{file.get()};
    EDITSTREAM edit{reinterpret_cast<DWORD_PTR>(&stream), 0, WriteStream};
    SendMessageA(box, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&edit));
}

LONG TextLength(HWND box) {
    GETTEXTLENGTHEX length{GTL_NUMCHARS, 1200};
    return static_cast<LONG>(SendMessageA(box, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
}

// A shown rich edit box on the dialog.
HWND NewBox(const DialogFixture& dialog) {
    return CreateWindowExA(0, "RICHEDIT50W", "",
                           WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 10, 10, 600,
                           420, dialog.hwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

VANTOR_BENCHMARK(richtext) {
    HostDouble host;
    DialogFixture dialog(640, 480);
    LoadLibraryA("Msftedit.dll");
    HWND box = NewBox(dialog);
    if (box == nullptr) {
        ReportFault("no rich edit box");
        return false;
    }
    const TempFile document(".rtf"), rawCopy(".rtf"), extenderCopy(".rtf");
    const std::string rtf = Document();
    document.Write(rtf);

    std::printf(
        "Rich text, a document of %zu bytes: the stream calls against the export, alternating\n"
        "rounds of one call (each load into a new, empty box); medians in microseconds per\n"
        "call and of the per-round ratios.\n\n",
        rtf.size());
    PrintHeading();
    const Plan plan{.rounds = 5, .roundMicroseconds = 0, .maxCalls = 1};
    bool ok = true;

    // What each side leaves is checked after the timed rounds (a round is one
    // call of seconds under an emulator: no untimed extra calls).
    PreparedCall load(host, "rtLoadFileRTF", {box, document.path()});
    const auto freshBox = [&] {
        DestroyWindow(box);
        box = NewBox(dialog);
        load.SetInteger(1, HandleValue(box));
    };
    LONG rawLength = 0, extenderLength = 0;
    ok = ReportRatio("rtLoadFileRTF vs EM_STREAMIN from the file (2.5 MB)",
                     Compare(
                         [&] {
                             RawLoad(box, document.path());
                             rawLength = TextLength(box);
                         },
                         [&] {
                             load();
                             extenderLength = TextLength(box);
                         },
                         plan, freshBox),
                     kBound) &&
         ok;
    if (rawLength < 100000 || extenderLength != rawLength) {
        ReportFault("rtLoadFileRTF loaded " + std::to_string(extenderLength) + " characters, the stream calls " +
                    std::to_string(rawLength));
        ok = false;
    }

    PreparedCall save(host, "rtSaveFileRTF", {box, extenderCopy.path()});
    ok = ReportRatio("rtSaveFileRTF vs EM_STREAMOUT to the file (2.5 MB)",
                     Compare([&] { RawSave(box, rawCopy.path()); }, [&] { save(); }, plan), kBound) &&
         ok;
    if (rawCopy.Read().size() < 100000 || rawCopy.Read() != extenderCopy.Read()) {
        ReportFault("rtSaveFileRTF wrote " + std::to_string(extenderCopy.Read().size()) + " bytes, the stream calls " +
                    std::to_string(rawCopy.Read().size()));
        ok = false;
    }
    DestroyWindow(box);
    return ok;
}
