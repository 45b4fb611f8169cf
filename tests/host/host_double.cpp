#include "tests/host/host_double.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace vantor::testing {

const char HostDouble::kUntouchedText[] = "untouched by the extender";

namespace {

// The doubles of this thread, oldest first; the newest one alive takes the
// message boxes (a suite's double outlives the ones its tests make).
thread_local std::vector<HostDouble*> boxWatchers;
thread_local HHOOK boxHook = nullptr;

// Marks the test's own dialogs, which the box watcher leaves alone.
constexpr char kTestDialog[] = "VantorTestDialog";

INT_PTR CALLBACK PlainDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) SetPropA(dialog, kTestDialog, reinterpret_cast<HANDLE>(1));
    return FALSE;
}

ValueCell IntegerCell(std::int32_t value) {
    ValueCell cell{};
    cell.kind = kIntegerCell;
    cell.intValue = value;
    return cell;
}

}  // namespace

std::string HostDouble::DefaultDllPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path);
    return text.substr(0, text.find_last_of("\\/") + 1) + "vantor44i.dll";
}

HostDouble::HostDouble(const std::string& dllPath) {
    module_ = LoadLibraryA(dllPath.c_str());
    if (module_ == nullptr) throw std::runtime_error("cannot load " + dllPath);
    query_ = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(GetProcAddress(module_, "_KELExtenderQuery@12")));
    dispatch_ = reinterpret_cast<DispatchFn>(reinterpret_cast<void*>(GetProcAddress(module_, "_KELExtender2@40")));
    if (query_ == nullptr || dispatch_ == nullptr) throw std::runtime_error("exports missing");

    services_.hostVersion = 1100;
    services_.hostData = this;
    services_.defineVariable = &OnDefineVariable;
    services_.showMessage = &OnShowMessage;
    services_.variableOperation = &OnVariableOperation;
    instance_ = GetModuleHandleA(nullptr);

    // Negotiate and read the table as the interpreter does.
    std::int32_t offered[] = {3, 4, 5};
    if (Query(2, offered, 3) != 5) throw std::runtime_error("interface 5 refused");
    char displayName[260];
    Query(1, displayName, sizeof displayName);
    const std::int32_t count = Dispatch(-1, nullptr, 0);
    for (std::int32_t i = 0; i < count; ++i) {
        alignas(4) char storage[64] = {};
        auto* record = reinterpret_cast<QueryRecord*>(storage);
        if (Dispatch(-2, record, i) != 1) throw std::runtime_error("entry not described");
        names_.emplace_back(record->name);
    }
    // One hook for the thread, whichever double is newest.
    if (boxWatchers.empty()) boxHook = SetWindowsHookExA(WH_CBT, &OnCbt, nullptr, GetCurrentThreadId());
    boxWatchers.push_back(this);
}

HostDouble::~HostDouble() {
    boxWatchers.erase(std::remove(boxWatchers.begin(), boxWatchers.end(), this), boxWatchers.end());
    if (boxWatchers.empty() && boxHook != nullptr) {
        UnhookWindowsHookEx(boxHook);
        boxHook = nullptr;
    }
    if (module_ != nullptr) FreeLibrary(module_);
}

std::int32_t HostDouble::Query(std::int32_t type, void* values, std::int32_t count) {
    return query_(type, values, count);
}

std::int32_t HostDouble::Dispatch(std::int32_t index, void* args, std::int32_t argCount, ValueCell* result) {
    ValueCell scratch{};
    return dispatch_(owner_, instance_, reinterpret_cast<std::uint32_t>(this), index, &OnResult, &services_, 0, args,
                     argCount, result != nullptr ? result : &scratch);
}

int HostDouble::IndexOf(std::string_view name) const {
    std::string lower(name);
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (names_[i] == lower) return static_cast<int>(i);
    return -1;
}

CallResult HostDouble::Call(std::string_view name, const std::vector<Arg>& args) {
    const int index = IndexOf(name);
    if (index < 0) throw std::runtime_error("no function " + std::string(name));
    return CallIndex(index, args);
}

