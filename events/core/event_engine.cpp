#include "events/core/event_engine.h"

#include "events/core/event_lists.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace vantor {

namespace {

constexpr std::int32_t kDialogItemOffset = 99;

// The dialog item identifier as scripts number controls, wrapping around in
// 32 bits rather than overflowing.
std::int32_t ControlNumber(std::int32_t DialogItemId) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(DialogItemId) -
                                     static_cast<std::uint32_t>(kDialogItemOffset));
}

bool Down(const KeyState& keys, std::int32_t code) { return keys[code] & kKeyDown; }

// Four keys' bytes at once.
std::uint32_t FourKeys(const KeyState& keys, std::size_t first) {
    std::uint32_t four;
    std::memcpy(&four, keys.data() + first, sizeof four);
    return four;
}

// Whether any key at all is down, sixteen keys a step: the usual poll finds
// none and need not look up the polled keys one by one.
bool AnyKeyDown(const KeyState& keys) {
    std::uint32_t a = 0, b = 0, c = 0, d = 0;
    for (std::size_t i = 0; i < keys.size(); i += 16) {
        a |= FourKeys(keys, i);
        b |= FourKeys(keys, i + 4);
        c |= FourKeys(keys, i + 8);
        d |= FourKeys(keys, i + 12);
    }
    return ((a | b) | (c | d)) & (0x01010101u * kKeyDown);
}

PollOutcome Delivered() { return {}; }
PollOutcome HostFailure(int code) { return {PollOutcome::End::HostCode, code}; }

}  // namespace

// ---------------------------------------------------------------------------
// Registration (evDialogProcOptions)

namespace {

bool IsControlFocusEvent(std::int32_t event) { return event == evdeOnEnter || event == evdeOnExit; }
bool IsDialogFocusEvent(std::int32_t event) { return event == evdeOnGainFocus || event == evdeOnLoseFocus; }
// The call's mode, as a switch and as the keys chosen.
SwitchMode Switching(const Registration& call) { return ReadRegistrationMode(call.mode).switching; }
KeyPressMode Keys(const Registration& call) { return ReadRegistrationMode(call.mode).keys; }
// OnEnter and OnExit change their switch for modes 0 and 1 only.
bool SwitchesOnOrOff(const Registration& call) { return Switching(call) != SwitchMode::Unchanged; }

}  // namespace

RegistrationMode ReadRegistrationMode(std::int32_t mode) {
    switch (mode) {
        case 0: return {SwitchMode::Off, KeyPressMode::Off};
        case 1: return {SwitchMode::On, KeyPressMode::AllKeys};
        case -1: return {SwitchMode::Unchanged, KeyPressMode::NavigationKeys};
        case -2: return {SwitchMode::Unchanged, KeyPressMode::CharacterKeys};
        default: return {SwitchMode::Unchanged, KeyPressMode::ExtraKeysOnly};
    }
}

// The steps run in this order; only reading the list can fail, and it comes
// before anything changes.
void EventEngine::RegisterEvent(const Registration& call, EventPlatform& platform, EventHost& host) {
    ListArgument list = ReadListArgument(call);
    queue.clear();  // events not yet handed to the script are dropped by every call
    if (IsControlFocusEvent(call.event) || call.event == evdeOnKeyPress) controls.clear();
    if (IsDialogFocusEvent(call.event)) ArmDialogFocus(call);
    if (call.event == evdeOnEnter && SwitchesOnOrOff(call)) enterEnabled = Switching(call) == SwitchMode::On;
    if (ArmsControls(call)) WatchControls(call, list.controls, platform);
    if (call.event == evdeOnExit && SwitchesOnOrOff(call)) exitEnabled = Switching(call) == SwitchMode::On;
    if (call.event == evdeOnKeyPress) ArmKeyPress(call, list.extraKeys, host);
}

// The list is read only where it is used: a control list for OnEnter and
// OnExit being armed, a key list for OnKeyPress being armed while the key
// table is still empty (once built, the table keeps the keys chosen first
// and later lists are not read), and ignored otherwise.
EventEngine::ListArgument EventEngine::ReadListArgument(const Registration& call) const {
    ListArgument list;
    if (IsControlFocusEvent(call.event) && Switching(call) == SwitchMode::On)
        list.controls = ParseControlList(call.list);
    if (call.event == evdeOnKeyPress && Keys(call) != KeyPressMode::Off && keyTable.empty())
        list.extraKeys = ParseKeyList(call.list);
    return list;
}

