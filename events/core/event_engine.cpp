#include "events/core/event_engine.h"

#include "events/core/event_lists.h"

#include <algorithm>

namespace vantor {

namespace {

constexpr std::int32_t kDialogItemOffset = 99;

// The dialog item identifier as scripts number controls, wrapping around in
// 32 bits rather than overflowing.
std::int32_t ControlNumber(std::int32_t dialogItemId) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(dialogItemId) -
                                     static_cast<std::uint32_t>(kDialogItemOffset));
}

bool Down(const KeyState& keys, std::int32_t code) { return keys[code] & kKeyDown; }

PollOutcome Delivered() { return {}; }
PollOutcome HostFailure(int code) { return {PollOutcome::End::HostCode, code}; }

}  // namespace

// ---------------------------------------------------------------------------
// Registration (evDialogProcOptions)

void EventEngine::registerEvent(const Registration& call, EventPlatform& platform, EventHost& host) {
    const bool focusEvent = call.event == evdeOnEnter || call.event == evdeOnExit;
    const bool keyEvent = call.event == evdeOnKeyPress;
    const bool armsControls = (focusEvent && call.mode == 1) || (keyEvent && call.mode != 0);

    // The list is read before anything changes: a list the engine cannot
    // use rejects the call and leaves the engine as it was. It is a control
    // list for OnEnter and OnExit being armed, a key list for OnKeyPress
    // being armed (checked even when the key table already exists, so that
    // the same call is accepted or rejected whatever came before it), and
    // ignored otherwise.
    std::vector<ListedControl> listed;
    std::vector<std::int32_t> extraKeys;
    if (focusEvent && call.mode == 1) listed = ParseControlList(call.list);
    if (keyEvent && call.mode != 0) extraKeys = ParseKeyList(call.list);

    // 1. Events not yet handed to the script are dropped by every call.
    queue.clear();

    // 2. The controls belong to the last OnEnter, OnExit or OnKeyPress call.
    if (focusEvent || keyEvent) controls.clear();

    // 3. Arming or disarming either dialog focus event does both.
    if (call.event == evdeOnGainFocus || call.event == evdeOnLoseFocus) {
        if (call.mode == 1) {
            focusDialog = call.dialog;
            gainFocusEnabled = loseFocusEnabled = true;
            lastForeground = 0;
        } else if (call.mode == 0) {
            gainFocusEnabled = loseFocusEnabled = false;
        }
    }

    // 4. OnEnter: only modes 0 and 1 change the switch.
    if (call.event == evdeOnEnter && (call.mode == 0 || call.mode == 1)) enterEnabled = call.mode == 1;

    // 5. The watched controls: the script's list for OnEnter and OnExit when
    //    it gave one, else every child of the dialog.
    if (armsControls) {
        if (focusEvent && !call.list.empty()) {
            for (ListedControl& item : listed) {
                controls.push_back({call.dialog, item.handle, std::move(item.name), false});
            }
        } else {
            walkDialog(call.dialog, platform);
        }
    }

    // 6. OnExit: only modes 0 and 1 change the switch.
    if (call.event == evdeOnExit && (call.mode == 0 || call.mode == 1)) exitEnabled = call.mode == 1;

    // 7. OnKeyPress: every non-zero mode arms it and chooses the keys.
    if (keyEvent) {
        keyPressEnabled = call.mode != 0;
        if (keyPressEnabled) {
            altWanted = ctrlWanted = shiftWanted = call.mode == 1;
            buildKeyLists(call, extraKeys, host);
        }
    }
}

// Every child is watched, whatever its class; the one that has the focus
// now counts as entered, so the first poll does not report it.
void EventEngine::walkDialog(std::int32_t dialog, EventPlatform& platform) {
    Snapshot now;
    platform.sample(now, kSampleFocusAndActive);
    for (const std::int32_t child : platform.children(dialog)) {
        controls.push_back({dialog, child, {}, child == now.focus});
    }
}

