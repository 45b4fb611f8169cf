// A host double: loads the extender by path as the script interpreter does,
// negotiates, reads the table, and calls script functions by name through
// real 40-byte value cells. It records what the extender delivers, the
// services it asks for, and every message box it shows.
#pragma once

#include "host/handles.h"
#include "host/records.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vantor::testing {

// One script argument: an integer (or a window handle) or a text.
class Arg {
public:
    Arg(std::int32_t value) : value_(value) {}
    Arg(HWND window) : value_(HandleValue(window)) {}
    Arg(const char* text) : value_(std::string(text)) {}
    Arg(std::string text) : value_(std::move(text)) {}
    bool isText() const { return std::holds_alternative<std::string>(value_); }
    std::int32_t integer() const { return isText() ? 0 : std::get<std::int32_t>(value_); }
    const std::string& text() const { return std::get<std::string>(value_); }

private:
    std::variant<std::int32_t, std::string> value_;
};

// What one call delivered.
struct CallResult {
    std::int32_t returned = 0;  // what the export returned to the host
    int callbacks = 0;          // how often the result callback ran
    std::int32_t status = 0;    // status of the last callback
    ValueCell cell{};           // the result cell after the call
    std::string text;           // strValue as the callback saw it (kind 2)

    bool delivered() const { return callbacks > 0; }
    std::int32_t integer() const { return cell.intValue; }
};

// A variable the extender assigned (opcode 7) or defined.
struct Variable {
    std::int32_t kind = 0;
    std::int32_t integer = 0;
    std::string text;
};

struct MessageBoxSeen {
    std::string title;
    std::string text;
};

class HostDouble {
public:
    // Sentinels the host leaves in the result cell before each call.
    static constexpr std::int32_t kUntouchedInteger = 0x1234;
    static const char kUntouchedText[];

    explicit HostDouble(const std::string& dllPath = DefaultDllPath());
    ~HostDouble();
    HostDouble(const HostDouble&) = delete;
    HostDouble& operator=(const HostDouble&) = delete;

    static std::string DefaultDllPath();  // vantor44i.dll next to the test program

    HMODULE module() const { return module_; }

    // The raw exports.
    std::int32_t Query(std::int32_t type, void* values, std::int32_t count);
    std::int32_t Dispatch(std::int32_t index, void* args, std::int32_t argCount, ValueCell* result = nullptr);

    // The table as read at load: lower-cased names in table order.
    const std::vector<std::string>& names() const { return names_; }
    int IndexOf(std::string_view name) const;  // -1 when absent; any case

    CallResult Call(std::string_view name, const std::vector<Arg>& args = {});
    CallResult CallIndex(int index, const std::vector<Arg>& args);

    // The host's window and instance handed to every call.
    void SetOwner(HWND owner) { owner_ = owner; }
    void SetInstance(HINSTANCE instance) { instance_ = instance; }
    void SetHostVersion(std::uint32_t version) { services_.hostVersion = version; }

    // Makes variableOperation with opcode return code (instead of 0) once
    // `successesFirst` further calls with that opcode have succeeded.
    void FailOperation(std::int32_t opcode, std::int32_t code, int successesFirst = 0);
    void ClearFailures() { failures_.clear(); }

    // Recorded services.
    std::vector<std::string> shownMessages;
    std::map<std::string, Variable> variables;                  // opcode 7, by name
    std::vector<std::string> assignments;                       // opcode 7 names, in order
    std::vector<std::pair<std::string, std::int32_t>> defined;  // defineVariable, in order
    int hostValuesIssued = 0;                                   // opcode 3 calls that succeeded
    std::int32_t resultKindAtHostValue = 0;                     // kind of the call's result cell when opcode 3 came
    std::vector<MessageBoxSeen> messageBoxes;
    // Other modal dialogs the extender opened, cancelled as they came up
    // (while cancelDialogs is set).
    bool cancelDialogs = true;
    int dialogsCancelled = 0;

    void ClearRecords();

