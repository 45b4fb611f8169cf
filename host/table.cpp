// The table of functions and constants the host reads entry by entry.
#include "host/vantor.h"

#include <cstring>
#include <iterator>
#include <string_view>

namespace vantor {

struct TableEntry {
    CVantor::Handler handler;  // null for constants
    const char* name;
    std::uint16_t nameLength;
    std::int32_t kind;
    std::uint8_t required;
    std::uint8_t optional;
    std::int32_t value;   // constants
    std::uint64_t types;  // 4 bits per argument position, position 1 lowest; 1 = string
};

namespace {

constexpr std::uint64_t TypeWord(std::string_view types) {
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < types.size(); ++i)
        if (types[i] == 'S') word |= std::uint64_t{1} << (4 * i);
    return word;
}

#define VANTOR_FUNCTION_ENTRY(fn, req, opt, types) \
    TableEntry{&CVantor::fn, #fn, std::string_view(#fn).size(), kFunctionEntry, req, opt, 0, TypeWord(types)},
#define VANTOR_CONSTANT_ENTRY(text, number) \
    TableEntry{nullptr, text, std::string_view(text).size(), kConstantEntry, 0, 0, number, 0},

constexpr TableEntry kTable[] = {VANTOR_FUNCTIONS(VANTOR_FUNCTION_ENTRY) VANTOR_CONSTANTS(VANTOR_CONSTANT_ENTRY)};

#undef VANTOR_FUNCTION_ENTRY
#undef VANTOR_CONSTANT_ENTRY

static_assert(std::size(kTable) == CVantor::kEntryCount);
static_assert(kTable[CVantor::kFunctionCount - 1].kind == kFunctionEntry &&
              kTable[CVantor::kFunctionCount].kind == kConstantEntry);

}  // namespace

CVantor::Handler CVantor::HandlerAt(std::int32_t index) {
    if (index < 0 || index >= kEntryCount) return nullptr;
    return kTable[index].handler;
}

std::int32_t CVantor::Describe(std::int32_t entry, QueryRecord* record) {
    if (entry < 0 || entry >= kEntryCount) return 0;
    if (record == nullptr) return 1;
    const TableEntry& e = kTable[entry];
    record->entry = entry;
    record->kind = e.kind;
    record->typesLow = static_cast<std::uint32_t>(e.types);
    record->typesHigh = static_cast<std::uint32_t>(e.types >> 32);
    if (e.kind == kConstantEntry) {
        record->value = e.value;
    } else {
        record->counts.required = e.required;
        record->counts.optional = e.optional;
        record->counts.zero = 0;
    }
    record->nameLength = static_cast<std::int16_t>(e.nameLength);
    // The host's record holds the longest name; copy through the record's
    // own storage and lower-case in place as the host expects.
    char* name = record->name;
    std::memcpy(name, e.name, e.nameLength + 1u);
    CharLowerA(name);
    return 1;
}

}  // namespace vantor