// The key lists are built once, by the first registration that finds them
// empty; later ones keep the keys chosen first.
void EventEngine::buildKeyLists(const Registration& call, std::span<const std::int32_t> extraKeys,
                                EventHost& host) {
    if (keyTable.empty()) {
        keyTable = BuildKeyTable(call.mode, extraKeys, altWanted, ctrlWanted, shiftWanted);
    }
    if (pollList.empty()) {
        pollList = BuildPollList(keyTable);
        if (call.defineKeyNames == 1) {
            for (const KeyName& key : KeyNameVariables()) host.defineVariable(key.name.c_str(), key.code);
        }
    }
}

// ---------------------------------------------------------------------------
// Polling (evProcessEvents)

// The dialog a poll works for: that of the watched controls. Without
// controls (OnExit disarmed while OnEnter stays armed, a dialog without
// children) it is the dialog whose foreground is watched, or 0 when none is.
std::int32_t EventEngine::dialogHandle() const {
    return controls.empty() ? focusDialog : controls.front().dialogHandle;
}

// Each piece of state is queried once per poll, and only when it is read.
unsigned EventEngine::partsToSample() const {
    unsigned parts = kSampleFocusAndActive;
    if (gainFocusEnabled || loseFocusEnabled) parts |= kSampleForeground;
    return parts;
}

// The first polled key that is down; 0 if none. Codes outside the key
// state (a script's extra key above 255 or below 0) are never down.
std::int32_t EventEngine::firstKeyDown(const KeyState& keys) const {
    for (const std::int32_t code : pollList) {
        if (code >= 0 && code < static_cast<std::int32_t>(keys.size()) && Down(keys, code)) return code;
    }
    return 0;
}

// Fills the working event for control and appends it. The key fields stay
// as the key poll of this call left them.
void EventEngine::raise(PendingEvent& working, const WatchedControl& control, std::int32_t eventCode,
                        EventPlatform& platform) {
    working.dialogHandle = control.dialogHandle;
    working.controlHandle = control.controlHandle;
    working.controlNumber = ControlNumber(platform.dialogItemId(control.controlHandle));
    working.controlName = control.name;
    working.eventCode = eventCode;
    queue.push_back(working);
}

// Assigns the eleven variables of the head event in their fixed order and
// removes the event only when all of them are assigned. Returns the code of
// the first assignment the host refused, 0 on success.
int EventEngine::publishHead(EventHost& host) {
    const PendingEvent& head = queue.front();
    int code = host.assign("DHandle", head.dialogHandle);
    if (code == 0) code = host.assign("DCHwnd", head.controlHandle);
    if (code == 0) code = host.assign("DCtrl", head.controlNumber);
    if (code == 0) code = host.assign("DCName", head.controlName);
    if (code == 0) code = host.assign("DMsg", head.eventCode);
    if (code == 0) code = host.assign("DEInfo", head.extraInfo);
    if (code == 0) code = host.assign("ChangeInfo", head.changeInfo);
    if (code == 0) code = host.assign("VK_KEY", head.keyCode);
    if (code == 0) code = host.assign("VK_CTRL", head.ctrlDown);
    if (code == 0) code = host.assign("VK_SHFT", head.upperCase);
    if (code == 0) code = host.assign("VK_ALT", head.altDown);
    if (code == 0) queue.pop_front();
    return code;
}

