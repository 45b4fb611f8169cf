// The dialog event engine against fake windows and a fake host: the key
// table, the list argument, arming, and the decisions of a poll.
#include "events/core/event_engine.h"
#include "events/core/event_lists.h"
#include "events/core/key_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/allocator_interface.h>
#define EVENTS_COUNT_ALLOCATIONS 1
#endif
#endif

using namespace vantor;

namespace {

// ---------------------------------------------------------------------------
// Fakes

constexpr std::int32_t kDialog = 1000;
constexpr std::int32_t kA = 1001, kB = 1002, kC = 1003;  // its children, items 101..103
constexpr std::int32_t kOther = 2000;                    // a window nobody watches
constexpr std::int32_t kOtherDialog = 3000;

struct FakeWindows final : EventPlatform {
    Snapshot state;
    std::map<std::int32_t, std::int32_t> itemIds{{kA, 101}, {kB, 102}, {kC, 103}, {kOther, 7}};
    std::map<std::int32_t, std::vector<std::int32_t>> childrenOf{{kDialog, {kA, kB, kC}}};
    int sampleCalls = 0, focusSamples = 0, foregroundSamples = 0, keySamples = 0, itemIdCalls = 0;

    FakeWindows() {
        state.focus = kA;
        state.active = kDialog;
        state.foreground = kDialog;
    }
    void Sample(Snapshot& now, unsigned parts) override {
        ++sampleCalls;
        if (parts & kSampleFocusAndActive) {
            ++focusSamples;
            now.focus = state.focus;
            now.active = state.active;
        }
        if (parts & kSampleForeground) {
            ++foregroundSamples;
            now.foreground = state.foreground;
        }
        if (parts & kSampleKeys) {
            ++keySamples;
            now.keys = state.keys;
        }
    }
    std::int32_t DialogItemId(std::int32_t window) override {
        ++itemIdCalls;
        const auto found = itemIds.find(window);
        return found == itemIds.end() ? 0 : found->second;
    }
    std::vector<std::int32_t> Children(std::int32_t dialog) override {
        const auto found = childrenOf.find(dialog);
        return found == childrenOf.end() ? std::vector<std::int32_t>{} : found->second;
    }
    void press(std::int32_t code) { state.keys[code] |= kKeyDown; }
    void release(std::int32_t code) { state.keys[code] &= ~kKeyDown; }
    void capsLock(bool on) {
        state.keys[kCapsLockKey] =
            on ? (state.keys[kCapsLockKey] | kKeyToggled) : (state.keys[kCapsLockKey] & ~kKeyToggled);
    }
};

using Value = std::variant<std::int32_t, std::string>;

struct FakeHost final : EventHost {
    std::uint32_t hostVersion = 1011;
    std::vector<std::string> messages;
    int fillCode = 0, fills = 0;
    std::map<std::string, Value> variables;
    std::vector<std::string> assigned;  // names, in order
    int failAtAssignment = 0;           // counted from 1 over the fake's life; 0 never
    int failCode = 0;
    std::vector<std::pair<std::string, std::int32_t>> defined;

    std::uint32_t Version() override { return hostVersion; }
    void ShowMessage(const char* text) override { messages.emplace_back(text); }
    int FillHostCell() override {
        ++fills;
        return fillCode;
    }
    int Assign(const char* name, std::int32_t value) override { return Store(name, value); }
    int Assign(const char* name, const std::string& text) override { return Store(name, text); }
    void DefineVariable(const char* name, std::int32_t value) override { defined.emplace_back(name, value); }

    int Store(const char* name, Value value) {
        if (static_cast<int>(assigned.size()) + 1 == failAtAssignment) return failCode;
        assigned.emplace_back(name);
        variables[name] = std::move(value);
        return 0;
    }
};

// The eleven published variables as the script reads them.
struct Published {
    std::int32_t handle, control, number;
    std::string name;
    std::int32_t message, extra, change, key, ctrl, shift, alt;
    friend bool operator==(const Published&, const Published&) = default;
    friend void PrintTo(const Published& p, std::ostream* out) {
        *out << "{DHandle " << p.handle << ", DCHwnd " << p.control << ", DCtrl " << p.number << ", DCName \"" << p.name
             << "\", DMsg " << p.message << ", DEInfo " << p.extra << ", ChangeInfo " << p.change << ", VK_KEY "
             << p.key << ", VK_CTRL " << p.ctrl << ", VK_SHFT " << p.shift << ", VK_ALT " << p.alt << "}";
    }
};

const std::vector<std::string> kVariableOrder{"DHandle",    "DCHwnd", "DCtrl",   "DCName",  "DMsg",  "DEInfo",
                                              "ChangeInfo", "VK_KEY", "VK_CTRL", "VK_SHFT", "VK_ALT"};

// An event of a control, with no key state unless given.
Published Event(std::int32_t message, std::int32_t control, std::int32_t number, std::string name = {},
                std::int32_t key = 0, std::int32_t ctrl = 0, std::int32_t shift = 0, std::int32_t alt = 0) {
    return {kDialog, control, number, std::move(name), message, 0, 0, key, ctrl, shift, alt};
}

class Engine : public ::testing::Test {
protected:
    EventEngine engine;
    FakeWindows windows;
    FakeHost host;

    void arm(std::int32_t event, std::int32_t mode, std::string_view list = {}, std::int32_t names = 0,
             std::int32_t dialog = kDialog) {
        engine.RegisterEvent({dialog, event, mode, list, names}, windows, host);
        EXPECT_TRUE(engine.HoldsInvariants());
    }
    PollOutcome poll() { return engine.Poll(windows, host); }

