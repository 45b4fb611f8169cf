// Platform calls inside the library that fail: each is made to fail through
// the library's import table (the rest of the process is left alone), and
// the script must get the documented failure result, not a result built
// on what the failed call did not deliver.
#include "events/core/event_engine.h"
#include "tests/host/dialog_test.h"
#include "tests/host/host_double.h"
#include "tests/host/import_patch.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <string>

using namespace vantor;
using namespace vantor::testing;

namespace {

int calls = 0;  // calls of the failing replacement in the current test

using ConversionFn = int(WINAPI*)(UINT, DWORD, LPCCH, int, LPWSTR, int);
ConversionFn realConversion = nullptr;

// Answers the question of size, fails the conversion itself.
int WINAPI ConversionThatFails(UINT codePage, DWORD flags, LPCCH text, int length, LPWSTR out, int room) {
    if (out == nullptr || room == 0) return realConversion(codePage, flags, text, length, out, room);
    ++calls;
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
}

BOOL WINAPI AttributesRefused(LPCSTR, DWORD) {
    ++calls;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

UINT WINAPI NoHeader(HENHMETAFILE, UINT, LPENHMETAHEADER) {
    ++calls;
    return 0;
}

HRESULT creationAnswer = S_OK;
HRESULT WINAPI CreationFails(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID* made) {
    ++calls;
    *made = nullptr;
    return creationAnswer;
}

class PlatformResults : public DialogTest {
protected:
    void SetUp() override { calls = 0; }

    HWND Box() {
        const HWND box = Handle(host.Call("rtCreate", {dialog.hwnd(), 10, 10, 300, 200, 0}));
        EXPECT_TRUE(IsWindow(box));
        SetWindowTextA(box, "before after");
        return box;
    }
};

TEST_F(PlatformResults, FindTextWhoseConversionFailsFindsNothing) {
    const HWND box = Box();
    SendMessageA(box, EM_SETSEL, 0, 0);
    {
        ImportPatch patch(host.module(), "MultiByteToWideChar", reinterpret_cast<void*>(&ConversionThatFails));
        ASSERT_TRUE(patch.patched());
        realConversion = patch.original<ConversionFn>();
        const CallResult r = host.Call("rtFindText", {box, "after", 0, 0, 0});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.integer(), -1);
    }
    EXPECT_EQ(calls, 1);
    CHARRANGE selection{};
    SendMessageA(box, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    EXPECT_EQ(selection.cpMin, 0);
    EXPECT_EQ(selection.cpMax, 0) << "nothing selected";
    EXPECT_EQ(host.Call("rtFindText", {box, "after", 0, 0, 0}).integer(), 12) << "found once it converts";
}

// A fresh file that cannot take the target's attributes does not replace
// it: the target itself is written and stays hidden; no scratch file stays.
TEST_F(PlatformResults, SaveWhoseAttributesCannotBeSetWritesInPlace) {
    const HWND box = Box();
    const TempFile file(".rtf");
    file.Write("older content");
    ASSERT_TRUE(SetFileAttributesA(file.path().c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    const std::string folder = file.path().substr(0, file.path().find_last_of('\\') + 1);
    const auto scratchFiles = [&] {
        int found = 0;
        WIN32_FIND_DATAA data;
        const HANDLE search = FindFirstFileA((folder + "vrt*.tmp").c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) return 0;
        do ++found;
        while (FindNextFileA(search, &data));
        FindClose(search);
        return found;
    };
    const int scratchBefore = scratchFiles();
    {
        ImportPatch patch(host.module(), "SetFileAttributesA", reinterpret_cast<void*>(&AttributesRefused));
        ASSERT_TRUE(patch.patched());
        EXPECT_EQ(host.Call("rtSaveFileRTF", {box, file.path()}).integer(), 1);
    }
    EXPECT_EQ(calls, 1);
    const DWORD attributes = GetFileAttributesA(file.path().c_str());
    SetFileAttributesA(file.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(attributes & FILE_ATTRIBUTE_HIDDEN, static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    const std::string saved = file.Read();
    EXPECT_EQ(saved.rfind("{\\rtf", 0), 0u) << saved.substr(0, 40);
    EXPECT_NE(saved.find("before after"), std::string::npos);
    EXPECT_EQ(scratchFiles(), scratchBefore);
}

TEST_F(PlatformResults, PictureWithoutMetafileHeaderIsNotEmbedded) {
    const HWND box = Box();
    const TempFile picture(".bmp");
    picture.Write(BitmapFileBytes(30, 20, RGB(10, 200, 10)));
    {
        ImportPatch patch(host.module(), "GetEnhMetaFileHeader", reinterpret_cast<void*>(&NoHeader));
        ASSERT_TRUE(patch.patched());
        const CallResult r = host.Call("imEmbedImage", {box, picture.path()});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.integer(), 0);
    }
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(GetWindowTextLengthA(box), 12) << "nothing inserted";
    EXPECT_TRUE(host.messageBoxes.empty()) << "the file decoded; no File Open Error";
}

// The imaging component out of memory is a reported error; missing, the
// file cannot be decoded ("File Open Error", 0), as before.
TEST_F(PlatformResults, ImagingComponentThatCannotBeMade) {
    const HWND box = Box();
    const TempFile picture(".bmp");
    picture.Write(BitmapFileBytes(30, 20, RGB(10, 200, 10)));
    ImportPatch patch(host.module(), "CoCreateInstance", reinterpret_cast<void*>(&CreationFails));
    ASSERT_TRUE(patch.patched());

    creationAnswer = E_OUTOFMEMORY;
    const CallResult exhausted = host.Call("imEmbedImage", {box, picture.path()});
    EXPECT_EQ(exhausted.callbacks, 1);
    EXPECT_EQ(exhausted.status, -1);
    EXPECT_EQ(exhausted.text, "20101: System error.");
    EXPECT_TRUE(host.messageBoxes.empty());

    creationAnswer = REGDB_E_CLASSNOTREG;
    const CallResult missing = host.Call("imEmbedImage", {box, picture.path()});
    EXPECT_EQ(missing.status, 0);
    EXPECT_EQ(missing.integer(), 0);
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].title, "File Open Error");
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(GetWindowTextLengthA(box), 12);
}

// A host that hands over no services record: the event functions ask
// nothing of it. Arming works; a poll finds the host too old (201040).
struct Delivered {
    int callbacks = 0;
    std::int32_t status = 0;
};
Delivered delivered;
std::int32_t __stdcall Record(std::int32_t status, std::uint32_t, HostServices*, ValueCell*) {
    ++delivered.callbacks;
    delivered.status = status;
    return 0;
}

TEST_F(PlatformResults, EventsWithoutHostServices) {
    using DispatchFn = std::int32_t(__stdcall*)(HWND, HINSTANCE, std::uint32_t, std::int32_t, ResultCallback,
                                                HostServices*, std::int32_t, void*, std::int32_t, ValueCell*);
    const auto dispatch =
        reinterpret_cast<DispatchFn>(reinterpret_cast<void*>(GetProcAddress(host.module(), "_KELExtender2@40")));
    ASSERT_NE(dispatch, nullptr);
    const HWND edit = dialog.AddChild("EDIT", WS_BORDER, 101);
    const std::string list = "field," + std::to_string(HandleValue(edit));
    ValueCell args[5]{};
    const std::int32_t numbers[] = {HandleValue(dialog.hwnd()), evdeOnEnter, 1, 0, 1};
    for (int i = 0; i < 5; ++i) {
        args[i].kind = kIntegerCell;
        args[i].intValue = numbers[i];
        args[i].strValue = "";
    }
    args[3].kind = kStringCell;
    args[3].strValue = list.c_str();
    ValueCell result{};
    delivered = {};
    dispatch(dialog.hwnd(), nullptr, 0, host.IndexOf("evDialogProcOptions"), &Record, nullptr, 0, args, 5, &result);
    EXPECT_EQ(delivered.callbacks, 1);
    EXPECT_EQ(delivered.status, 0);
    EXPECT_EQ(result.intValue, 1);

    delivered = {};
    result = ValueCell{};
    dispatch(dialog.hwnd(), nullptr, 0, host.IndexOf("evProcessEvents"), &Record, nullptr, 0, args, 0, &result);
    EXPECT_EQ(delivered.callbacks, 1);
    EXPECT_EQ(delivered.status, -1);
    ASSERT_EQ(result.kind, kStringCell);
    EXPECT_STREQ(result.strValue, "201040: This extender function requires KEL DLL version 6.21bub or newer");

    host.Call("evDialogProcOptions", {dialog.hwnd(), evdeOnEnter, 0});  // disarmed again
}

}  // namespace
