// CVantor: the extender object. Every script function is a handler member
// that takes the one Call the dispatcher hands it; the function list
// declares them all, each family's source file defines its own.
#pragma once

#include "host/call.h"
#include "host/dispatcher.h"
#include "host/function_list.h"

namespace vantor {

struct TableEntry;

class CVantor final : public CKelExtenderT<CVantor> {
public:
    using Handler = std::int32_t (CVantor::*)(const Call& call);

    static constexpr std::int32_t kFunctionCount = 130;
    static constexpr std::int32_t kEntryCount = 146;

    constexpr CVantor() = default;

    // The handler of entry index; null for constants and indexes outside the table.
    static Handler HandlerAt(std::int32_t index);
    // Fills record with the description of entry: 0 when there is no such
    // entry, else 1 (also for a null record, which is left alone).
    static std::int32_t Describe(std::int32_t entry, QueryRecord* record);

#define VANTOR_DECLARE_HANDLER(name, required, optional, types) std::int32_t name(const Call& call);
    VANTOR_FUNCTIONS(VANTOR_DECLARE_HANDLER)
#undef VANTOR_DECLARE_HANDLER
};

// The one extender object; both exports reach it.
extern CVantor theExtender;

}  // namespace vantor