    // Polls once and returns how many events the call published.
    int publishedBy(const std::function<void()>& change = {}) {
        if (change) change();
        const std::size_t before = host.assigned.size();
        EXPECT_TRUE((poll().end == PollOutcome::End::Delivered));
        EXPECT_TRUE(engine.HoldsInvariants());
        return static_cast<int>((host.assigned.size() - before) / kVariableOrder.size());
    }
    Published last() const {
        auto integer = [&](const char* name) { return std::get<std::int32_t>(host.variables.at(name)); };
        return {integer("DHandle"),    integer("DCHwnd"),
                integer("DCtrl"),      std::get<std::string>(host.variables.at("DCName")),
                integer("DMsg"),       integer("DEInfo"),
                integer("ChangeInfo"), integer("VK_KEY"),
                integer("VK_CTRL"),    integer("VK_SHFT"),
                integer("VK_ALT")};
    }
    void armFocusEvents() {
        arm(evdeOnEnter, 1);
        arm(evdeOnExit, 1);
        EXPECT_EQ(publishedBy(), 0);  // settles lastFocus on the focused control
    }
    // Leaves one event waiting: OnExit of kA goes out, OnEnter of kB waits.
    void leaveOneWaiting() {
        armFocusEvents();
        EXPECT_EQ(publishedBy([&] { windows.state.focus = kB; }), 1);
        ASSERT_EQ(engine.waitingEvents(), 1u);
    }
    std::vector<WatchedControl> watched() const {
        return {engine.watchedControls().begin(), engine.watchedControls().end()};
    }
    bool armed(std::int32_t event) const { return engine.IsArmed(event); }
    bool wantsAll() const { return engine.Wants(kAltKey) && engine.Wants(kControlKey) && engine.Wants(kShiftKey); }
    bool wantsAny() const { return engine.Wants(kAltKey) || engine.Wants(kControlKey) || engine.Wants(kShiftKey); }
};

std::vector<std::int32_t> Codes(const std::vector<KeyEntry>& table) { return BuildPollList(table); }

// ---------------------------------------------------------------------------
// The key table

TEST(KeyTable, TextHasTheFixedShape) {
    EXPECT_EQ(VirtualKeyTableText.size(), 3294u);
    EXPECT_TRUE(VirtualKeyTableText.starts_with("VK_LBUTTON|0x01|1|0|Left mouse button~"));
    EXPECT_TRUE(VirtualKeyTableText.ends_with("~VK_OEM_PERIOD|0xBE|190|0|The '.' key"));
    for (const char* row : {"~VK_TAB|0x09|9|-1|TAB key~", "~VK_SNAPSHOT|0x2C|44|0|PRINT SCREEN key~",
                            "~A|0x41|65|-2|A key~", "~VK_LWIN|0x5B|91|0|Left Windows key (Natural keyboard)~",
                            "~VK_NUMPAD0|0x60|96|-2|Numeric keypad 0 key~", "~VK_OEM_PLUS|0xBB|187|0|The '+' key~"}) {
        EXPECT_NE(VirtualKeyTableText.find(row), std::string_view::npos) << row;
    }
}

TEST(KeyTable, RowsHoldTheWindowsCodesInOrder) {
    std::vector<std::int32_t> codes{1, 2, 3, 4, 5, 6, 8, 9, 12, 13, 19, 27};
    for (int c = 32; c <= 47; ++c) codes.push_back(c);
    for (int c = 48; c <= 57; ++c) codes.push_back(c);
    for (int c = 65; c <= 90; ++c) codes.push_back(c);
    for (int c : {91, 92, 93, 95}) codes.push_back(c);
    for (int c = 96; c <= 135; ++c) codes.push_back(c);
    for (int c : {144, 145, 187, 188, 189, 190}) codes.push_back(c);

    const std::vector<KeyEntry> rows = ParseVirtualKeyTable();
    ASSERT_EQ(rows.size(), kVirtualKeyRows);
    EXPECT_EQ(Codes(rows), codes);
    std::map<std::int32_t, int> perClass;
    for (const KeyEntry& row : rows) {
        EXPECT_EQ(row.code, row.decimalCode) << row.name;
        EXPECT_FALSE(row.description.empty()) << row.name;
        ++perClass[row.keyClass];
        // digits, letters and keypad digits are class -2; the navigation,
        // editing and function keys -1
        const bool character = (row.code >= 48 && row.code <= 90) || (row.code >= 96 && row.code <= 105);
        const bool navigation = row.code == 9 || row.code == 13 || row.code == 27 ||
                                (row.code >= 35 && row.code <= 40) || row.code == 45 || row.code == 46 ||
                                (row.code >= 112 && row.code <= 135);
        EXPECT_EQ(row.keyClass, character ? -2 : navigation ? -1 : 0) << row.name;
    }
    EXPECT_EQ(perClass, (std::map<std::int32_t, int>{{-2, 46}, {-1, 35}, {0, 33}}));
    EXPECT_EQ(rows[28].name, "0");
    EXPECT_EQ(rows[38].name, "A");
    EXPECT_EQ(rows[84].name, "VK_F1");
    EXPECT_EQ(rows[107].name, "VK_F24");
}

TEST(KeyTable, ModesChooseClasses) {
    bool alt = false, ctrl = false, shift = false;
    const std::vector<KeyEntry> all = BuildKeyTable(KeyPressMode::AllKeys, {}, alt, ctrl, shift);
    ASSERT_EQ(all.size(), 114u);
    EXPECT_EQ(all.front().name, "VK_LBUTTON");
    EXPECT_EQ(all.back().code, 190);

    const std::vector<KeyEntry> navigation = BuildKeyTable(KeyPressMode::NavigationKeys, {}, alt, ctrl, shift);
    ASSERT_EQ(navigation.size(), 35u);
    EXPECT_EQ(navigation.front().name, "VK_TAB");
    EXPECT_EQ(navigation.back().name, "VK_F24");

    const std::vector<KeyEntry> characters = BuildKeyTable(KeyPressMode::CharacterKeys, {}, alt, ctrl, shift);
    ASSERT_EQ(characters.size(), 46u);
    EXPECT_EQ(characters.front().name, "0");
    EXPECT_EQ(characters.back().name, "VK_NUMPAD9");

    const std::vector<std::int32_t> extra{65, 66};
    EXPECT_EQ(Codes(BuildKeyTable(KeyPressMode::ExtraKeysOnly, extra, alt, ctrl, shift)), extra);
    EXPECT_TRUE(BuildKeyTable(KeyPressMode::ExtraKeysOnly, {}, alt, ctrl, shift).empty());
    EXPECT_FALSE(alt || ctrl || shift);
}

TEST(KeyTable, ExtraKeysComeAfterTheRowsAndWishForModifiers) {
    bool alt = false, ctrl = false, shift = false;
    const std::vector<std::int32_t> ctrlOnly{17};
    EXPECT_EQ(Codes(BuildKeyTable(KeyPressMode::ExtraKeysOnly, ctrlOnly, alt, ctrl, shift)), ctrlOnly);
    EXPECT_TRUE(ctrl);
    EXPECT_FALSE(alt || shift);

    const std::vector<std::int32_t> again{65, 16, 18};
    const std::vector<std::int32_t> codes = Codes(BuildKeyTable(KeyPressMode::CharacterKeys, again, alt, ctrl, shift));
    ASSERT_EQ(codes.size(), 49u);
    EXPECT_EQ(codes[10], 65);  // the table row is met first
    EXPECT_EQ(std::vector<std::int32_t>(codes.end() - 3, codes.end()), again);
    EXPECT_TRUE(alt && shift);
}

TEST(KeyTable, KeyNameVariables) {
    const std::vector<KeyName> names = KeyNameVariables();
    ASSERT_EQ(names.size(), 118u);
    std::map<std::string, std::int32_t> byName;
    for (const KeyName& key : names) EXPECT_TRUE(byName.emplace(key.name, key.code).second) << key.name;
    EXPECT_EQ(names.front().name, "VK_LBUTTON");
    EXPECT_EQ(byName.at("VK_A"), 65);
    EXPECT_EQ(byName.at("VK_Z"), 90);
    EXPECT_EQ(byName.at("VK_0"), 48);
    EXPECT_EQ(byName.at("VK_F24"), 135);
    EXPECT_EQ(byName.count("A"), 0u);
    EXPECT_EQ(names[114].name, "VK_SHIFT");
    EXPECT_EQ(names[115].name, "VK_CONTROL");
    EXPECT_EQ(byName.at("VK_SHIFT"), 16);
    EXPECT_EQ(byName.at("VK_CONTROL"), 17);
    EXPECT_EQ(names[116].name, "VK_MENU");
    EXPECT_EQ(names[117].name, "VK_ALT");
    EXPECT_EQ(names[116].code, 18);
    EXPECT_EQ(names[117].code, 18);
}

// ---------------------------------------------------------------------------
// The mode argument

// The one reading of the script's integer: each number is one mode for the
// switches and one for the keys; every number outside 0, 1, -1 and -2 reads
// as the others do.
TEST(RegistrationModes, EveryIntegerReadsAsOneMode) {
    struct Case {
        std::int32_t mode;
        SwitchMode switching;
        KeyPressMode keys;
    };
    const Case cases[] = {
        {0, SwitchMode::Off, KeyPressMode::Off},
        {1, SwitchMode::On, KeyPressMode::AllKeys},
        {-1, SwitchMode::Unchanged, KeyPressMode::NavigationKeys},
        {-2, SwitchMode::Unchanged, KeyPressMode::CharacterKeys},
        {2, SwitchMode::Unchanged, KeyPressMode::ExtraKeysOnly},
        {-3, SwitchMode::Unchanged, KeyPressMode::ExtraKeysOnly},
        {INT_MIN, SwitchMode::Unchanged, KeyPressMode::ExtraKeysOnly},
        {INT_MAX, SwitchMode::Unchanged, KeyPressMode::ExtraKeysOnly},
    };
    for (const Case& c : cases) {
        const RegistrationMode read = ReadRegistrationMode(c.mode);
        EXPECT_EQ(read.switching, c.switching) << c.mode;
        EXPECT_EQ(read.keys, c.keys) << c.mode;
    }
}

// ---------------------------------------------------------------------------
// The list argument

TEST(EventLists, ControlItems) {
    EXPECT_TRUE(ParseControlList("").empty());
    EXPECT_TRUE(ParseControlList("\t\t").empty());
    const std::vector<ListedControl> one = ParseControlList("OK,12345");
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].name, "OK");
    EXPECT_EQ(one[0].handle, 12345);

    const std::vector<ListedControl> several = ParseControlList(" Name , -7 \t\tCity,+8,spare\tMax,2147483647\t");
    ASSERT_EQ(several.size(), 3u);
    EXPECT_EQ(several[0].name, "Name");
    EXPECT_EQ(several[0].handle, -7);
    EXPECT_EQ(several[1].name, "City");
    EXPECT_EQ(several[1].handle, 8);
    EXPECT_EQ(several[2].handle, 2147483647);
}

