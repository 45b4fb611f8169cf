// The rt family: a rich-text box on a script's dialog. Every function but
// rtCreate and rtFindText ends by giving the box the keyboard focus.
#include "controls/create_control.h"
#include "wrappers/rich_edit.h"
#include "host/arguments.h"
#include "host/callback_guard.h"
#include "host/core/value_helpers.h"
#include "host/owners.h"
#include "host/vantor.h"
#include "host/wide_text.h"

#include <windows.h>
#include <richedit.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace vantor {
namespace {

// rtBold, rtItalic and rtUnderline: a selection that is wholly on loses the
// effect, any other (off or mixed) becomes wholly on; the selection is kept.
void ToggleEffect(const RichEdit& box, DWORD bit) {
    int start = 0, end = 0;
    box.GetSel(start, end);
    CHARFORMAT2A format{};
    box.GetSelectionCharFormat(format);
    const bool allOn = (format.dwMask & bit) != 0 && (format.dwEffects & bit) != 0;
    format = CHARFORMAT2A{};
    format.dwMask = bit;
    format.dwEffects = allOn ? 0 : bit;
    box.SetCharFormat(SCF_SELECTION, format);
    box.SetSel(start, end);
    SetFocus(box);
}

// rtSetTextColor and rtSetTextBackColor: an empty selection widens to the
// whole text, which stays selected afterwards.
void SetColour(const RichEdit& box, const char* colourText, bool background) {
    const COLORREF colour = ParseColor(colourText);
    CHARRANGE range = box.ExGetSel();
    if (range.cpMin == range.cpMax) range = {0, -1};
    box.ExSetSel(range);
    CHARFORMAT2A format{};  // no automatic-colour effect: the colour shows
    if (background) {
        format.dwMask = CFM_BACKCOLOR;
        format.crBackColor = colour;
    } else {
        format.dwMask = CFM_COLOR;
        format.crTextColor = colour;
    }
    box.SetCharFormat(SCF_SELECTION, format);
    SetFocus(box);
}

// Bullets (PFN_BULLET) and numbering (type 7) switch off when the paragraph
// already has them and on otherwise; gives the numbering now set.
WORD ToggleNumbering(const RichEdit& box, WORD type) {
    PARAFORMAT2 format{};
    box.GetParaFormat(format);
    const bool on = (format.dwMask & PFM_NUMBERING) != 0 && format.wNumbering == type;
    format = PARAFORMAT2{};
    format.dwMask = PFM_NUMBERING;
    format.wNumbering = on ? 0 : type;
    box.SetParaFormat(format);
    return format.wNumbering;
}

// The stream callback of a load (through GuardedStreamCallback): the cookie
// is the file's handle. A failed read hands over 0 bytes, which ends the
// stream.
DWORD ReadRtf(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* done) {
    DWORD count = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(wanted), &count, nullptr)) count = 0;
    *done = static_cast<LONG>(count);
    return 0;
}

// The stream callback of a save (through GuardedStreamCallback): the cookie
// is the std::string that collects the document. Memory running out ends
// the stream with an error, so the save writes nothing.
DWORD CollectRtf(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* done) {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer),
                                                   static_cast<std::size_t>(wanted));
    *done = wanted;
    return 0;
}

// Writes count bytes to file; false unless all of them went.
bool WriteAll(HANDLE file, const char* bytes, std::size_t count) {
    DWORD written = 0;
    return WriteFile(file, bytes, static_cast<DWORD>(count), &written, nullptr) && written == count;
}

// A save's way into its fresh file: the box's pieces (a few kilobytes each)
// gather in a buffer of kBufferBytes that goes to the file whenever it
// fills, so the document is never held whole and the file is written in few
// calls. The buffer is taken with the first piece, inside the stream: memory
// running out ends the stream with an error, so the save writes nothing.
class ScratchWriter {
public:
    static constexpr std::size_t kBufferBytes = 64 * 1024;

    explicit ScratchWriter(HANDLE file) : file_(file) {}
    // Keeps the bytes; false once a write has failed. Throws when the buffer
    // cannot be had.
    bool Add(const char* bytes, std::size_t count) {
        if (buffer_.capacity() < kBufferBytes) buffer_.reserve(kBufferBytes);
        total_ += count;
        if (buffer_.size() + count > kBufferBytes && !Flush()) return false;
        if (count >= kBufferBytes) return WriteBytes(bytes, count);
        buffer_.append(bytes, count);
        return true;
    }
    // Writes what the buffer holds; false when a write has failed.
    bool Flush() {
        const bool ok = WriteBytes(buffer_.data(), buffer_.size());
        buffer_.clear();
        return ok;
    }
    // Whether any byte reached the writer.
    bool Empty() const { return total_ == 0; }
    bool Failed() const { return failed_; }

private:
    bool WriteBytes(const char* bytes, std::size_t count) {
        if (count != 0 && !failed_ && !WriteAll(file_, bytes, count)) failed_ = true;
        return !failed_;
    }

