// The dialog event engine: arming of the five kinds of dialog event and the
// poll that compares the windows' focus, foreground and key state with what
// it saw last time, queues what changed and hands the script one event at a
// time. Platform-free: the windows are reached through EventPlatform and the
// host through EventHost, so the same decisions run in the DLL and natively.
#pragma once

#include "events/core/event_lists.h"
#include "events/core/key_table.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Event codes; scripts know them as @evdeOnEnter ... @evdeOnLoseFocus.
inline constexpr std::int32_t evdeOnEnter = -111;      // a watched control got the focus
inline constexpr std::int32_t evdeOnExit = -222;       // ... lost it to another watched control
inline constexpr std::int32_t evdeOnKeyPress = -333;   // a polled key went down
inline constexpr std::int32_t evdeOnGainFocus = -444;  // the dialog became the foreground window
inline constexpr std::int32_t evdeOnLoseFocus = -555;  // ... stopped being it

// The oldest host that can take the published variables.
inline constexpr std::uint32_t kRequiredHostVersion = 1011;

struct WatchedControl {
    std::int32_t dialogHandle = 0;
    std::int32_t controlHandle = 0;
    std::string name;      // empty for controls found by walking the dialog
    bool entered = false;  // the engine counts this control as the focused one

    friend bool operator==(const WatchedControl&, const WatchedControl&) = default;
};

// One detected event; each field is published under the variable named after it.
struct PendingEvent {
    std::int32_t dialogHandle = 0;   // DHandle
    std::int32_t controlHandle = 0;  // DCHwnd
    std::int32_t controlNumber = 0;  // DCtrl: the dialog item identifier minus 99
    std::string controlName;         // DCName
    std::int32_t eventCode = 0;      // DMsg
    std::int32_t extraInfo = 0;      // DEInfo, always 0
    std::int32_t changeInfo = 0;     // ChangeInfo, always 0
    std::int32_t keyCode = 0;        // VK_KEY: the polled key found down, 0 if none
    std::int32_t ctrlDown = 0;       // VK_CTRL
    std::int32_t altDown = 0;        // VK_ALT
    std::int32_t upperCase = 0;      // VK_SHFT: exactly one of Caps Lock on and Shift down

    friend bool operator==(const PendingEvent&, const PendingEvent&) = default;
};

// The key state of the script's thread, one byte per virtual key, as
// GetKeyState reports it: bit 7 set while the key is down, bit 0 while it
// is toggled on.
using KeyState = std::array<std::uint8_t, 256>;
inline constexpr std::uint8_t kKeyDown = 0x80;
inline constexpr std::uint8_t kKeyToggled = 0x01;

// What a poll sees of the windows, sampled once at its start.
struct Snapshot {
    std::int32_t focus = 0;       // the keyboard focus of the script's thread
    std::int32_t active = 0;      // its active window
    std::int32_t foreground = 0;  // the foreground window
    KeyState keys;                // all up, unless made KeysUnwritten

    Snapshot() : keys{} {}
    // The keys left unwritten: a poll reads them only once the platform has
    // filled all 256, and a poll runs in a tight loop.
    struct KeysUnwritten {};
    explicit Snapshot(KeysUnwritten) {}
};

// The parts of a Snapshot a poll asks for; the others it never reads.
enum SampleParts : unsigned {
    kSampleFocusAndActive = 1,
    kSampleForeground = 2,
    kSampleKeys = 4,
};

// The windows as the engine needs them. Handles travel as 32-bit integers.
class EventPlatform {
public:
    // Fills the parts of now named in parts, one query per part; the keys
    // part fills every one of the 256 keys.
    virtual void Sample(Snapshot& now, unsigned parts) = 0;
    // The dialog item identifier of window; asked only for a raised event.
    virtual std::int32_t DialogItemId(std::int32_t window) = 0;
    // The direct child windows of dialog in Z order, topmost first; none
    // when dialog is not a window.
    virtual std::vector<std::int32_t> Children(std::int32_t dialog) = 0;

protected:
    ~EventPlatform() = default;
};

// The host services the engine uses, for the duration of one call.
class EventHost {
public:
    virtual std::uint32_t Version() = 0;
    virtual void ShowMessage(const char* text) = 0;
    // Marks the call's result cell and has the host fill the value the call
    // delivers; returns the host's code, 0 on success.
    virtual int FillHostCell() = 0;
    // Assigns one published variable; returns the host's code, 0 on success.
    virtual int Assign(const char* name, std::int32_t value) = 0;
    virtual int Assign(const char* name, const std::string& text) = 0;
    // Defines an integer script variable; the host's answer is not examined.
    virtual void DefineVariable(const char* name, std::int32_t value) = 0;

protected:
    ~EventHost() = default;
};