// Each rejection names the item, so the script author can find it.
TEST(EventLists, BadControlItemsRejectTheList) {
    auto rejects = [](const char* list, const char* named, bool range) {
        try {
            ParseControlList(list);
            ADD_FAILURE() << list << " was accepted";
        } catch (const std::out_of_range& e) {
            EXPECT_TRUE(range) << e.what();
            EXPECT_NE(std::string(e.what()).find(named), std::string::npos) << e.what();
        } catch (const std::invalid_argument& e) {
            EXPECT_FALSE(range) << e.what();
            EXPECT_NE(std::string(e.what()).find(named), std::string::npos) << e.what();
        }
    };
    rejects("OK,1\tCancel", "\"Cancel\" has no window handle", false);
    rejects("OK,", "\"OK,\"", false);
    rejects(",123", "\",123\"", false);  // empty pieces are dropped: no second piece
    rejects("OK,x12", "\"x12\" is not a decimal number", false);
    rejects("OK,+-5", "\"+-5\"", false);
    rejects("OK,-", "\"-\"", false);
    rejects("OK,2147483648", "\"2147483648\" is out of the 32-bit range", true);
    rejects("OK,-2147483649", "\"-2147483649\"", true);

    try {
        ParseControlList(std::string(100000, 'x'));
        ADD_FAILURE();
    } catch (const std::invalid_argument& e) {
        EXPECT_LT(std::string(e.what()).size(), 200u);
        EXPECT_NE(std::string(e.what()).find("xxx...\""), std::string::npos);
    }
}