// Arming or disarming either dialog focus event does both; other modes
// change nothing.
void EventEngine::ArmDialogFocus(const Registration& call) {
    if (Switching(call) == SwitchMode::On) {
        focusDialog = call.dialog;
        gainFocusEnabled = loseFocusEnabled = true;
        lastForeground = 0;
    } else if (Switching(call) == SwitchMode::Off) {
        gainFocusEnabled = loseFocusEnabled = false;
    }
}

bool EventEngine::ArmsControls(const Registration& call) {
    return (IsControlFocusEvent(call.event) && Switching(call) == SwitchMode::On) ||
           (call.event == evdeOnKeyPress && Keys(call) != KeyPressMode::Off);
}

// The script's list for OnEnter and OnExit when it gave one, else every
// child of the dialog.
void EventEngine::WatchControls(const Registration& call, std::vector<ListedControl>& listed, EventPlatform& platform) {
    if (!IsControlFocusEvent(call.event) || call.list.empty()) {
        WalkDialog(call.dialog, platform);
        return;
    }
    for (ListedControl& item : listed) controls.push_back({call.dialog, item.handle, std::move(item.name), false});
}

// Every non-zero mode arms OnKeyPress and chooses the keys.
void EventEngine::ArmKeyPress(const Registration& call, std::span<const std::int32_t> extraKeys, EventHost& host) {
    keyPressEnabled = Keys(call) != KeyPressMode::Off;
    if (!keyPressEnabled) return;
    altWanted = ctrlWanted = shiftWanted = Keys(call) == KeyPressMode::AllKeys;
    BuildKeyLists(call, extraKeys, host);
}

// Every child is watched, whatever its class; the one that has the focus
// now counts as entered, so the first poll does not report it.
void EventEngine::WalkDialog(std::int32_t dialog, EventPlatform& platform) {
    Snapshot now;
    platform.Sample(now, kSampleFocusAndActive);
    for (const std::int32_t child : platform.Children(dialog)) {
        controls.push_back({dialog, child, {}, child == now.focus});
    }
}

// The key lists are built once, by the first registration that finds them
// empty; later ones keep the keys chosen first.
void EventEngine::BuildKeyLists(const Registration& call, std::span<const std::int32_t> extraKeys, EventHost& host) {
    if (keyTable.empty()) {
        keyTable = BuildKeyTable(Keys(call), extraKeys, altWanted, ctrlWanted, shiftWanted);
    }
    if (pollList.empty()) {
        pollList = BuildPollList(keyTable);
        if (call.defineKeyNames == 1) {
            for (const KeyName& key : KeyNameVariables()) host.DefineVariable(key.name.c_str(), key.code);
        }
    }
}

// ---------------------------------------------------------------------------
// Polling (evProcessEvents)

// The dialog a poll works for: that of the watched controls. Without
// controls (OnExit disarmed while OnEnter stays armed, a dialog without
// children) it is the dialog whose foreground is watched, or 0 when none is.
std::int32_t EventEngine::DialogHandle() const {
    return controls.empty() ? focusDialog : controls.front().dialogHandle;
}

// Each piece of state is queried once per poll, and only when it is read.
unsigned EventEngine::PartsToSample() const {
    unsigned parts = kSampleFocusAndActive;
    if (gainFocusEnabled || loseFocusEnabled) parts |= kSampleForeground;
    if (KeysComeFirst()) parts |= kSampleKeys;
    return parts;
}

// With the dialog focus events armed the dialog is polled whether it is
// active or not, so every poll that is not refused reads the keys.
bool EventEngine::KeysComeFirst() const { return keyPressEnabled && (gainFocusEnabled || loseFocusEnabled); }

// The first polled key that is down; 0 if none. Codes outside the key
// state (a script's extra key above 255 or below 0) are never down.
std::int32_t EventEngine::FirstKeyDown(const KeyState& keys) const {
    if (!AnyKeyDown(keys)) return 0;
    for (const std::int32_t code : pollList) {
        if (code >= 0 && code < static_cast<std::int32_t>(keys.size()) && Down(keys, code)) return code;
    }
    return 0;
}

// Fills the working event for control and appends it. The key fields stay
// as the key poll of this call left them.
void EventEngine::Raise(PendingEvent& working, const WatchedControl& control, std::int32_t eventCode,
                        EventPlatform& platform) {
    working.dialogHandle = control.dialogHandle;
    working.controlHandle = control.controlHandle;
    working.controlNumber = ControlNumber(platform.DialogItemId(control.controlHandle));
    working.controlName = control.name;
    working.eventCode = eventCode;
    queue.push_back(working);
}

