// Reading the list argument of evDialogProcOptions: the watched controls
// ("name,handle" items separated by TAB) and the extra keys (decimal codes
// separated by "|"). Platform-free: builds into the DLL and natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

struct ListedControl {
    std::string name;
    std::int32_t handle = 0;
};

// Splits text at TAB, each item at ",", dropping empty pieces; an item's
// first piece is the name, its second the window handle in decimal (further
// pieces are ignored). A number is read as the standard conversion reads
// it: leading white space, an optional sign, then decimal digits up to the
// first other character (" 120px" is 120); it needs at least one digit and
// must lie within the signed 32-bit range.
//
// An item whose handle is missing, not decimal or out of range cannot name a
// control: the whole list is rejected with ScriptArgumentError (a
// std::invalid_argument or std::out_of_range), whose text names the item. An empty text gives no items.
std::vector<ListedControl> ParseControlList(std::string_view text);

// Splits text at "|", dropping empty pieces, and reads each piece as a
// decimal number as above; a bad piece rejects the whole list the same way.
std::vector<std::int32_t> ParseKeyList(std::string_view text);

}  // namespace vantor