// An item of exactly 60 characters is quoted whole: the ellipsis marks
// only a cut.
TEST(EventLists, SixtyCharacterItemIsQuotedWhole) {
    const std::string item(60, 'n');
    try {
        ParseControlList(item);
        ADD_FAILURE() << "accepted";
    } catch (const std::invalid_argument& e) {
        EXPECT_EQ(std::string(e.what()),
                  "evDialogProcOptions: control list item \"" + item + "\" has no window handle after a comma");
    }
    try {
        ParseControlList(item + "m");
        ADD_FAILURE() << "accepted";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find(item + "...\""), std::string::npos) << e.what();
    }
}

TEST(EventLists, KeyItems) {
    EXPECT_EQ(ParseKeyList("65|66"), (std::vector<std::int32_t>{65, 66}));
    EXPECT_EQ(ParseKeyList("|| 17 |300|-4|"), (std::vector<std::int32_t>{17, 300, -4}));
    EXPECT_TRUE(ParseKeyList("").empty());
    EXPECT_THROW(ParseKeyList("65|A"), std::invalid_argument);
    // the number at the start of a piece counts, as the standard conversion reads it
    EXPECT_EQ(ParseKeyList("65|6 6|+7x"), (std::vector<std::int32_t>{65, 6, 7}));
    EXPECT_THROW(ParseKeyList("99999999999"), std::out_of_range);
    try {
        ParseKeyList("65|abc");
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "evDialogProcOptions: key list item \"abc\" is not a decimal number");
    }
}

// ---------------------------------------------------------------------------
// Arming

TEST_F(Engine, DialogFocusEventsArmAndDisarmTogether) {
    arm(evdeOnKeyPress, -2);  // something else must be armed for a poll
    arm(evdeOnGainFocus, 1, {}, 0, kOtherDialog);
    EXPECT_TRUE(armed(evdeOnGainFocus) && armed(evdeOnLoseFocus));
    EXPECT_EQ(engine.foregroundDialog(), kOtherDialog);
    EXPECT_EQ(publishedBy([&] { windows.state.foreground = kOtherDialog; }), 1);  // OnGainFocus
    arm(evdeOnLoseFocus, 2);                                                      // other modes change nothing
    EXPECT_TRUE(armed(evdeOnGainFocus) && armed(evdeOnLoseFocus));
    EXPECT_EQ(engine.rememberedForeground(), kOtherDialog);
    arm(evdeOnLoseFocus, 1);
    EXPECT_EQ(engine.foregroundDialog(), kDialog);
    EXPECT_EQ(engine.rememberedForeground(), 0);
    arm(evdeOnLoseFocus, 0);
    EXPECT_FALSE(armed(evdeOnGainFocus) || armed(evdeOnLoseFocus));
    EXPECT_EQ(engine.watchedControls().size(), 3u);  // the list is ignored and controls untouched
}

TEST_F(Engine, EveryCallDropsTheQueue) {
    for (std::int32_t event : {evdeOnGainFocus, evdeOnEnter, 12345}) {
        engine = EventEngine{};
        windows.state.focus = kA;
        leaveOneWaiting();  // with the three children watched
        arm(event, 2, "OK,1");
        EXPECT_EQ(engine.waitingEvents(), 0u);
        EXPECT_EQ(engine.watchedControls().empty(), event == evdeOnEnter) << event;
    }
    engine = EventEngine{};
    for (std::int32_t event : {evdeOnGainFocus, evdeOnEnter, 12345}) arm(event, 2, "OK,1");
    EXPECT_FALSE(armed(evdeOnEnter) || armed(evdeOnExit) || armed(evdeOnKeyPress));
}

TEST_F(Engine, ControlsComeFromTheWalkOrTheList) {
    windows.state.focus = kB;
    arm(evdeOnEnter, 1);
    EXPECT_TRUE(armed(evdeOnEnter));
    EXPECT_EQ(watched(), (std::vector<WatchedControl>{
                             {kDialog, kA, "", false}, {kDialog, kB, "", true}, {kDialog, kC, "", false}}));

    arm(evdeOnExit, 1, "Name,12345");
    EXPECT_TRUE(armed(evdeOnExit));
    EXPECT_EQ(watched(), (std::vector<WatchedControl>{{kDialog, 12345, "Name", false}}));

    arm(evdeOnExit, 1, "\t");  // a list with no items watches nothing
    EXPECT_TRUE(engine.watchedControls().empty());

    arm(evdeOnEnter, 1, {}, 0, 42);  // not a window: no children
    EXPECT_TRUE(engine.watchedControls().empty());

    arm(evdeOnKeyPress, -2, "65");  // key press watches every child, whatever its list
    EXPECT_EQ(engine.watchedControls().size(), 3u);
}

TEST_F(Engine, DisarmingOrOtherModesEmptyTheControls) {
    arm(evdeOnEnter, 1);
    arm(evdeOnExit, 0);
    EXPECT_TRUE(armed(evdeOnEnter));
    EXPECT_FALSE(armed(evdeOnExit));
    EXPECT_TRUE(engine.watchedControls().empty());

    arm(evdeOnEnter, 1);
    arm(evdeOnEnter, 2, "Name,5");
    EXPECT_TRUE(armed(evdeOnEnter));
    EXPECT_TRUE(engine.watchedControls().empty());
    arm(evdeOnExit, 2);
    EXPECT_FALSE(armed(evdeOnExit));
}