// Dialog focus events carry the watched dialog as DHandle and 0 as DCtrl:
// they concern the dialog itself, not one of its controls; DCHwnd is the
// window that now has the foreground.
PollOutcome EventEngine::poll(EventPlatform& platform, EventHost& host) {
    // 1. Sample the focus and active window (and the foreground when it is
    //    watched); one working event serves every event this call raises.
    Snapshot now;
    platform.sample(now, partsToSample());
    PendingEvent working;

    // 2. The host must take the variables this engine publishes.
    if (host.version() < kRequiredHostVersion) {
        host.showMessage("...or to say it another way, Olvane Version 2021B or later");
        return {PollOutcome::End::HostTooOld};
    }

    // 3. Dialog focus events alone do not make a poll.
    if (!keyPressEnabled && !enterEnabled && !exitEnabled) {
        host.showMessage("There are no Initialized Events.");
        return {PollOutcome::End::NoEvents};
    }

    // 4. The value the call delivers comes from the host.
    if (const int code = host.fillHostCell()) return HostFailure(code);

    // 5. While the dialog is not active only its foreground is watched.
    const std::int32_t dialog = dialogHandle();
    if (now.active != dialog && !gainFocusEnabled && !loseFocusEnabled) return Delivered();

    // 6. Dialog focus: at most one of the two fires.
    if (gainFocusEnabled && now.foreground == focusDialog && lastForeground != focusDialog) {
        working.dialogHandle = focusDialog;
        working.controlHandle = now.foreground;
        working.eventCode = evdeOnGainFocus;
        queue.push_back(working);
        lastForeground = now.foreground;
    }
    if (loseFocusEnabled && now.foreground != focusDialog && lastForeground == focusDialog) {
        working.dialogHandle = focusDialog;
        working.controlHandle = now.foreground;
        working.eventCode = evdeOnLoseFocus;
        queue.push_back(working);
        lastForeground = now.foreground;
    }

    // 7. Key press: a key held down raises one event; a wanted modifier
    //    raises one on its own.
    if (keyPressEnabled) {
        platform.sample(now, kSampleKeys);
        const bool capsOn = now.keys[kCapsLockKey] & kKeyToggled;
        const bool shiftDown = Down(now.keys, kShiftKey);
        working.upperCase = capsOn != shiftDown;
        working.ctrlDown = Down(now.keys, kControlKey);
        working.altDown = Down(now.keys, kAltKey);

        working.dialogHandle = dialog;
        working.controlHandle = now.focus;
        working.controlName.clear();
        working.eventCode = evdeOnKeyPress;
        working.keyCode = firstKeyDown(now.keys);

        const bool modifierWanted = (working.altDown && altWanted) || (working.ctrlDown && ctrlWanted) ||
                                    (working.upperCase && shiftWanted && shiftDown);
        if (working.keyCode != lastKey && (working.keyCode > 0 || modifierWanted)) {
            working.controlNumber = ControlNumber(platform.dialogItemId(now.focus));
            queue.push_back(working);
        }
        lastKey = working.keyCode;
    }

    // 8. Hand the oldest event to the script.
    bool published = false;
    if (!queue.empty()) {
        if (const int code = publishHead(host)) return HostFailure(code);
        published = true;
    }

    // 9. Without OnEnter and OnExit the control scan is skipped.
    if (!exitEnabled && !enterEnabled) {
        if (published) lastFocus = now.focus;
        return Delivered();
    }

    // 10. Control focus. A focus on a window that is not watched is
    //     invisible, and coming back from it raises nothing.
    const bool focusWatched = std::ranges::any_of(
        controls, [&](const WatchedControl& control) { return control.controlHandle == now.focus; });
    if (!focusWatched || now.focus == lastFocus) return Delivered();
    lastFocus = 0;

    if (exitEnabled) {
        for (WatchedControl& control : controls) {
            if (control.controlHandle != now.focus) {
                if (control.entered) {
                    control.entered = false;
                    raise(working, control, evdeOnExit, platform);
                }
            } else if (!enterEnabled) {
                control.entered = true;
            }
        }
    }
    if (enterEnabled) {
        for (WatchedControl& control : controls) {
            if (control.controlHandle != now.focus) {
                control.entered = false;
            } else if (!control.entered) {
                control.entered = true;
                raise(working, control, evdeOnEnter, platform);
            }
        }
    }

    if (!queue.empty()) {
        if (const int code = publishHead(host)) return HostFailure(code);
    }
    lastFocus = now.focus;
    return Delivered();
}

}  // namespace vantor