CallResult HostDouble::CallIndex(int index, const std::vector<Arg>& args) {
    std::vector<ValueCell> cells(args.size() + 1);  // never an empty block
    for (std::size_t i = 0; i < args.size(); ++i) {
        ValueCell& cell = cells[i];
        if (args[i].isText()) {
            cell.kind = kStringCell;
            cell.strValue = args[i].text().c_str();
        } else {
            cell.kind = kIntegerCell;
            cell.intValue = args[i].integer();
            cell.strValue = "";
        }
    }
    CallResult result;
    result.cell.intValue = kUntouchedInteger;
    result.cell.kind = 0;
    result.cell.strValue = kUntouchedText;
    current_ = &result;
    hostValueFilled_ = false;
    result.returned = Dispatch(index, cells.data(), static_cast<std::int32_t>(args.size()), &result.cell);
    current_ = nullptr;
    return result;
}

void HostDouble::FailOperation(std::int32_t opcode, std::int32_t code, int successesFirst) {
    failures_[opcode] = Failure{code, successesFirst};
}

void HostDouble::ClearRecords() {
    shownMessages.clear();
    variables.clear();
    assignments.clear();
    defined.clear();
    messageBoxes.clear();
    hostValuesIssued = 0;
    resultKindAtHostValue = 0;
}

std::int32_t __stdcall HostDouble::OnResult(std::int32_t status, std::uint32_t hostContext, HostServices* services,
                                            ValueCell* result) {
    auto* self = reinterpret_cast<HostDouble*>(hostContext);
    EXPECT_EQ(services, &self->services_) << "the result callback got foreign services";
    CallResult* current = self->current_;
    if (current == nullptr) return 0;
    ++current->callbacks;
    current->status = status;
    if (result != nullptr && result->kind == kStringCell && result->strValue != nullptr)
        current->text = result->strValue;
    return 100 + current->callbacks;  // the extender must hand this back unchanged
}

std::int32_t __cdecl HostDouble::OnDefineVariable(void* hostData, const char* name, ValueCell* value, std::int32_t size,
                                                  std::int32_t flags) {
    auto* self = static_cast<HostDouble*>(hostData);
    EXPECT_EQ(size, 40);
    EXPECT_EQ(flags, 2);
    EXPECT_EQ(value->kind, kIntegerCell);
    self->defined.emplace_back(name, value->intValue);
    return 0;
}

std::int32_t __cdecl HostDouble::OnShowMessage(void* hostData, const char* text) {
    static_cast<HostDouble*>(hostData)->shownMessages.emplace_back(text != nullptr ? text : "");
    return 0;
}

std::int32_t __cdecl HostDouble::OnVariableOperation(void* hostData, ValueCell* target, std::int32_t targetSize, void*,
                                                     std::int32_t, ValueCell* key, std::int32_t keySize,
                                                     ValueCell* value, std::int32_t valueSize, std::int32_t opcode) {
    auto* self = static_cast<HostDouble*>(hostData);
    if (opcode == kFillHostValue && self->current_ != nullptr) self->resultKindAtHostValue = self->current_->cell.kind;
    auto failure = self->failures_.find(opcode);
    if (failure != self->failures_.end()) {
        if (failure->second.successesFirst == 0) return failure->second.code;
        --failure->second.successesFirst;
    }
    EXPECT_EQ(targetSize, 40);
    if (opcode == kFillHostValue) {
        EXPECT_EQ(key, nullptr);
        EXPECT_EQ(value, nullptr);
        *target = IntegerCell(7000 + self->hostValuesIssued++);
        self->hostValue_ = *target;
        self->hostValueFilled_ = true;
        return 0;
    }
    if (opcode == kAssignVariable) {
        // The variable lives in the host value this call was given: the
        // extender passes a copy of that cell, never its result cell.
        if (!self->hostValueFilled_) {
            ADD_FAILURE() << "opcode 7 before the call's host value was filled";
        } else {
            EXPECT_EQ(std::memcmp(target, &self->hostValue_, sizeof(ValueCell)), 0)
                << "opcode 7 was not given a copy of the host value";
        }
        if (self->current_ != nullptr) {
            EXPECT_NE(target, &self->current_->cell) << "opcode 7 was given the result cell";
        }
        EXPECT_EQ(keySize, 40);
        EXPECT_EQ(valueSize, 40);
        EXPECT_EQ(key->kind, kStringCell);
        Variable v;
        v.kind = value->kind;
        if (value->kind == kStringCell) v.text = value->strValue != nullptr ? value->strValue : "";
        else v.integer = value->intValue;
        self->variables[key->strValue] = v;
        self->assignments.emplace_back(key->strValue);
        return 0;
    }
    ADD_FAILURE() << "unexpected variable opcode " << opcode;
    return 1;
}