TEST_F(Engine, ExtremeModesActAsAnyOtherNumber) {
    arm(evdeOnKeyPress, INT_MIN, "65|17");
    EXPECT_TRUE(armed(evdeOnKeyPress));
    EXPECT_TRUE(std::ranges::equal(engine.polledKeys(), std::vector<std::int32_t>{65, 17}));
    EXPECT_TRUE(engine.Wants(kControlKey));  // by the extra key, not by the mode
    EXPECT_FALSE(engine.Wants(kAltKey) || engine.Wants(kShiftKey));

    arm(evdeOnEnter, INT_MAX, "OK,x");  // the list is not read
    EXPECT_FALSE(armed(evdeOnEnter));
    EXPECT_TRUE(engine.watchedControls().empty());
    arm(evdeOnGainFocus, INT_MIN);
    EXPECT_FALSE(armed(evdeOnGainFocus) || armed(evdeOnLoseFocus));
}

TEST_F(Engine, KeyListsAreBuiltOnceButWishesEveryTime) {
    arm(evdeOnKeyPress, 5);  // selects nothing: the lists stay empty
    EXPECT_TRUE(armed(evdeOnKeyPress));
    EXPECT_TRUE(engine.keyEntries().empty() && engine.polledKeys().empty());

    arm(evdeOnKeyPress, 1, "", 1);
    EXPECT_EQ(engine.polledKeys().size(), 114u);
    EXPECT_TRUE(wantsAll());
    EXPECT_EQ(host.defined.size(), 118u);

    arm(evdeOnKeyPress, -1, "17", 1);
    EXPECT_EQ(engine.polledKeys().size(), 114u);  // the keys chosen first stay
    EXPECT_FALSE(wantsAny());
    EXPECT_EQ(host.defined.size(), 118u);  // names come only with a new poll list

    arm(evdeOnKeyPress, 0);
    EXPECT_FALSE(armed(evdeOnKeyPress));
    EXPECT_EQ(engine.polledKeys().size(), 114u);
}

TEST_F(Engine, RejectedListLeavesTheEngineAsItWas) {
    arm(evdeOnEnter, 1);
    arm(evdeOnExit, 1);
    arm(evdeOnKeyPress, 1);
    // the key press and OnExit of kA go out, OnEnter of kB waits
    EXPECT_EQ(publishedBy([&] {
                  windows.press('A');
                  windows.state.focus = kB;
              }),
              2);
    ASSERT_EQ(engine.waitingEvents(), 1u);
    ASSERT_EQ(engine.rememberedKey(), 'A');
    const EventEngine before = engine;

    EXPECT_THROW(arm(evdeOnEnter, 1, "OK,1\tCancel,x"), std::invalid_argument);
    EXPECT_THROW(arm(evdeOnExit, 1, "OK,99999999999"), std::out_of_range);
    EXPECT_TRUE(engine == before);

    // where the list is not read it is not checked
    arm(evdeOnEnter, 0, "OK,x");
    arm(evdeOnGainFocus, 1, "OK,x");
    arm(evdeOnKeyPress, 0, "x");
    EXPECT_FALSE(armed(evdeOnEnter));
}

TEST_F(Engine, KeyListIsCheckedOnlyWhileTheKeyTableIsEmpty) {
    EXPECT_THROW(arm(evdeOnKeyPress, 3, "65|sixty"), std::invalid_argument);
    EXPECT_TRUE(engine.keyEntries().empty());
    EXPECT_FALSE(armed(evdeOnKeyPress));

    arm(evdeOnKeyPress, 1);
    ASSERT_EQ(engine.keyEntries().size(), 114u);
    const std::vector<std::int32_t> polled(engine.polledKeys().begin(), engine.polledKeys().end());
    // the table exists: the list is not read, so not refused, and the call
    // still sets the wanted flags again
    arm(evdeOnKeyPress, 3, "65|sixty");
    EXPECT_TRUE(armed(evdeOnKeyPress));
    EXPECT_FALSE(wantsAny());
    EXPECT_EQ(engine.keyEntries().size(), 114u);
    EXPECT_TRUE(std::ranges::equal(engine.polledKeys(), polled));
    arm(evdeOnKeyPress, 1, "99999999999");
    EXPECT_TRUE(wantsAll());
}

// ---------------------------------------------------------------------------
// Polling: the host's conditions

TEST_F(Engine, HostValueFailureChangesNothing) {
    arm(evdeOnKeyPress, -2);
    windows.press('A');
    host.fillCode = 3;
    const PollOutcome outcome = poll();
    EXPECT_EQ(outcome.end, PollOutcome::End::HostCode);
    EXPECT_EQ(outcome.hostCode, 3);
    EXPECT_EQ(engine.rememberedKey(), 0);
    EXPECT_EQ(engine.waitingEvents(), 0u);
    host.fillCode = 0;
    EXPECT_EQ(publishedBy(), 1);  // the key is seen once the host answers
}

TEST_F(Engine, InactiveDialogIsNotPolled) {
    arm(evdeOnKeyPress, -2);
    armFocusEvents();
    EXPECT_EQ(publishedBy([&] { windows.state.focus = kB; }), 1);  // OnExit A; OnEnter B waits
    ASSERT_EQ(engine.waitingEvents(), 1u);
    const int keySamples = windows.keySamples;
    windows.state.active = kOther;
    windows.press('A');
    windows.state.focus = kC;
    EXPECT_EQ(publishedBy(), 0);
    EXPECT_EQ(engine.waitingEvents(), 1u);
    EXPECT_EQ(engine.rememberedKey(), 0);
    EXPECT_EQ(windows.keySamples, keySamples);
}

// ---------------------------------------------------------------------------
// Polling: control focus