// The mode argument of evDialogProcOptions as the dialog focus events, OnEnter
// and OnExit read it: 1 arms, 0 disarms, any other number changes no switch.
enum class SwitchMode { Off, On, Unchanged };

// The mode argument of evDialogProcOptions, read once: as a switch for the
// other events and as the keys chosen for OnKeyPress.
struct RegistrationMode {
    SwitchMode switching = SwitchMode::Off;
    KeyPressMode keys = KeyPressMode::Off;
};
// The one reading of the script's integer: 0 Off, 1 On and AllKeys, -1
// Unchanged and NavigationKeys, -2 Unchanged and CharacterKeys, any other
// integer Unchanged and ExtraKeysOnly.
RegistrationMode ReadRegistrationMode(std::int32_t mode);

// The arguments of one evDialogProcOptions call (absent optional ones as
// their defaults: an empty list, no key names). mode is the script's
// integer as given; the engine reads it through ReadRegistrationMode.
struct Registration {
    std::int32_t dialog = 0;
    std::int32_t event = 0;
    std::int32_t mode = 0;
    std::string_view list;
    std::int32_t defineKeyNames = 0;
};

// How a poll ends: it delivers the host's value, or it fails: the host is
// too old, nothing is armed (an empty text), or a host operation refused
// with hostCode.
struct PollOutcome {
    enum class End { Delivered, HostTooOld, NoEvents, HostCode };
    End end = End::Delivered;
    int hostCode = 0;
};

// What the engine holds between calls. A private base of EventEngine: its
// decisions read the fields by name, and nothing outside the engine sees
// them.
struct EventEngineState {
    bool enterEnabled = false;
    bool exitEnabled = false;
    bool keyPressEnabled = false;
    bool gainFocusEnabled = false;
    bool loseFocusEnabled = false;
    std::int32_t focusDialog = 0;     // the dialog whose foreground state is watched
    std::int32_t lastForeground = 0;  // the foreground at the last dialog focus event
    std::int32_t lastFocus = 0;       // the focus when the control scan last ran
    std::int32_t lastKey = 0;         // the key seen down at the last key poll
    bool altWanted = false;
    bool ctrlWanted = false;
    bool shiftWanted = false;
    std::vector<WatchedControl> controls;
    std::deque<PendingEvent> queue;
    std::vector<KeyEntry> keyTable;
    std::vector<std::int32_t> pollList;

    friend bool operator==(const EventEngineState&, const EventEngineState&) = default;
};

// The engine is driven by RegisterEvent and Poll only; what it holds is read
// through the accessors below and never written from outside.
//
// Invariants, kept by every call (HoldsInvariants checks them all):
// - OnGainFocus and OnLoseFocus are armed and disarmed together;
// - the watched controls all belong to one dialog, the one of the
//   registration that chose them;
// - the controls counted as entered are all one window: the focus the last
//   control scan (or the walk of the dialog) found;
// - the poll list is the key table's codes in its order: both are built
//   together and, once not empty, never change;
// - the key remembered from the last key poll is 0 or one the poll list
//   holds;
// - every waiting event carries 0 as DEInfo and ChangeInfo.
// Of the armed flags only the two dialog focus ones imply each other. The
// others imply nothing about the rest: a disarmed event keeps its key lists,
// its wishes and its memory for a later arming, and OnEnter or OnKeyPress
// stays armed when a later registration empties the controls.
class EventEngine : private EventEngineState {
public:
    // Arms or disarms one kind of event and builds the lists it watches.
    // The list argument is read first: a list that names no control handle
    // or holds a key that is no decimal number throws ScriptArgumentError
    // (a std::invalid_argument or std::out_of_range naming the item) and leaves the engine exactly
    // as it was.
    void RegisterEvent(const Registration& call, EventPlatform& platform, EventHost& host);