LRESULT CALLBACK HostDouble::OnCbt(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && !boxWatchers.empty()) {
        HostDouble* const boxWatcher = boxWatchers.back();
        const HWND box = reinterpret_cast<HWND>(wParam);
        char className[32] = {};
        GetClassNameA(box, className, sizeof className);
        if (std::strcmp(className, "#32770") == 0 && GetDlgItem(box, 0xFFFF) != nullptr) {
            char title[512] = {}, text[4096] = {};
            GetWindowTextA(box, title, sizeof title);
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            boxWatcher->messageBoxes.push_back({title, text});
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        } else if (std::strcmp(className, "#32770") == 0 && boxWatcher->cancelDialogs &&
                   GetPropA(box, kTestDialog) == nullptr) {
            // Any other modal dialog (a colour dialog, ...) is cancelled, so
            // that no call waits for a user.
            ++boxWatcher->dialogsCancelled;
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

DialogFixture::DialogFixture(int width, int height) {
    // An in-memory dialog template with no controls: style, position, size.
    struct alignas(4) Template {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } tmpl{};
    tmpl.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    tmpl.header.cx = static_cast<short>(width * 4 / 7);
    tmpl.header.cy = static_cast<short>(height * 8 / 14);
    dialog_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tmpl.header, nullptr, &PlainDialogProc, 0);
    if (dialog_ == nullptr) throw std::runtime_error("cannot create the dialog");
    SetWindowPos(dialog_, HWND_TOP, 0, 0, width, height, SWP_SHOWWINDOW);
    SetForegroundWindow(dialog_);
    SetActiveWindow(dialog_);
    Pump();
}

DialogFixture::~DialogFixture() {
    if (IsWindow(dialog_)) DestroyWindow(dialog_);
    Pump();
}

HWND DialogFixture::AddChild(const char* className, DWORD style, int id, int x, int y, int width, int height,
                             const char* text) {
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, dialog_,
                           reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), GetModuleHandleA(nullptr), nullptr);
}

void DialogFixture::Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

TempFile::TempFile(const std::string& suffix) {
    char folder[MAX_PATH] = {}, name[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, "vt", 0, name);
    DeleteFileA(name);
    path_ = std::string(name) + suffix;
}

TempFile::~TempFile() { DeleteFileA(path_.c_str()); }

void TempFile::Write(const std::string& bytes) const { std::ofstream(path_, std::ios::binary) << bytes; }

std::string TempFile::Read() const {
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

DllCopy::DllCopy() {
    static int made = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "vantor-copy-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++made);
    CreateDirectoryA(folder_.c_str(), nullptr);
    dll_ = folder_ + "\\vantor44i.dll";
    if (!CopyFileA(HostDouble::DefaultDllPath().c_str(), dll_.c_str(), FALSE))
        throw std::runtime_error("cannot copy the DLL to " + dll_);
}

DllCopy::~DllCopy() {
    for (const std::string& file : files_) DeleteFileA(file.c_str());
    DeleteFileA(dll_.c_str());  // fails while the copy is loaded (or pinned)
    RemoveDirectoryA(folder_.c_str());
}

std::string DllCopy::Put(const std::string& name, const std::string& bytes) {
    const std::string path = folder_ + "\\" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    files_.push_back(path);
    return path;
}

std::string BitmapFileBytes(int width, int height, COLORREF colour) {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * height);
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    std::string row(static_cast<std::size_t>(stride), '\0');
    for (int x = 0; x < width; ++x) {
        row[x * 3] = static_cast<char>(GetBValue(colour));
        row[x * 3 + 1] = static_cast<char>(GetGValue(colour));
        row[x * 3 + 2] = static_cast<char>(GetRValue(colour));
    }
    for (int y = 0; y < height; ++y) bytes += row;
    return bytes;
}