TEST_F(Engine, OnlyOnExitMarksTheNewControlSilently) {
    arm(evdeOnExit, 1);
    EXPECT_EQ(publishedBy([&] { windows.state.focus = kB; }), 1);
    EXPECT_EQ(last(), Event(evdeOnExit, kA, 2));
    EXPECT_TRUE(engine.watchedControls()[1].entered);
    EXPECT_EQ(publishedBy([&] { windows.state.focus = kC; }), 1);
    EXPECT_EQ(last(), Event(evdeOnExit, kB, 3));
}

// An older event goes out first; the call's own OnExit follows at its end
// and overwrites it, and OnEnter waits for the next call.
TEST_F(Engine, OneCallHandsOverAtMostTwoEvents) {
    arm(evdeOnEnter, 1);
    arm(evdeOnExit, 1);
    arm(evdeOnKeyPress, -2);
    EXPECT_EQ(publishedBy(), 0);
    windows.press('Q');
    windows.press(kControlKey);
    windows.state.focus = kB;
    EXPECT_EQ(publishedBy(), 2);
    // the key state of the call travels into the focus events
    EXPECT_EQ(last(), Event(evdeOnExit, kA, 2, "", 'Q', 1));
    ASSERT_EQ(engine.waitingEvents(), 1u);
    EXPECT_EQ(publishedBy(), 1);
    EXPECT_EQ(last(), Event(evdeOnEnter, kB, 3, "", 'Q', 1));
}

TEST_F(Engine, FocusEventsWithoutKeyPressCarryNoKeys) {
    armFocusEvents();
    windows.press('Q');
    windows.press(kAltKey);
    windows.capsLock(true);
    EXPECT_EQ(publishedBy([&] { windows.state.focus = kB; }), 1);
    EXPECT_EQ(last(), Event(evdeOnExit, kA, 2));
    EXPECT_EQ(windows.keySamples, 0);
}

// ---------------------------------------------------------------------------
// Polling: keys

// A wanted modifier raises an event when a key is let go while it stays
// down; pressing it from idle is no change of the polled key (0 to 0).
TEST_F(Engine, WantedModifiersOutlastTheirKey) {
    arm(evdeOnKeyPress, 1);
    EXPECT_EQ(publishedBy([&] { windows.press(kControlKey); }), 0);
    EXPECT_EQ(publishedBy([&] { windows.press('A'); }), 1);
    EXPECT_EQ(last(), Event(evdeOnKeyPress, kA, 2, "", 'A', 1));
    EXPECT_EQ(publishedBy([&] { windows.release('A'); }), 1);
    EXPECT_EQ(last(), Event(evdeOnKeyPress, kA, 2, "", 0, 1));
    EXPECT_EQ(publishedBy([&] { windows.release(kControlKey); }), 0);

    // Shift counts only while it makes upper case
    windows.press(kShiftKey);
    EXPECT_EQ(publishedBy([&] { windows.press('A'); }), 1);
    EXPECT_EQ(publishedBy([&] { windows.release('A'); }), 1);
    EXPECT_EQ(last(), Event(evdeOnKeyPress, kA, 2, "", 0, 0, 1));
    windows.capsLock(true);
    EXPECT_EQ(publishedBy([&] { windows.press('A'); }), 1);
    EXPECT_EQ(last(), Event(evdeOnKeyPress, kA, 2, "", 'A', 0, 0));
    EXPECT_EQ(publishedBy([&] { windows.release('A'); }), 0);

    windows.press(kAltKey);
    EXPECT_EQ(publishedBy([&] { windows.press('A'); }), 1);
    EXPECT_EQ(publishedBy([&] { windows.release('A'); }), 1);
    EXPECT_EQ(last(), Event(evdeOnKeyPress, kA, 2, "", 0, 0, 0, 1));
}

// With Caps Lock on and Shift up a letter is upper case, but only Shift
// itself is a wanted modifier: letting the letter go raises nothing.
TEST_F(Engine, CapsLockAloneIsNoWantedModifier) {
    arm(evdeOnKeyPress, 1);
    windows.capsLock(true);
    EXPECT_EQ(publishedBy([&] { windows.press('A'); }), 1);
    EXPECT_EQ(last(), Event(evdeOnKeyPress, kA, 2, "", 'A', 0, 1));
    EXPECT_EQ(publishedBy([&] { windows.release('A'); }), 0);
    EXPECT_EQ(engine.rememberedKey(), 0);
}

// A poll that publishes a key remembers the focus it saw; a quiet poll after
// it does not, so a focus move in between is still news to OnEnter armed
// later.
TEST_F(Engine, QuietPollAfterAKeyKeepsTheRememberedFocus) {
    arm(evdeOnKeyPress, -2);
    EXPECT_EQ(publishedBy([&] { windows.press('A'); }), 1);
    EXPECT_EQ(engine.rememberedFocus(), kA);
    EXPECT_EQ(publishedBy([&] {
                  windows.release('A');
                  windows.state.focus = kB;
              }),
              0);
    EXPECT_EQ(engine.rememberedFocus(), kA);

    arm(evdeOnEnter, 1, "A,1001\tB,1002");
    EXPECT_EQ(publishedBy(), 1);
    EXPECT_EQ(last(), Event(evdeOnEnter, kB, 3, "B"));
}

TEST_F(Engine, ModifiersAreNotWantedBelowModeOne) {
    arm(evdeOnKeyPress, -1);
    EXPECT_EQ(publishedBy([&] {
                  windows.press(kControlKey);
                  windows.press(kAltKey);
                  windows.press(kShiftKey);
              }),
              0);
    EXPECT_EQ(publishedBy([&] { windows.press(13); }), 1);
    EXPECT_EQ(last(), Event(evdeOnKeyPress, kA, 2, "", 13, 1, 1, 1));
    EXPECT_EQ(publishedBy([&] { windows.release(13); }), 0);
}

