// Drives the event engine through arbitrary sequences of registrations and
// polls over changing focus, active window, foreground and keys, with host
// refusals, and checks what every poll must do: end as the engine's state
// says, publish whole events in the fixed variable order, publish only
// events that can have happened, and raise nothing when nothing changed.
#include "events/core/event_engine.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace vantor;

void check(bool holds) {
    if (!holds) std::abort();
}

constexpr std::int32_t kDialog = 7;
constexpr std::int32_t kOtherWindow = 8;
const std::int32_t kWindows[] = {0, 1, 2, 3, 4, kDialog, kOtherWindow};
const std::int32_t kKeys[] = {kShiftKey, kControlKey, kAltKey, 0x41, 0x70, 0x0D, 0x31, 0x60};
const char* const kNames[] = {"DHandle",    "DCHwnd", "DCtrl",   "DCName",  "DMsg",  "DEInfo",
                              "ChangeInfo", "VK_KEY", "VK_CTRL", "VK_SHFT", "VK_ALT"};

struct Bytes {
    const std::uint8_t* data;
    std::size_t size;
    std::uint8_t next() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
};

struct Windows final : EventPlatform {
    Snapshot state;
    void Sample(Snapshot& now, unsigned parts) override {
        if (parts & kSampleFocusAndActive) now.focus = state.focus, now.active = state.active;
        if (parts & kSampleForeground) now.foreground = state.foreground;
        if (parts & kSampleKeys) now.keys = state.keys;
    }
    std::int32_t DialogItemId(std::int32_t window) override { return window + 100; }
    std::vector<std::int32_t> Children(std::int32_t dialog) override {
        return dialog == kDialog ? std::vector<std::int32_t>{1, 2, 3} : std::vector<std::int32_t>{};
    }
};

struct Assigned {
    std::string name;
    std::int32_t value = 0;
    std::string text;
};

struct Host final : EventHost {
    std::uint32_t hostVersion = 1100;
    int fillFailure = 0;        // code opcode 3 answers once, 0 for success
    int assignFailsAfter = -1;  // assignments that succeed before one is refused; -1 never
    std::vector<Assigned> assigned;
    std::uint32_t Version() override { return hostVersion; }
    void ShowMessage(const char*) override {}
    int FillHostCell() override { return std::exchange(fillFailure, 0); }
    int Assign(const char* name, std::int32_t value) override { return record({name, value, {}}); }
    int Assign(const char* name, const std::string& text) override { return record({name, 0, text}); }
    void DefineVariable(const char*, std::int32_t) override {}
    int record(Assigned a) {
        if (assignFailsAfter == 0) {
            assignFailsAfter = -1;
            return 5;
        }
        if (assignFailsAfter > 0) --assignFailsAfter;
        assigned.push_back(std::move(a));
        return 0;
    }
};

void Register(EventEngine& engine, Windows& windows, Host& host, Bytes& in) {
    const std::int32_t events[] = {evdeOnEnter, evdeOnExit, evdeOnKeyPress, evdeOnGainFocus, evdeOnLoseFocus};
    const std::int32_t modes[] = {1, 0, -1, -2, 2};
    const std::uint8_t b = in.next();
    Registration call;
    call.dialog = (b & 0x80) ? kOtherWindow : kDialog;
    call.event = events[b % 5];
    call.mode = modes[(b >> 3) % 5];
    call.defineKeyNames = (b >> 6) & 1;
    std::string list;
    const int items = in.next() % 4;
    for (int i = 0; i < items; ++i) {
        const std::uint8_t item = in.next();
        if (call.event == evdeOnKeyPress) list += std::to_string(kKeys[item % 8]) + "|";
        else
            list += std::string(1, static_cast<char>('a' + item % 3)) + "," + std::to_string(kWindows[item % 7]) + "\t";
    }
    call.list = list;
    try {
        engine.RegisterEvent(call, windows, host);
    } catch (const std::exception&) {
        check(false);  // every list built here is well formed
    }
    check(engine.waitingEvents() == 0);
    check(engine.HoldsInvariants());
}

bool Watched(const EventEngine& engine, std::int32_t handle, const std::string& name) {
    return std::ranges::any_of(engine.watchedControls(),
                               [&](const WatchedControl& c) { return c.controlHandle == handle && c.name == name; });
}