// The directory, one entry, the header and both masks, as an .ico file
// holds them.
std::string IconFileBytes() {
    constexpr std::uint32_t kImageBytes = 40 + 16 * 16 * 4 + 16 * 4;
    std::string bytes;
    const auto put16 = [&](std::uint16_t v) { bytes.append(reinterpret_cast<const char*>(&v), 2); };
    const auto put32 = [&](std::uint32_t v) { bytes.append(reinterpret_cast<const char*>(&v), 4); };
    put16(0), put16(1), put16(1);                            // ICONDIR: an icon, one image
    bytes += std::string{16, 16, 0, 0};                      // width, height, colours, reserved
    put16(1), put16(32), put32(kImageBytes), put32(6 + 16);  // planes, bits, size, offset
    put32(40), put32(16), put32(32), put16(1), put16(32);    // BITMAPINFOHEADER, XOR + AND high
    put32(BI_RGB), put32(0), put32(0), put32(0), put32(0), put32(0);
    for (int i = 0; i < 16 * 16; ++i) put32(0xFF2080E0);  // opaque orange
    bytes += std::string(16 * 4, '\0');                   // AND mask: all shown
    return bytes;
}

std::string AviFileBytes(std::uint32_t width, std::uint32_t height, const std::vector<std::string>& frames) {
    auto u32 = [](std::string& s, std::uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](std::string& s, std::uint16_t v) { s.append(reinterpret_cast<const char*>(&v), 2); };
    auto chunk = [&](const char* id, const std::string& body) {
        std::string c(id, 4);
        u32(c, static_cast<std::uint32_t>(body.size()));
        c += body;
        if (body.size() % 2 != 0) c += '\0';
        return c;
    };
    auto list = [&](const char* type, const std::string& body) { return chunk("LIST", std::string(type, 4) + body); };
    const std::uint32_t frameBytes = ((width * 3 + 3) & ~3u) * height;
    const auto count = static_cast<std::uint32_t>(frames.size());

    std::string avih;
    for (std::uint32_t v : {100000u, frameBytes * 10, 0u, 0x10u /* has index */, count, 0u, 1u, frameBytes, width,
                            height, 0u, 0u, 0u, 0u})
        u32(avih, v);
    std::string strh = "vidsDIB ";
    u32(strh, 0);
    u16(strh, 0);
    u16(strh, 0);
    for (std::uint32_t v : {0u, 1u, 10u, 0u, count, frameBytes, 0xFFFFFFFFu, 0u}) u32(strh, v);
    for (std::uint16_t v : {std::uint16_t(0), std::uint16_t(0), std::uint16_t(width), std::uint16_t(height)})
        u16(strh, v);
    std::string strf;
    for (std::uint32_t v : {40u, width, height}) u32(strf, v);
    u16(strf, 1);
    u16(strf, 24);
    for (std::uint32_t v : {0u, frameBytes, 0u, 0u, 0u, 0u}) u32(strf, v);

    std::string movi, idx1;
    for (const std::string& frame : frames) {
        u32(idx1, 0x62643030);  // "00db"
        u32(idx1, 0x10);        // key frame
        u32(idx1, static_cast<std::uint32_t>(4 + movi.size()));
        u32(idx1, frameBytes);
        std::string bytes = frame;
        bytes.resize(frameBytes, '\0');
        movi += chunk("00db", bytes);
    }
    const std::string body =
        list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf))) +
        list("movi", movi) + chunk("idx1", idx1);
    std::string file = "RIFF";
    u32(file, static_cast<std::uint32_t>(4 + body.size()));
    return file + "AVI " + body;
}

}  // namespace vantor::testing
