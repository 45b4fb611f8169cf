#include "events/core/key_table.h"

#include <algorithm>
#include <array>

namespace vantor {

// clang-format off
constexpr std::string_view kKeyTableText =
    "VK_LBUTTON|0x01|1|0|Left mouse button~"
    "VK_RBUTTON|0x02|2|0|Right mouse button~"
    "VK_CANCEL|0x03|3|0|Control-break processing~"
    "VK_MBUTTON|0x04|4|0|Middle mouse button (three-button mouse)~"
    "VK_XBUTTON1|0x05|5|0|X1 mouse button~"
    "VK_XBUTTON2|0x06|6|0|X2 mouse button~"
    "VK_BACK|0x08|8|0|BACKSPACE key~"
    "VK_TAB|0x09|9|-1|TAB key~"
    "VK_CLEAR|0x0C|12|0|CLEAR key~"
    "VK_RETURN|0x0D|13|-1|ENTER key~"
    "VK_PAUSE|0x13|19|0|PAUSE key~"
    "VK_ESCAPE|0x1B|27|-1|ESC key~"
    "VK_SPACE|0x20|32|0|SPACEBAR~"
    "VK_PRIOR|0x21|33|0|PAGE UP key~"
    "VK_NEXT|0x22|34|0|PAGE DOWN key~"
    "VK_END|0x23|35|-1|END key~"
    "VK_HOME|0x24|36|-1|HOME key~"
    "VK_LEFT|0x25|37|-1|LEFT ARROW key~"
    "VK_UP|0x26|38|-1|UP ARROW key~"
    "VK_RIGHT|0x27|39|-1|RIGHT ARROW key~"
    "VK_DOWN|0x28|40|-1|DOWN ARROW key~"
    "VK_SELECT|0x29|41|0|SELECT key~"
    "VK_PRINT|0x2A|42|0|PRINT key~"
    "VK_EXECUTE|0x2B|43|0|EXECUTE key~"
    "VK_SNAPSHOT|0x2C|44|0|PRINT SCREEN key~"
    "VK_INSERT|0x2D|45|-1|INS key~"
    "VK_DELETE|0x2E|46|-1|DEL key~"
    "VK_HELP|0x2F|47|0|HELP key~"
    "0|0x30|48|-2|0 key~"
    "1|0x31|49|-2|1 key~"
    "2|0x32|50|-2|2 key~"
    "3|0x33|51|-2|3 key~"
    "4|0x34|52|-2|4 key~"
    "5|0x35|53|-2|5 key~"
    "6|0x36|54|-2|6 key~"
    "7|0x37|55|-2|7 key~"
    "8|0x38|56|-2|8 key~"
    "9|0x39|57|-2|9 key~"
    "A|0x41|65|-2|A key~"
    "B|0x42|66|-2|B key~"
    "C|0x43|67|-2|C key~"
    "D|0x44|68|-2|D key~"
    "E|0x45|69|-2|E key~"
    "F|0x46|70|-2|F key~"
    "G|0x47|71|-2|G key~"
    "H|0x48|72|-2|H key~"
    "I|0x49|73|-2|I key~"
    "J|0x4A|74|-2|J key~"
    "K|0x4B|75|-2|K key~"
    "L|0x4C|76|-2|L key~"
    "M|0x4D|77|-2|M key~"
    "N|0x4E|78|-2|N key~"
    "O|0x4F|79|-2|O key~"
    "P|0x50|80|-2|P key~"
    "Q|0x51|81|-2|Q key~"
    "R|0x52|82|-2|R key~"
    "S|0x53|83|-2|S key~"
    "T|0x54|84|-2|T key~"
    "U|0x55|85|-2|U key~"
    "V|0x56|86|-2|V key~"
    "W|0x57|87|-2|W key~"
    "X|0x58|88|-2|X key~"
    "Y|0x59|89|-2|Y key~"
    "Z|0x5A|90|-2|Z key~"
    "VK_LWIN|0x5B|91|0|Left Windows key (Natural keyboard)~"
    "VK_RWIN|0x5C|92|0|Right Windows key (Natural keyboard)~"
    "VK_APPS|0x5D|93|0|Applications key (Natural keyboard)~"
    "VK_SLEEP|0x5F|95|0|Computer Sleep key~"
    "VK_NUMPAD0|0x60|96|-2|Numeric keypad 0 key~"
    "VK_NUMPAD1|0x61|97|-2|Numeric keypad 1 key~"
    "VK_NUMPAD2|0x62|98|-2|Numeric keypad 2 key~"
    "VK_NUMPAD3|0x63|99|-2|Numeric keypad 3 key~"
    "VK_NUMPAD4|0x64|100|-2|Numeric keypad 4 key~"
    "VK_NUMPAD5|0x65|101|-2|Numeric keypad 5 key~"
    "VK_NUMPAD6|0x66|102|-2|Numeric keypad 6 key~"
    "VK_NUMPAD7|0x67|103|-2|Numeric keypad 7 key~"
    "VK_NUMPAD8|0x68|104|-2|Numeric keypad 8 key~"
    "VK_NUMPAD9|0x69|105|-2|Numeric keypad 9 key~"
    "VK_MULTIPLY|0x6A|106|0|Multiply key~"
    "VK_ADD|0x6B|107|0|Add key~"
    "VK_SEPARATOR|0x6C|108|0|Separator key~"
    "VK_SUBTRACT|0x6D|109|0|Subtract key~"
    "VK_DECIMAL|0x6E|110|0|Decimal key~"
    "VK_DIVIDE|0x6F|111|0|Divide key~"
    "VK_F1|0x70|112|-1|F1 key~"
    "VK_F2|0x71|113|-1|F2 key~"
    "VK_F3|0x72|114|-1|F3 key~"
    "VK_F4|0x73|115|-1|F4 key~"
    "VK_F5|0x74|116|-1|F5 key~"
    "VK_F6|0x75|117|-1|F6 key~"
    "VK_F7|0x76|118|-1|F7 key~"
    "VK_F8|0x77|119|-1|F8 key~"
    "VK_F9|0x78|120|-1|F9 key~"
    "VK_F10|0x79|121|-1|F10 key~"
    "VK_F11|0x7A|122|-1|F11 key~"
    "VK_F12|0x7B|123|-1|F12 key~"
    "VK_F13|0x7C|124|-1|F13 key~"
    "VK_F14|0x7D|125|-1|F14 key~"
    "VK_F15|0x7E|126|-1|F15 key~"
    "VK_F16|0x7F|127|-1|F16 key~"
    "VK_F17|0x80|128|-1|F17 key~"
    "VK_F18|0x81|129|-1|F18 key~"
    "VK_F19|0x82|130|-1|F19 key~"
    "VK_F20|0x83|131|-1|F20 key~"
    "VK_F21|0x84|132|-1|F21 key~"
    "VK_F22|0x85|133|-1|F22 key~"
    "VK_F23|0x86|134|-1|F23 key~"
    "VK_F24|0x87|135|-1|F24 key~"
    "VK_NUMLOCK|0x90|144|0|NUM LOCK key~"
    "VK_SCROLL|0x91|145|0|SCROLL LOCK key~"
    "VK_OEM_PLUS|0xBB|187|0|The '+' key~"
    "VK_OEM_COMMA|0xBC|188|0|The ',' key~"
    "VK_OEM_MINUS|0xBD|189|0|The '-' key~"
    "VK_OEM_PERIOD|0xBE|190|0|The '.' key";
// clang-format on

const std::string_view VirtualKeyTableText = kKeyTableText;

namespace {

// One row of the built-in table, read from the text by the compiler.
struct KeyRow {
    std::string_view name;
    std::int32_t code = 0;
    std::int32_t decimalCode = 0;
    std::int32_t keyClass = 0;
    std::string_view description;
};

// Reads a whole field of a built-in row as a number in base (an optional
// "-", then digits; "0x" before hexadecimal ones).
constexpr std::int32_t FieldNumber(std::string_view field, int base) {
    const bool negative = field.starts_with('-');
    if (negative) field.remove_prefix(1);
    if (base == 16 && (field.starts_with("0x") || field.starts_with("0X"))) field.remove_prefix(2);
    std::int32_t value = 0;
    for (const char c : field) {
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c - 'a' + 10;
        value = value * base + digit;
    }
    return negative ? -value : value;
}

// The next piece of text up to delimiter; text keeps what follows it.
constexpr std::string_view NextPiece(std::string_view& text, char delimiter) {
    const std::size_t end = text.find(delimiter);
    const std::string_view piece = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return piece;
}

constexpr std::array<KeyRow, kVirtualKeyRows> ReadRows(std::string_view text) {
    std::array<KeyRow, kVirtualKeyRows> rows{};
    for (KeyRow& row : rows) {
        std::string_view fields = NextPiece(text, '~');
        row.name = NextPiece(fields, '|');
        row.code = FieldNumber(NextPiece(fields, '|'), 16);
        row.decimalCode = FieldNumber(NextPiece(fields, '|'), 10);
        row.keyClass = FieldNumber(NextPiece(fields, '|'), 10);
        row.description = fields;
    }
    return rows;
}

// What the compiler checks of the rows: the number of rows, both codes of a
// row alike, codes ascending (each key once), the three classes, names and
// descriptions present and without surrounding blanks.
constexpr bool WellFormed(std::string_view text, const std::array<KeyRow, kVirtualKeyRows>& rows) {
    if (static_cast<std::size_t>(std::count(text.begin(), text.end(), '~')) != kVirtualKeyRows - 1) return false;
    const auto bare = [](std::string_view s) { return !s.empty() && s.front() != ' ' && s.back() != ' '; };
    std::int32_t previous = 0;
    for (const KeyRow& row : rows) {
        if (row.code != row.decimalCode || row.code <= previous || row.code > 255) return false;
        if (row.keyClass != 0 && row.keyClass != -1 && row.keyClass != -2) return false;
        if (!bare(row.name) || !bare(row.description)) return false;
        previous = row.code;
    }
    return true;
}

// Every row is of class 0, -1 or -2 (the compiler checks it above).
bool Selected(KeyPressMode mode, std::int32_t keyClass) {
    return mode == KeyPressMode::AllKeys || (mode == KeyPressMode::NavigationKeys && keyClass == -1) ||
           (mode == KeyPressMode::CharacterKeys && keyClass == -2);
}

KeyEntry Entry(const KeyRow& row) {
    return {std::string(row.name), row.code, row.decimalCode, std::string(row.description), row.keyClass};
}

}  // namespace

constexpr std::array<KeyRow, kVirtualKeyRows> kVirtualKeys = ReadRows(kKeyTableText);
static_assert(WellFormed(kKeyTableText, kVirtualKeys));
static_assert(kVirtualKeys[0].code == 1 && kVirtualKeys[kVirtualKeyRows - 1].name == "VK_OEM_PERIOD");

std::vector<KeyEntry> ParseVirtualKeyTable() {
    std::vector<KeyEntry> rows;
    rows.reserve(kVirtualKeyRows);
    for (const KeyRow& row : kVirtualKeys) rows.push_back(Entry(row));
    return rows;
}

std::vector<KeyEntry> BuildKeyTable(KeyPressMode mode, std::span<const std::int32_t> extraKeys, bool& altWanted,
                                    bool& ctrlWanted, bool& shiftWanted) {
    std::vector<KeyEntry> table;
    for (const KeyRow& row : kVirtualKeys) {
        if (Selected(mode, row.keyClass)) table.push_back(Entry(row));
    }
    for (const std::int32_t code : extraKeys) {
        if (code == kShiftKey) shiftWanted = true;
        if (code == kControlKey) ctrlWanted = true;
        if (code == kAltKey) altWanted = true;
        KeyEntry extra;  // only the code of an extra key is known
        extra.code = code;
        table.push_back(std::move(extra));
    }
    return table;
}

std::vector<std::int32_t> BuildPollList(std::span<const KeyEntry> keyTable) {
    std::vector<std::int32_t> codes;
    codes.reserve(keyTable.size());
    for (const KeyEntry& entry : keyTable) codes.push_back(entry.code);
    return codes;
}

std::vector<KeyName> KeyNameVariables() {
    std::vector<KeyName> names;
    names.reserve(kVirtualKeyRows + 4);
    for (const KeyRow& row : kVirtualKeys) {
        // Digit and letter rows are named by their character alone.
        names.push_back({row.name.size() == 1 ? "VK_" + std::string(row.name) : std::string(row.name), row.code});
    }
    names.push_back({"VK_SHIFT", kShiftKey});
    names.push_back({"VK_CONTROL", kControlKey});
    names.push_back({"VK_MENU", kAltKey});
    names.push_back({"VK_ALT", kAltKey});
    return names;
}

}  // namespace vantor