// Assigns the eleven variables of the head event in their fixed order and
// removes the event only when all of them are assigned. Returns the code of
// the first assignment the host refused, 0 on success.
int EventEngine::PublishHead(EventHost& host) {
    const PendingEvent& head = queue.front();
    int code = host.Assign("DHandle", head.dialogHandle);
    if (code == 0) code = host.Assign("DCHwnd", head.controlHandle);
    if (code == 0) code = host.Assign("DCtrl", head.controlNumber);
    if (code == 0) code = host.Assign("DCName", head.controlName);
    if (code == 0) code = host.Assign("DMsg", head.eventCode);
    if (code == 0) code = host.Assign("DEInfo", head.extraInfo);
    if (code == 0) code = host.Assign("ChangeInfo", head.changeInfo);
    if (code == 0) code = host.Assign("VK_KEY", head.keyCode);
    if (code == 0) code = host.Assign("VK_CTRL", head.ctrlDown);
    if (code == 0) code = host.Assign("VK_SHFT", head.upperCase);
    if (code == 0) code = host.Assign("VK_ALT", head.altDown);
    if (code == 0) queue.pop_front();
    return code;
}

// One working event serves every event a poll raises: each step fills the
// fields it knows and the later ones keep the rest.
PollOutcome EventEngine::Poll(EventPlatform& platform, EventHost& host) {
    Snapshot now(Snapshot::KeysUnwritten{});
    platform.Sample(now, PartsToSample());
    return Poll(now, platform, host);
}

PollOutcome EventEngine::Poll(Snapshot& now, EventPlatform& platform, EventHost& host) {
    if (const std::optional<PollOutcome> refused = RefusePoll(host)) return *refused;
    if (const int code = host.FillHostCell()) return HostFailure(code);

    // While the dialog is not active only its foreground is watched.
    const std::int32_t dialog = DialogHandle();
    if (now.active != dialog && !gainFocusEnabled && !loseFocusEnabled) return Delivered();
    if (keyPressEnabled && !KeysComeFirst()) platform.Sample(now, kSampleKeys);

    PendingEvent working;
    QueueDialogFocusChange(now, working);
    if (keyPressEnabled) QueueKeyPress(now, dialog, working, platform);
    const bool published = !queue.empty();
    if (published) {
        if (const int code = PublishHead(host)) return HostFailure(code);
    }
    // Without OnEnter and OnExit the control scan is skipped.
    if (!exitEnabled && !enterEnabled) {
        if (published) lastFocus = now.focus;
        return Delivered();
    }
    return ScanControlFocus(now, working, platform, host);
}

// A poll needs a host that takes the published variables, and some control
// or key event armed: dialog focus events alone do not make a poll.
std::optional<PollOutcome> EventEngine::RefusePoll(EventHost& host) const {
    if (host.Version() < kRequiredHostVersion) {
        host.ShowMessage("...or to say it another way, Olvane Version 2021B or later");
        return PollOutcome{PollOutcome::End::HostTooOld};
    }
    if (!keyPressEnabled && !enterEnabled && !exitEnabled) {
        host.ShowMessage("There are no Initialized Events.");
        return PollOutcome{PollOutcome::End::NoEvents};
    }
    return std::nullopt;
}

// Dialog focus events carry the watched dialog as DHandle and 0 as DCtrl:
// they concern the dialog itself, not one of its controls; DCHwnd is the
// window that now has the foreground. At most one of the two fires.
void EventEngine::QueueDialogFocusChange(const Snapshot& now, PendingEvent& working) {
    std::int32_t eventCode = 0;
    if (gainFocusEnabled && now.foreground == focusDialog && lastForeground != focusDialog) {
        eventCode = evdeOnGainFocus;
    } else if (loseFocusEnabled && now.foreground != focusDialog && lastForeground == focusDialog) {
        eventCode = evdeOnLoseFocus;
    }
    if (eventCode == 0) return;
    working.dialogHandle = focusDialog;
    working.controlHandle = now.foreground;
    working.eventCode = eventCode;
    queue.push_back(working);
    lastForeground = now.foreground;
}

