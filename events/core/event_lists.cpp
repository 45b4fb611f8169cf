#include "events/core/event_lists.h"

#include "host/core/script_error.h"
#include "host/core/value_helpers.h"

#include <stdexcept>

namespace vantor {

namespace {

// A list item quoted in a message is cut after this many characters, so the
// message stays readable.
constexpr std::size_t kShownOfItem = 60;

// Reads the number at the start of piece (leading blanks and a sign allowed,
// what follows the digits is ignored, as the standard conversion reads it)
// or rejects the list; subject names the item in the message.
std::int32_t RequireDecimal(std::string_view piece, const std::string& subject) {
    std::int32_t value = 0;
    switch (ReadLeadingInteger(piece, value)) {
        case NumberRead::Number: return value;
        case NumberRead::OutOfRange:
            throw ScriptArgumentError<std::out_of_range>("evDialogProcOptions: " + subject +
                                                         " is out of the 32-bit range");
        case NumberRead::NotANumber: break;
    }
    throw ScriptArgumentError<std::invalid_argument>("evDialogProcOptions: " + subject + " is not a decimal number");
}

}  // namespace

std::vector<ListedControl> ParseControlList(std::string_view text) {
    std::vector<ListedControl> controls;
    for (const std::string& item : SplitList(text, '\t')) {
        std::vector<std::string> pieces = SplitList(item, ',');
        if (pieces.size() < 2) {
            throw ScriptArgumentError<std::invalid_argument>("evDialogProcOptions: control list item " +
                                                             Quoted(item, kShownOfItem) +
                                                             " has no window handle after a comma");
        }
        const std::int32_t handle = RequireDecimal(pieces[1], "control list item " + Quoted(item, kShownOfItem) +
                                                                  ": window handle " + Quoted(pieces[1], kShownOfItem));
        controls.push_back({std::move(pieces[0]), handle});
    }
    return controls;
}

std::vector<std::int32_t> ParseKeyList(std::string_view text) {
    std::vector<std::int32_t> codes;
    for (const std::string& piece : SplitList(text, '|')) {
        codes.push_back(RequireDecimal(piece, "key list item " + Quoted(piece, kShownOfItem)));
    }
    return codes;
}

}  // namespace vantor