// One poll and the promises that hold for it; returns whether it delivered.
bool Poll(EventEngine& engine, Windows& windows, Host& host, bool injected) {
    const std::size_t queued = engine.waitingEvents();
    host.assigned.clear();
    const bool tooOld = host.hostVersion < kRequiredHostVersion;
    const bool armed = engine.IsArmed(evdeOnKeyPress) || engine.IsArmed(evdeOnEnter) || engine.IsArmed(evdeOnExit);
    const PollOutcome outcome = engine.Poll(windows, host);

    if (tooOld) check(outcome.end == PollOutcome::End::HostTooOld);
    else if (!armed) check(outcome.end == PollOutcome::End::NoEvents);
    else check(outcome.end == PollOutcome::End::Delivered || (injected && outcome.end == PollOutcome::End::HostCode));
    if (outcome.end == PollOutcome::End::HostCode)
        check(outcome.hostCode == 5 || (outcome.hostCode >= 1 && outcome.hostCode <= 3));

    // Whole events in the fixed order; at most two per poll.
    const std::size_t n = host.assigned.size();
    check(n <= 22);
    if (outcome.end == PollOutcome::End::Delivered) check(n % 11 == 0);
    for (std::size_t i = 0; i < n; ++i) check(host.assigned[i].name == kNames[i % 11]);
    for (std::size_t e = 0; e + 11 <= n; e += 11) {
        const Assigned* v = &host.assigned[e];
        const std::int32_t code = v[4].value;
        check(code == evdeOnEnter || code == evdeOnExit || code == evdeOnKeyPress || code == evdeOnGainFocus ||
              code == evdeOnLoseFocus);
        check(v[5].value == 0 && v[6].value == 0);
        check(v[8].value == 0 || v[8].value == 1);
        check(v[9].value == 0 || v[9].value == 1);
        check(v[10].value == 0 || v[10].value == 1);
        const std::int32_t key = v[7].value;
        check(key == 0 || std::ranges::find(engine.polledKeys(), key) != engine.polledKeys().end());
        if (code == evdeOnEnter || code == evdeOnExit) check(Watched(engine, v[1].value, v[3].text));
        const std::int32_t dialog = engine.foregroundDialog();
        if (code == evdeOnGainFocus) check(v[1].value == dialog && v[0].value == dialog);
        if (code == evdeOnLoseFocus) check(v[1].value != dialog && v[0].value == dialog);
        if (code != evdeOnEnter && code != evdeOnExit) check(v[3].text.empty());
    }
    // A poll raises at most a dialog focus event, a key event, an exit per
    // entered control and one enter per entry of the focused control.
    check(engine.waitingEvents() <= queued + 2 + 2 * engine.watchedControls().size());
    check(engine.HoldsInvariants());
    return outcome.end == PollOutcome::End::Delivered;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in{data, size};
    EventEngine engine;
    Windows windows;
    Host host;
    windows.state.active = kDialog;
    for (int step = 0; step < 24 && in.size > 0; ++step) {
        const std::uint8_t op = in.next();
        switch (op % 8) {
            case 0: Register(engine, windows, host, in); break;
            case 1: host.hostVersion = (op & 0x80) ? 1000 : 1100; break;
            case 2: {
                const std::uint8_t b = in.next();
                if (b & 1) host.fillFailure = 1 + (b >> 1) % 3;
                else host.assignFailsAfter = b % 23;
                break;
            }
            default: {
                const std::uint8_t w = in.next(), k = in.next();
                windows.state.focus = kWindows[w % 7];
                windows.state.active = (w & 0x80) ? kOtherWindow : kDialog;
                windows.state.foreground = kWindows[(w >> 3) % 7];
                windows.state.keys = {};
                if (k & 0x80) windows.state.keys[kCapsLockKey] = kKeyToggled;
                if (k & 0x40) windows.state.keys[kKeys[k % 8]] = kKeyDown;
                if (k & 0x20) windows.state.keys[kKeys[(k >> 3) % 8]] = kKeyDown;
                const bool injected = host.fillFailure != 0 || host.assignFailsAfter >= 0;
                const bool delivered = Poll(engine, windows, host, injected);
                // The same state again, with the host taking everything: nothing new is raised.
                if (delivered && (op & 0x10) && host.fillFailure == 0 && host.assignFailsAfter < 0) {
                    const std::size_t before = engine.waitingEvents();
                    Poll(engine, windows, host, false);
                    check(engine.waitingEvents() <= before);
                }
            }
        }
    }
    return 0;
}
