// The script functions of the dialog event engine: evDialogProcOptions arms
// and disarms events, evProcessEvents polls the dialog and hands the script
// one event at a time. The engine's decisions live in events/core; this file
// gives it the windows of the script's thread and the services of the host.
#include "events/core/event_engine.h"
#include "host/arguments.h"
#include "host/vantor.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vantor {

static_assert(kShiftKey == VK_SHIFT && kControlKey == VK_CONTROL && kAltKey == VK_MENU && kCapsLockKey == VK_CAPITAL);

namespace {

// The windows of the script's thread. Under a window server every query is
// a round trip, so each piece of state is fetched with one call.
class ThreadWindows final : public EventPlatform {
public:
    void Sample(Snapshot& now, unsigned parts) override {
        if (parts & kSampleFocusAndActive) {
            // The thread's focus and active window together, as GetFocus and
            // GetActiveWindow report them (the call fills all but the size).
            GUITHREADINFO info;
            info.cbSize = sizeof info;
            if (GetGUIThreadInfo(GetCurrentThreadId(), &info)) {
                now.focus = HandleValue(info.hwndFocus);
                now.active = HandleValue(info.hwndActive);
            } else {
                now.focus = HandleValue(GetFocus());
                now.active = HandleValue(GetActiveWindow());
            }
        }
        if (parts & kSampleForeground) now.foreground = HandleValue(GetForegroundWindow());
        if (parts & kSampleKeys) {
            // All 256 keys at once; each byte says what GetKeyState says of
            // its key (bit 7 down, bit 0 toggled on).
            if (!GetKeyboardState(now.keys.data())) now.keys.fill(0);
        }
    }

    std::int32_t DialogItemId(std::int32_t window) override { return GetDlgCtrlID(HandleFrom<HWND>(window)); }

    // A handle that is not a window (0 included: GetTopWindow(0) would walk
    // the desktop's top-level windows) has no children.
    std::vector<std::int32_t> Children(std::int32_t dialog) override {
        std::vector<std::int32_t> found;
        const HWND parent = HandleFrom<HWND>(dialog);
        if (!IsWindow(parent)) return found;
        for (HWND child = GetTopWindow(parent); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
            found.push_back(HandleValue(child));
        return found;
    }
};

// The host services of the current call, and the value the host supplies
// for evProcessEvents to deliver. A host that hands over no services record,
// or one without the variable operation, counts as too old to take the
// published variables (version 0); nothing is asked of it.
class CallHost final : public EventHost {
public:
    explicit CallHost(const Call& call)
        : call_(call),
          services_(call.Services()),
          version_(services_ != nullptr && services_->variableOperation != nullptr ? services_->hostVersion : 0) {}

    std::uint32_t Version() override { return version_; }
    void ShowMessage(const char* text) override { call_.ShowHostMessage(text); }

    int FillHostCell() override {
        if (ValueCell* result = call_.ResultCell()) result->kind = kHostValueCell;
        return VariableOperation(&hostCell_, nullptr, nullptr, kFillHostValue);
    }

    int Assign(const char* name, std::int32_t value) override {
        ValueCell cell{};
        cell.kind = kIntegerCell;
        cell.intValue = value;
        return Store(name, cell);
    }
    int Assign(const char* name, const std::string& text) override {
        ValueCell cell{};
        cell.kind = kStringCell;
        cell.strValue = text.c_str();
        return Store(name, cell);
    }

    void DefineVariable(const char* name, std::int32_t value) override {
        ValueCell cell{};
        cell.kind = kIntegerCell;
        cell.intValue = value;
        if (services_ != nullptr && services_->defineVariable != nullptr)
            services_->defineVariable(services_->hostData, name, &cell, sizeof(ValueCell), 2);
    }

    const ValueCell& hostCell() const { return hostCell_; }

private:
    // Stores value under name in (a copy of) the host's value.
    int Store(const char* name, ValueCell& value) {
        ValueCell target = hostCell_;
        ValueCell key{};
        key.kind = kStringCell;
        key.strValue = name;
        return VariableOperation(&target, &key, &value, kAssignVariable);
    }

    // The host's variable operation on cells (a null cell goes with size
    // 0); a host too old for it ends the call with 201040.
    int VariableOperation(ValueCell* target, ValueCell* key, ValueCell* value, VariableOpcode opcode) {
        if (version_ == 0) throw CUserException(kHostTooOld);
        constexpr auto size = [](const ValueCell* cell) {
            return cell != nullptr ? std::int32_t{sizeof(ValueCell)} : 0;
        };
        return services_->variableOperation(services_->hostData, target, size(target), nullptr, 0, key, size(key),
                                            value, size(value), opcode);
    }

    const Call& call_;
    HostServices* services_;
    std::uint32_t version_;  // read once per call: every poll asks it
    ValueCell hostCell_{};   // filled once: a CallHost serves one call
};

// The engine's state: once per loaded library, released at unload.
EventEngine theEngine;

}  // namespace

// evDialogProcOptions(dialog, event, mode [, list [, defineKeyNames]]) -> 1
//
// A list item that names no control handle, or an extra key that is not a
// decimal number in the 32-bit range, fails the call before anything
// changes (extra keys are read, and so checked, only while the key table is
// still empty): the host shows a text naming the item, then the call delivers
// "20101: System error." with status -1.
std::int32_t CVantor::evDialogProcOptions(const Call& call) {
    ThreadWindows windows;
    CallHost host(call);
    theEngine.RegisterEvent({.dialog = call.integer(1),
                             .event = call.integer(2),
                             .mode = call.integer(3),
                             .list = call.text(4),
                             .defineKeyNames = call.optionalInteger(5, 0)},
                            windows, host);
    return call.ReturnInteger(1);
}

// evProcessEvents() -> the host's value; the head event is published as the
// variables DHandle ... VK_ALT.
//
// An old host fails as 201040, a refusing host operation as 201001 + its
// code (both through the dispatcher's guard, like anything thrown, such as
// memory exhaustion, shown and delivered as 201001); nothing armed gives
// the empty error text.
std::int32_t CVantor::evProcessEvents(const Call& call) {
    ThreadWindows windows;
    CallHost host(call);
    // The first query is made here, inlined, not through the engine: under
    // WoW64 each frame a platform call returns through costs, and scripts
    // poll in a tight loop.
    Snapshot now(Snapshot::KeysUnwritten{});
    windows.Sample(now, theEngine.PartsToSample());
    const PollOutcome outcome = theEngine.Poll(now, windows, host);
    switch (outcome.end) {
        case PollOutcome::End::Delivered: break;
        case PollOutcome::End::NoEvents: return call.ReturnError(0);
        case PollOutcome::End::HostTooOld: throw CUserException(kHostTooOld);
        case PollOutcome::End::HostCode: throw HostCodeError(outcome.hostCode);
    }
    return call.ReturnCell(host.hostCell());
}

}  // namespace vantor