    // The services record the extender is handed, for tests of the double itself.
    HostServices& services() { return services_; }

private:
    struct Failure {
        std::int32_t code;
        int successesFirst;
    };

    static std::int32_t __stdcall OnResult(std::int32_t status, std::uint32_t hostContext, HostServices* services,
                                           ValueCell* result);
    static std::int32_t __cdecl OnDefineVariable(void* hostData, const char* name, ValueCell* value, std::int32_t size,
                                                 std::int32_t flags);
    static std::int32_t __cdecl OnShowMessage(void* hostData, const char* text);
    static std::int32_t __cdecl OnVariableOperation(void* hostData, ValueCell* target, std::int32_t targetSize,
                                                    void* unused1, std::int32_t unused2, ValueCell* key,
                                                    std::int32_t keySize, ValueCell* value, std::int32_t valueSize,
                                                    std::int32_t opcode);
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam);

    using QueryFn = std::int32_t(__stdcall*)(std::int32_t, void*, std::int32_t);
    using DispatchFn = std::int32_t(__stdcall*)(HWND, HINSTANCE, std::uint32_t, std::int32_t, ResultCallback,
                                                HostServices*, std::int32_t, void*, std::int32_t, ValueCell*);

    HMODULE module_ = nullptr;
    QueryFn query_ = nullptr;
    DispatchFn dispatch_ = nullptr;
    HWND owner_ = nullptr;
    HINSTANCE instance_ = nullptr;
    HostServices services_{};
    std::vector<std::string> names_;
    std::map<std::int32_t, Failure> failures_;
    CallResult* current_ = nullptr;
    // The host value opcode 3 filled during the current call: opcode 7 must
    // be given a copy of it.
    ValueCell hostValue_{};
    bool hostValueFilled_ = false;
};

// A real top-level dialog, shown and in the foreground, for control tests.
class DialogFixture {
public:
    DialogFixture(int width = 640, int height = 480);
    ~DialogFixture();
    DialogFixture(const DialogFixture&) = delete;
    DialogFixture& operator=(const DialogFixture&) = delete;

    HWND hwnd() const { return dialog_; }
    // A child control of the dialog; destroyed with it.
    HWND AddChild(const char* className, DWORD style, int id = 0, int x = 10, int y = 10, int width = 200,
                  int height = 24, const char* text = "");
    // Handles the messages waiting for this thread.
    static void Pump();

private:
    HWND dialog_ = nullptr;
};

// A file in the temporary folder, deleted when the owner goes.
class TempFile {
public:
    explicit TempFile(const std::string& suffix);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return path_; }
    void Write(const std::string& bytes) const;
    std::string Read() const;

private:
    std::string path_;
};

// A copy of the DLL in a folder of its own: a module of its own with fresh
// state (the library pins itself once it subclasses a control, so the
// process-wide state of the default DLL outlives each test). Files put
// beside the copy go with the folder.
class DllCopy {
public:
    DllCopy();
    ~DllCopy();
    DllCopy(const DllCopy&) = delete;
    DllCopy& operator=(const DllCopy&) = delete;
    const std::string& dll() const { return dll_; }
    // Writes a file of that name beside the copy; gives its path.
    std::string Put(const std::string& name, const std::string& bytes);

private:
    std::string folder_, dll_;
    std::vector<std::string> files_;
};

// The bytes of a bottom-up 24-bit bitmap file of one colour (0x00BBGGRR).
std::string BitmapFileBytes(int width, int height, COLORREF colour);

// The bytes of an .ico file holding one opaque orange 16x16 icon of 32 bits.
std::string IconFileBytes();

// The bytes of an uncompressed AVI clip of width x height pixels: one frame
// per picture, each the bottom-up rows of a 24-bit bitmap (rows padded to 4
// bytes), shown ten frames a second.
std::string AviFileBytes(std::uint32_t width, std::uint32_t height, const std::vector<std::string>& frames);

}  // namespace vantor::testing