// A key held down raises one event; a wanted modifier raises one on its own.
void EventEngine::QueueKeyPress(const Snapshot& now, std::int32_t dialog, PendingEvent& working,
                                EventPlatform& platform) {
    const bool capsOn = now.keys[kCapsLockKey] & kKeyToggled;
    const bool shiftDown = Down(now.keys, kShiftKey);
    working.upperCase = capsOn != shiftDown;
    working.ctrlDown = Down(now.keys, kControlKey);
    working.altDown = Down(now.keys, kAltKey);
    working.dialogHandle = dialog;
    working.controlHandle = now.focus;
    working.controlName.clear();
    working.eventCode = evdeOnKeyPress;
    working.keyCode = FirstKeyDown(now.keys);

    const bool modifierWanted = (working.altDown && altWanted) || (working.ctrlDown && ctrlWanted) ||
                                (working.upperCase && shiftWanted && shiftDown);
    if (working.keyCode != lastKey && (working.keyCode > 0 || modifierWanted)) {
        working.controlNumber = ControlNumber(platform.DialogItemId(now.focus));
        queue.push_back(working);
    }
    lastKey = working.keyCode;
}

// A focus on a window that is not watched is invisible, and coming back from
// it raises nothing.
PollOutcome EventEngine::ScanControlFocus(const Snapshot& now, PendingEvent& working, EventPlatform& platform,
                                          EventHost& host) {
    if (now.focus == lastFocus) return Delivered();  // (the usual poll: no scan of the controls)
    const bool focusWatched = std::ranges::any_of(
        controls, [&](const WatchedControl& control) { return control.controlHandle == now.focus; });
    if (!focusWatched) return Delivered();
    lastFocus = 0;
    if (exitEnabled) QueueExits(now.focus, working, platform);
    if (enterEnabled) QueueEnters(now.focus, working, platform);
    if (!queue.empty()) {
        if (const int code = PublishHead(host)) return HostFailure(code);
    }
    lastFocus = now.focus;
    return Delivered();
}

// Every entered control but the focused one is left; with OnEnter off the
// focused one counts as entered silently.
void EventEngine::QueueExits(std::int32_t focus, PendingEvent& working, EventPlatform& platform) {
    for (WatchedControl& control : controls) {
        if (control.controlHandle != focus) {
            if (control.entered) {
                control.entered = false;
                Raise(working, control, evdeOnExit, platform);
            }
        } else if (!enterEnabled) {
            control.entered = true;
        }
    }
}

void EventEngine::QueueEnters(std::int32_t focus, PendingEvent& working, EventPlatform& platform) {
    for (WatchedControl& control : controls) {
        if (control.controlHandle != focus) {
            control.entered = false;
        } else if (!control.entered) {
            control.entered = true;
            Raise(working, control, evdeOnEnter, platform);
        }
    }
}

// ---------------------------------------------------------------------------
// What the engine holds, read-only

bool EventEngine::IsArmed(std::int32_t event) const {
    switch (event) {
        case evdeOnEnter: return enterEnabled;
        case evdeOnExit: return exitEnabled;
        case evdeOnKeyPress: return keyPressEnabled;
        case evdeOnGainFocus: return gainFocusEnabled;
        case evdeOnLoseFocus: return loseFocusEnabled;
        default: return false;
    }
}

bool EventEngine::Wants(std::int32_t modifierKey) const {
    switch (modifierKey) {
        case kAltKey: return altWanted;
        case kControlKey: return ctrlWanted;
        case kShiftKey: return shiftWanted;
        default: return false;
    }
}

// ---------------------------------------------------------------------------
// The invariants

bool EventEngine::ControlsShareOneDialog() const {
    return std::ranges::all_of(
        controls, [&](const WatchedControl& control) { return control.dialogHandle == controls.front().dialogHandle; });
}

bool EventEngine::EnteredControlsAreOneWindow() const {
    const auto entered = std::ranges::find_if(controls, &WatchedControl::entered);
    return std::ranges::all_of(controls, [&](const WatchedControl& control) {
        return !control.entered || control.controlHandle == entered->controlHandle;
    });
}

bool EventEngine::PollListIsTheKeyTable() const { return pollList == BuildPollList(keyTable); }

bool EventEngine::RememberedKeyIsPolled() const {
    return lastKey == 0 || std::ranges::find(pollList, lastKey) != pollList.end();
}

bool EventEngine::WaitingEventsCarryNoExtras() const {
    return std::ranges::all_of(queue,
                               [](const PendingEvent& event) { return event.extraInfo == 0 && event.changeInfo == 0; });
}

bool EventEngine::HoldsInvariants() const {
    return DialogFocusArmedTogether() && ControlsShareOneDialog() && EnteredControlsAreOneWindow() &&
           PollListIsTheKeyTable() && RememberedKeyIsPolled() && WaitingEventsCarryNoExtras();
}

}  // namespace vantor
