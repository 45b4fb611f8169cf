// The built-in table of virtual keys that key press events poll, the choice
// of a subset of it by key class, the script's extra keys, and the key-name
// script variables. Platform-free: builds into the DLL and natively.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Virtual-key codes the engine reads itself (the Windows values of VK_SHIFT,
// VK_CONTROL, VK_MENU and VK_CAPITAL; the DLL checks them against winuser.h).
inline constexpr std::int32_t kShiftKey = 16;
inline constexpr std::int32_t kControlKey = 17;
inline constexpr std::int32_t kAltKey = 18;
inline constexpr std::int32_t kCapsLockKey = 20;

// 114 rows joined by "~", each "name|0xHH|decimal|class|description".
// Class -1 holds the navigation, editing and function keys, class -2 the
// digits, letters and keypad digits, class 0 the rest.
extern const std::string_view VirtualKeyTableText;
inline constexpr std::size_t kVirtualKeyRows = 114;

struct KeyEntry {
    std::string name;
    std::int32_t code = 0;  // the only field read once the table is built
    std::int32_t decimalCode = 0;
    std::string description;
    std::int32_t keyClass = 0;

    friend bool operator==(const KeyEntry&, const KeyEntry&) = default;
};

// All rows of VirtualKeyTableText, in order, as key entries.
std::vector<KeyEntry> ParseVirtualKeyTable();

// The keys a key press registration chooses from the built-in table (its
// mode argument 0, 1, -1, -2 and any other integer, in this order).
enum class KeyPressMode { Off, AllKeys, NavigationKeys, CharacterKeys, ExtraKeysOnly };

// The keys a key press registration polls: every row for AllKeys, the rows
// of class -1 for NavigationKeys, of class -2 for CharacterKeys, none for
// the other modes; then each extra key in order (its code only). An extra
// key of 18, 17 or 16 also sets altWanted, ctrlWanted or shiftWanted: a key
// press event is then raised for that modifier alone.
std::vector<KeyEntry> BuildKeyTable(KeyPressMode mode, std::span<const std::int32_t> extraKeys, bool& altWanted,
                                    bool& ctrlWanted, bool& shiftWanted);

// The codes of keyTable in its order: the first one found down wins.
std::vector<std::int32_t> BuildPollList(std::span<const KeyEntry> keyTable);

// The 118 key-name script variables in the order they are defined: one per
// table row (digits and letters as VK_0..VK_9, VK_A..VK_Z), then VK_SHIFT,
// VK_CONTROL, VK_MENU and VK_ALT.
struct KeyName {
    std::string name;
    std::int32_t code = 0;
};
std::vector<KeyName> KeyNameVariables();

}  // namespace vantor