    // One poll: samples the windows, queues what changed since the last
    // poll and publishes the head of the queue. Without watched controls
    // the poll works for focusDialog (0 when no dialog focus event was ever
    // armed). OnGainFocus and OnLoseFocus carry focusDialog as DHandle and
    // 0 as DCtrl: they concern the dialog, not one of its controls.
    PollOutcome Poll(EventPlatform& platform, EventHost& host);
    // The same poll with its first query made by the caller: now holds the
    // parts PartsToSample() names (the library's handler makes the platform
    // calls itself, two frames shallower: under WoW64 the way back from a
    // platform call costs for every frame it passes). Later queries go
    // through platform.
    PollOutcome Poll(Snapshot& now, EventPlatform& platform, EventHost& host);
    // What a poll queries first: the focus and active window; the foreground
    // with the dialog focus events, and then the keys too when OnKeyPress is
    // armed (a poll that the host then refuses has read them for nothing).
    // Otherwise a poll reads the keys later, only while the dialog is active.
    unsigned PartsToSample() const;

    // Whether event (one of the evde codes) is armed; false for any other code.
    bool IsArmed(std::int32_t event) const;
    // The dialog whose foreground state is watched; 0 before any dialog
    // focus event was armed.
    std::int32_t foregroundDialog() const { return focusDialog; }
    // The watched controls, in the order the registration chose them.
    std::span<const WatchedControl> watchedControls() const { return controls; }
    // The keys OnKeyPress polls: the key table, and its codes in poll order.
    std::span<const KeyEntry> keyEntries() const { return keyTable; }
    std::span<const std::int32_t> polledKeys() const { return pollList; }
    // Whether a wanted modifier (kAltKey, kControlKey or kShiftKey) raises
    // OnKeyPress on its own; false for any other key.
    bool Wants(std::int32_t modifierKey) const;
    // The events detected and not yet handed to the script, and the first
    // of them (only while there is one).
    std::size_t waitingEvents() const { return queue.size(); }
    const PendingEvent& nextEvent() const { return queue.front(); }
    // What the polls remember to compare the next one with: the focus at the
    // last control scan, the key seen down at the last key poll, the
    // foreground at the last dialog focus event.
    std::int32_t rememberedFocus() const { return lastFocus; }
    std::int32_t rememberedKey() const { return lastKey; }
    std::int32_t rememberedForeground() const { return lastForeground; }

    // The invariants above, one predicate each.
    bool DialogFocusArmedTogether() const { return gainFocusEnabled == loseFocusEnabled; }
    bool ControlsShareOneDialog() const;
    bool EnteredControlsAreOneWindow() const;
    bool PollListIsTheKeyTable() const;
    bool RememberedKeyIsPolled() const;
    bool WaitingEventsCarryNoExtras() const;
    bool HoldsInvariants() const;

    // Two engines are equal when everything they hold is: they make the same
    // decisions from here on.
    friend bool operator==(const EventEngine&, const EventEngine&) = default;

private:
    // The list argument as read before a registration changes anything.
    struct ListArgument {
        std::vector<ListedControl> controls;
        std::vector<std::int32_t> extraKeys;
    };

    // Registration steps.
    ListArgument ReadListArgument(const Registration& call) const;
    void ArmDialogFocus(const Registration& call);
    static bool ArmsControls(const Registration& call);
    void WatchControls(const Registration& call, std::vector<ListedControl>& listed, EventPlatform& platform);
    void ArmKeyPress(const Registration& call, std::span<const std::int32_t> extraKeys, EventHost& host);
    void WalkDialog(std::int32_t dialog, EventPlatform& platform);
    void BuildKeyLists(const Registration& call, std::span<const std::int32_t> extraKeys, EventHost& host);

    // Poll steps.
    std::optional<PollOutcome> RefusePoll(EventHost& host) const;
    std::int32_t DialogHandle() const;
    bool KeysComeFirst() const;
    void QueueDialogFocusChange(const Snapshot& now, PendingEvent& working);
    void QueueKeyPress(const Snapshot& now, std::int32_t dialog, PendingEvent& working, EventPlatform& platform);
    std::int32_t FirstKeyDown(const KeyState& keys) const;
    PollOutcome ScanControlFocus(const Snapshot& now, PendingEvent& working, EventPlatform& platform, EventHost& host);
    void QueueExits(std::int32_t focus, PendingEvent& working, EventPlatform& platform);
    void QueueEnters(std::int32_t focus, PendingEvent& working, EventPlatform& platform);
    void Raise(PendingEvent& working, const WatchedControl& control, std::int32_t eventCode, EventPlatform& platform);
    int PublishHead(EventHost& host);
};

}  // namespace vantor