    HANDLE file_;
    std::string buffer_;
    std::size_t total_ = 0;
    bool failed_ = false;
};

// The stream callback of a save by replacing: the cookie is the
// ScratchWriter. A failed write ends the stream with an error.
DWORD WriteRtf(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* done) {
    if (!reinterpret_cast<ScratchWriter*>(cookie)->Add(reinterpret_cast<const char*>(buffer),
                                                       static_cast<std::size_t>(wanted))) {
        *done = 0;
        return kStreamFailed;
    }
    *done = wanted;
    return 0;
}

// Replaces the whole content of the box with the RTF of path; a file that
// does not open leaves the box as it was.
void LoadRtf(const RichEdit& box, const char* path) {
    const UniqueFile handle(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) return;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(handle.get()), 0, GuardedStreamCallback<ReadRtf>};
    box.StreamIn(SF_RTF, stream);
}

// The whole content of the box as RTF; false when the box wrote nothing or
// the stream failed (a handle that is no window writes nothing).
bool RtfOf(const RichEdit& box, std::string& rtf) {
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&rtf), 0, GuardedStreamCallback<CollectRtf>};
    box.StreamOut(SF_RTF, stream);
    return stream.dwError == 0 && !rtf.empty();
}

// The attributes a replaced file keeps.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Where a save really goes: the file a symbolic link names (so that the
// link stays a link), and whether that file has further names (hard links,
// which a replacement would part from the new content).
struct SaveTarget {
    std::string path;
    bool sharedByLinks = false;
};

SaveTarget Resolve(const char* full) {
    SaveTarget target{full};
    const UniqueFile existing(CreateFileA(full, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!existing) return target;
    // The standard information only: the whole of GetFileInformationByHandle
    // also asks the volume for its serial number (half a millisecond a call
    // under Wine).
    FILE_STANDARD_INFO info{};
    if (GetFileInformationByHandleEx(existing.get(), FileStandardInfo, &info, sizeof info))
        target.sharedByLinks = info.NumberOfLinks > 1;
    char final[MAX_PATH];
    const DWORD length = GetFinalPathNameByHandleA(existing.get(), final, MAX_PATH, FILE_NAME_NORMALIZED);
    if (length == 0 || length >= MAX_PATH) return target;
    std::string_view resolved(final, length);
    if (resolved.starts_with("\\\\?\\UNC\\")) target.path = "\\\\" + std::string(resolved.substr(8));
    else if (resolved.starts_with("\\\\?\\")) target.path = std::string(resolved.substr(4));
    else target.path = std::string(resolved);
    return target;
}

// How the first route of a save ended.
enum class Replacing {
    kSaved,      // the target holds the document
    kAbandoned,  // the box gave no document: nothing is to be written
    kClosed,     // the route cannot be taken; the target is as it was
};

// The attributes of a fresh file that the target's need set on it (every
// fresh file has FILE_ATTRIBUTE_ARCHIVE already).
DWORD AttributesToSet(DWORD attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    const DWORD kept = attributes & kKeptAttributes;
    return (kept & ~static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE)) != 0 ? kept : 0;
}