TEST_F(Engine, KeysOutsideTheKeyStateAreNeverDown) {
    arm(evdeOnKeyPress, 5, "300|-4|256|65");
    windows.state.keys.fill(0xFF);
    EXPECT_EQ(publishedBy(), 1);
    EXPECT_EQ(last().key, 65);
}

// ---------------------------------------------------------------------------
// Polling: dialog focus

TEST_F(Engine, DialogFocusEvents) {
    arm(evdeOnKeyPress, -2);  // something else must be armed for a poll
    arm(evdeOnGainFocus, 1);
    // right after arming: the dialog is already in front
    EXPECT_EQ(publishedBy(), 1);
    EXPECT_EQ(last(), (Published{kDialog, kDialog, 0, "", evdeOnGainFocus, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(publishedBy(), 0);

    windows.state.foreground = windows.state.active = kOtherDialog;
    windows.press('A');  // polled although the dialog is not active
    EXPECT_EQ(publishedBy(), 1);
    EXPECT_EQ(last(), (Published{kDialog, kOtherDialog, 0, "", evdeOnLoseFocus, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(publishedBy(), 1);
    EXPECT_EQ(last(), (Published{kDialog, kA, 2, "", evdeOnKeyPress, 0, 0, 'A', 0, 0, 0}));

    EXPECT_EQ(publishedBy([&] { windows.state.foreground = kOther; }), 0);
    EXPECT_EQ(publishedBy([&] { windows.state.foreground = kDialog; }), 1);
    EXPECT_EQ(last().message, evdeOnGainFocus);

    arm(evdeOnLoseFocus, 0);
    EXPECT_EQ(publishedBy([&] { windows.state.foreground = kOther; }), 0);
}

// Without watched controls the dialog of the foreground events stands in;
// without that either, the dialog handle is 0.
TEST_F(Engine, EmptyControlsUseTheWatchedDialog) {
    windows.childrenOf[kDialog] = {};
    arm(evdeOnKeyPress, -2);
    windows.press('A');
    EXPECT_EQ(publishedBy(), 0);  // dialog 0 is never active
    windows.state.active = 0;
    EXPECT_EQ(publishedBy(), 1);
    EXPECT_EQ(last().handle, 0);

    arm(evdeOnGainFocus, 1);
    windows.state.active = kDialog;
    EXPECT_EQ(publishedBy([&] {
                  windows.release('A');
                  windows.press('B');
              }),
              1);
    EXPECT_EQ(last().message, evdeOnGainFocus);
    EXPECT_EQ(publishedBy(), 1);
    EXPECT_EQ(last(), (Published{kDialog, kA, 2, "", evdeOnKeyPress, 0, 0, 'B', 0, 0, 0}));
}

// ---------------------------------------------------------------------------
// Polling: a refused assignment

TEST_F(Engine, RefusedAssignmentKeepsTheEventAtTheHead) {
    armFocusEvents();
    windows.state.focus = kB;
    host.failAtAssignment = 4;  // DCName
    host.failCode = 5;
    const PollOutcome outcome = poll();
    EXPECT_EQ(outcome.end, PollOutcome::End::HostCode);
    EXPECT_EQ(outcome.hostCode, 5);
    EXPECT_EQ(host.assigned, (std::vector<std::string>{"DHandle", "DCHwnd", "DCtrl"}));
    ASSERT_EQ(engine.waitingEvents(), 2u);
    EXPECT_EQ(engine.nextEvent().eventCode, evdeOnExit);
    EXPECT_EQ(engine.rememberedFocus(), 0);
    EXPECT_FALSE(engine.watchedControls()[0].entered);

    // the next call hands over the same OnExit, then the OnEnter it left
    host.failAtAssignment = 0;
    EXPECT_EQ(publishedBy(), 2);
    EXPECT_EQ(last(), Event(evdeOnEnter, kB, 3));
    EXPECT_EQ(host.assigned.size(), 3u + 22u);
    EXPECT_EQ(engine.rememberedFocus(), kB);
    EXPECT_EQ(engine.waitingEvents(), 0u);
}

TEST_F(Engine, RefusalAtTheHeadSkipsTheControlScan) {
    armFocusEvents();
    arm(evdeOnKeyPress, -2);
    arm(evdeOnGainFocus, 1);
    // OnGainFocus goes out, the key press waits; the focus stays
    EXPECT_EQ(publishedBy([&] { windows.press('A'); }), 1);
    ASSERT_EQ(engine.waitingEvents(), 1u);
    windows.state.focus = kB;
    host.failAtAssignment = 22;  // the waiting event's VK_ALT, after the 11 of OnGainFocus
    host.failCode = 21;
    EXPECT_EQ(poll().hostCode, 21);
    EXPECT_EQ(engine.waitingEvents(), 1u);
    EXPECT_EQ(engine.rememberedFocus(), kA);
    EXPECT_TRUE(engine.watchedControls()[0].entered);
}

// ---------------------------------------------------------------------------
// Cost: each piece of state once per poll, item identifiers only for raised
// events, no allocation when nothing is new.

TEST_F(Engine, EachPieceOfStateIsSampledOncePerPoll) {
    arm(evdeOnEnter, 1);
    arm(evdeOnKeyPress, -2);
    const int focusBefore = windows.focusSamples;
    EXPECT_EQ(publishedBy(), 0);
    EXPECT_EQ(windows.focusSamples - focusBefore, 1);
    EXPECT_EQ(windows.keySamples, 1);
    EXPECT_EQ(windows.foregroundSamples, 0);
    EXPECT_EQ(windows.itemIdCalls, 0);

    arm(evdeOnGainFocus, 1);
    EXPECT_EQ(publishedBy([&] { windows.press('A'); }), 1);
    EXPECT_EQ(windows.foregroundSamples, 1);
    EXPECT_EQ(windows.keySamples, 2);
    EXPECT_EQ(windows.itemIdCalls, 1);  // the key event; the dialog event asks none
}

// With the dialog focus events the dialog is polled even while inactive, so
// the keys come with the first query; without them they wait for the check
// that the dialog is active.
TEST_F(Engine, KeysComeWithTheFirstQueryOnlyWithTheDialogFocusEvents) {
    EXPECT_EQ(engine.PartsToSample(), unsigned{kSampleFocusAndActive});
    arm(evdeOnKeyPress, -2);
    EXPECT_EQ(engine.PartsToSample(), unsigned{kSampleFocusAndActive});
    int calls = windows.sampleCalls;
    EXPECT_EQ(publishedBy(), 0);
    EXPECT_EQ(windows.sampleCalls - calls, 2);

    arm(evdeOnGainFocus, 1);
    EXPECT_EQ(engine.PartsToSample(), unsigned{kSampleFocusAndActive | kSampleForeground | kSampleKeys});
    EXPECT_EQ(publishedBy(), 1);  // OnGainFocus
    windows.state.active = kOther;
    calls = windows.sampleCalls;
    const int keySamples = windows.keySamples;
    EXPECT_EQ(publishedBy([&] { windows.press('A'); }), 1);
    EXPECT_EQ(last().key, 'A');
    EXPECT_EQ(windows.sampleCalls - calls, 1);
    EXPECT_EQ(windows.keySamples - keySamples, 1);

    arm(evdeOnLoseFocus, 0);  // disarms both
    EXPECT_EQ(engine.PartsToSample(), unsigned{kSampleFocusAndActive});
    arm(evdeOnGainFocus, 1);
    arm(evdeOnKeyPress, 0);
    EXPECT_EQ(engine.PartsToSample(), unsigned{kSampleFocusAndActive | kSampleForeground});
}

// The library's handler makes the first query itself and hands the snapshot
// over; every decision must be the one the engine makes querying alone.
TEST_F(Engine, APollGivenTheFirstQueryDecidesAsOneThatQueriesItself) {
    EventEngine given;
    FakeHost givenHost;
    const auto both = [&](std::int32_t event, std::int32_t mode, std::string_view list = {}) {
        arm(event, mode, list);
        given.RegisterEvent({kDialog, event, mode, list, 0}, windows, givenHost);
    };
    const auto pollBoth = [&](const char* step) {
        SCOPED_TRACE(step);
        const PollOutcome alone = poll();
        Snapshot now(Snapshot::KeysUnwritten{});
        windows.Sample(now, given.PartsToSample());
        const PollOutcome withGiven = given.Poll(now, windows, givenHost);
        EXPECT_EQ(withGiven.end, alone.end);
        EXPECT_EQ(withGiven.hostCode, alone.hostCode);
        EXPECT_TRUE(given == engine);
        EXPECT_EQ(givenHost.assigned, host.assigned);
        EXPECT_EQ(givenHost.variables, host.variables);
        EXPECT_EQ(givenHost.messages, host.messages);
    };
    pollBoth("nothing armed");
    both(evdeOnKeyPress, 1);
    pollBoth("key press alone");
    windows.press(kShiftKey);
    pollBoth("a wanted modifier");
    windows.state.active = kOther;
    windows.press('Q');
    pollBoth("an inactive dialog");
    windows.state.active = kDialog;
    both(evdeOnEnter, 1);
    both(evdeOnExit, 1);
    pollBoth("the controls armed");
    windows.state.focus = kB;
    pollBoth("a focus change");
    both(evdeOnGainFocus, 1);
    pollBoth("the dialog focus events armed");
    windows.state.foreground = kOther;
    windows.state.active = kOther;
    windows.release('Q');
    pollBoth("the dialog left");
    host.fillCode = givenHost.fillCode = 5;
    windows.state.foreground = kDialog;
    pollBoth("a host that refuses its value");
    host.fillCode = givenHost.fillCode = 0;
    host.hostVersion = givenHost.hostVersion = 1010;
    pollBoth("a host too old");
}

// Any of the 256 keys is found down on its own, and a key only toggled on
// is not down.
TEST_F(Engine, APolledKeyIsFoundWhereverItLiesInTheKeyState) {
    std::string everyCode;
    for (int code = 1; code < 256; ++code) everyCode += std::to_string(code) + "|";
    everyCode.pop_back();
    arm(evdeOnKeyPress, 2, everyCode);
    for (int code = 1; code < 256; ++code) {
        windows.press(code);
        poll();
        EXPECT_EQ(engine.rememberedKey(), code);
        windows.release(code);
        poll();
        EXPECT_EQ(engine.rememberedKey(), 0) << code;
    }
    windows.state.keys.fill(kKeyToggled);
    poll();
    EXPECT_EQ(engine.rememberedKey(), 0);
}

#ifdef EVENTS_COUNT_ALLOCATIONS
int gAllocations = 0;
bool gCounting = false;
void CountAllocation(const volatile void*, std::size_t) {
    if (gCounting) ++gAllocations;
}
void IgnoreFree(const volatile void*) {}

TEST_F(Engine, APollWithNothingNewAllocatesNothing) {
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(CountAllocation, IgnoreFree) != 0;
    ASSERT_TRUE(installed);
    arm(evdeOnKeyPress, 1);
    arm(evdeOnEnter, 1, "A long name that no short string holds," + std::to_string(kA));
    arm(evdeOnExit, 1, "A long name that no short string holds," + std::to_string(kA));
    arm(evdeOnGainFocus, 1);
    windows.press('A');
    EXPECT_EQ(publishedBy(), 2);  // OnGainFocus, then the key press; OnEnter waits
    EXPECT_EQ(publishedBy(), 1);
    EXPECT_EQ(last().name, "A long name that no short string holds");

    gAllocations = 0;
    gCounting = true;
    for (int i = 0; i < 10; ++i) poll();
    gCounting = false;
    EXPECT_EQ(gAllocations, 0);
    EXPECT_EQ(engine.waitingEvents(), 0u);
}
#endif

}  // namespace