// The first route: a fresh file in the target's folder, which the box
// streams into, replaces the target only once it holds the whole document,
// with the target's attributes. Closed when no file can be made in the
// folder, its name would be too long, a write to it fails, it cannot take
// the attributes or the target cannot be replaced; abandoned when the box
// wrote nothing or its stream failed. The fresh file is gone either way.
Replacing SaveByReplacing(const RichEdit& box, const std::string& target, DWORD attributes) {
    const std::size_t slash = target.find_last_of("\\/");
    // A folder longer than MAX_PATH - 14 leaves no room for a scratch name
    // (and not every GetTempFileNameA checks that before filling the buffer).
    if (slash == std::string::npos || slash + 1 > MAX_PATH - 14) return Replacing::kClosed;
    char scratch[MAX_PATH];
    if (GetTempFileNameA(target.substr(0, slash + 1).c_str(), "vrt", 0, scratch) == 0) return Replacing::kClosed;
    ScratchFile written(scratch);
    {
        const UniqueFile handle(CreateFileA(written.path(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle) return Replacing::kClosed;
        ScratchWriter writer(handle.get());
        EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&writer), 0, GuardedStreamCallback<WriteRtf>};
        box.StreamOut(SF_RTF, stream);
        if (writer.Failed() || !writer.Flush()) return Replacing::kClosed;
        if (stream.dwError != 0 || writer.Empty()) return Replacing::kAbandoned;
    }
    // A replacement that cannot take the target's attributes would quietly
    // drop them (a hidden file shown): the file is then written in place.
    const DWORD toSet = AttributesToSet(attributes);
    if (toSet != 0 && !SetFileAttributesA(written.path(), toSet)) return Replacing::kClosed;
    if (!MoveFileExA(written.path(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return Replacing::kClosed;
    written.keep();
    return Replacing::kSaved;
}

// The second route: the target itself, opened for writing as it is (a
// device, a file another program holds open for writing, a file with further
// names), written from its start and cut after the document.
void SaveInPlace(const std::string& target, const std::string& rtf) {
    const UniqueFile handle(CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle || !WriteAll(handle.get(), rtf.data(), rtf.size())) return;
    if (GetFileType(handle.get()) == FILE_TYPE_DISK) SetEndOfFile(handle.get());
}

// Writes the whole content of the box as RTF to path; a box that is no
// window or a failed stream leaves the file as it was. The document goes to
// a fresh file in the same folder that replaces path, keeping path's
// attributes; a link is followed, so the file it names gets the document
// and the link stays. Where that route cannot be
// taken (a folder where no new file may be made, a target that another
// program holds open and does not let go of, a device name, a name too long
// for a scratch file beside it, a file with further names), path itself is
// written. A read-only file or a folder is left alone.
void SaveRtf(const RichEdit& box, const char* path) {
    char full[MAX_PATH];
    char* name = nullptr;
    const DWORD length = GetFullPathNameA(path, MAX_PATH, full, &name);
    if (*path == '\0' || length == 0 || length >= MAX_PATH) return;
    const SaveTarget target = Resolve(full);
    const DWORD attributes = GetFileAttributesA(target.path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        return;  // not to be replaced, as opening it for writing would be refused
    if (!target.sharedByLinks && SaveByReplacing(box, target.path, attributes) != Replacing::kClosed) return;
    std::string rtf;
    if (!RtfOf(box, rtf)) return;
    SaveInPlace(target.path, rtf);
}

}  // namespace

// The box loads its window class from "Msftedit.dll" each time. A box that
// is created keeps its load of the library for the rest of the process (the
// platform counts the loads); a failed creation gives its load back.
std::int32_t CVantor::rtCreate(const Call& call) {
    UniqueLibrary library(LoadLibraryA("Msftedit.dll"));
    const HWND box = CreateControl(
        {.className = "RICHEDIT50W",
         .text = "Hello World.",
         .style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_SELECTIONBAR |
                  ES_SAVESEL | ES_WANTRETURN | ES_NOHIDESEL | ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_MULTILINE,
         .hostInstance = false,
         .placeAgain = true},
        call);
    if (box != nullptr) library.release();
    return call.ReturnInteger(HandleValue(box));
}

std::int32_t CVantor::rtBold(const Call& call) {
    ToggleEffect(RichEdit(call.window(1)), CFM_BOLD);
    return call.ReturnInteger(1);
}

std::int32_t CVantor::rtItalic(const Call& call) {
    ToggleEffect(RichEdit(call.window(1)), CFM_ITALIC);
    return call.ReturnInteger(1);
}

std::int32_t CVantor::rtUnderline(const Call& call) {
    ToggleEffect(RichEdit(call.window(1)), CFM_UNDERLINE);
    return call.ReturnInteger(1);
}

std::int32_t CVantor::rtSetTextColor(const Call& call) {
    SetColour(RichEdit(call.window(1)), call.text(2), false);
    return call.ReturnInteger(1);
}

std::int32_t CVantor::rtSetTextBackColor(const Call& call) {
    SetColour(RichEdit(call.window(1)), call.text(2), true);
    return call.ReturnInteger(1);
}

// Argument 2: @LEFT 1, @RIGHT 2, @CENTER 3; any other value goes to the box.
std::int32_t CVantor::rtSetAlignment(const Call& call) {
    const RichEdit box(call.window(1));
    PARAFORMAT2 format{};
    format.dwMask = PFM_ALIGNMENT;
    format.wAlignment = static_cast<WORD>(call.integer(2));
    box.SetParaFormat(format);
    SetFocus(box);
    return call.ReturnInteger(1);
}

std::int32_t CVantor::rtSetBulleted(const Call& call) {
    const RichEdit box(call.window(1));
    ToggleNumbering(box, PFN_BULLET);
    SetFocus(box);
    return call.ReturnInteger(1);
}

// Numbering of type 7 switches on or off; the style (optional argument 2,
// default @nPERIOD) is set on every call, also when numbering went off.
std::int32_t CVantor::rtSetNumbered(const Call& call) {
    constexpr WORD kNumbered = 7;
    const RichEdit box(call.window(1));
    ToggleNumbering(box, kNumbered);
    PARAFORMAT2 format{};
    format.dwMask = PFM_NUMBERINGSTYLE;
    format.wNumberingStyle = static_cast<WORD>(call.optionalInteger(2, PFNS_PERIOD));
    box.SetParaFormat(format);
    SetFocus(box);
    return call.ReturnInteger(1);
}

// Argument 2 is the change of the start indent in twips, read from the
// integer form; a host that fills only the text form (integer 0, text not
// empty) has its number read from the text. The indent never goes below 0.
std::int32_t CVantor::rtIndent(const Call& call) {
    const RichEdit box(call.window(1));
    const std::int32_t change = call.numberInText(2);
    PARAFORMAT2 format{};
    box.GetParaFormat(format);
    const std::int64_t wanted = std::int64_t{format.dxStartIndent} + change;
    const LONG indent = wanted < 0 ? 0 : wanted > INT32_MAX ? INT32_MAX : static_cast<LONG>(wanted);
    format = PARAFORMAT2{};
    format.dwMask = PFM_STARTINDENT;
    format.dxStartIndent = indent;
    box.SetParaFormat(format);
    SetFocus(box);
    return call.ReturnInteger(indent);
}

std::int32_t CVantor::rtSetText(const Call& call) {
    const RichEdit box(call.window(1));
    box.SetText(call.text(2));
    SetFocus(box);
    return call.ReturnInteger(1);
}

// All text takes 11 points, black and the default format's bold setting.
std::int32_t CVantor::rtSetDefaults(const Call& call) {
    const RichEdit box(call.window(1));
    CHARFORMAT2A format{};
    if (box.GetDefaultCharFormat(format) != 0) {
        format.dwMask = CFM_SIZE | CFM_COLOR | CFM_BOLD;
        format.yHeight = 220;
        format.crTextColor = RGB(0, 0, 0);
        box.SetCharFormat(SCF_ALL, format);
    }
    SetFocus(box);
    return call.ReturnInteger(1);
}

// Exactly "+" grows the selection's font by a quarter, any other text
// shrinks it by the same factor (truncated toward zero); the result is the
// height in twips the box then reports.
std::int32_t CVantor::rtFontSizing(const Call& call) {
    const RichEdit box(call.window(1));
    const bool grow = std::string_view(call.text(2)) == "+";
    CHARFORMAT2W current{};  // read through the wide entry, set through the 8-bit one
    if (box.GetSelectionCharFormat(current) != 0) {
        CHARFORMAT2A size{};
        size.dwMask = CFM_SIZE;
        size.yHeight = static_cast<LONG>(grow ? current.yHeight * 1.25 : current.yHeight / 1.25);
        box.SetCharFormat(SCF_SELECTION, size);
    }
    box.GetSelectionCharFormat(current);
    SetFocus(box);
    return call.ReturnInteger(current.yHeight);
}

std::int32_t CVantor::rtZoom(const Call& call) {
    const RichEdit box(call.window(1));
    box.SetZoom(0, 0);
    SetFocus(box);
    return call.ReturnInteger(1);
}

// The text limit is lifted first, so a large file loads whole.
std::int32_t CVantor::rtLoadFileRTF(const Call& call) {
    const RichEdit box(call.window(1));
    box.ExLimitText(-1);
    LoadRtf(box, call.text(2));
    SetFocus(box);
    return call.ReturnInteger(1);
}

// The result is 1 also when the file could not be written; see SaveRtf.
std::int32_t CVantor::rtSaveFileRTF(const Call& call) {
    const RichEdit box(call.window(1));
    box.ExLimitText(-1);
    SaveRtf(box, call.text(2));
    SetFocus(box);
    return call.ReturnInteger(1);
}

// Searches forward from argument 5, ignoring case, for argument 2, which is
// read in the ANSI code page and handed to the box in UTF-16. Arguments 3 and
// 4 are not used. The match is selected and scrolled into view; the result is
// the position just past it, or -1. An empty text finds nothing, and neither
// does a handle that is no window (its answer 0 with an empty range would
// otherwise read as a match at 0, and a script that searches again from the
// result would never reach -1).
std::int32_t CVantor::rtFindText(const Call& call) {
    const RichEdit box(call.window(1));
    const std::wstring wide = WideFromAnsi(call.text(2));
    if (wide.empty()) return call.ReturnInteger(-1);
    FINDTEXTEXW find{};
    find.chrg = {call.integer(5), -1};
    find.lpstrText = wide.c_str();
    if (box.FindTextEx(FR_DOWN, find) < 0 || find.chrgText.cpMax <= find.chrgText.cpMin) return call.ReturnInteger(-1);
    box.ExSetSel(find.chrgText);
    box.ScrollCaret();
    return call.ReturnInteger(find.chrgText.cpMax);
}

}  // namespace vantor
