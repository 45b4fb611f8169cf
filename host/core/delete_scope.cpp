#include "host/core/delete_scope.h"

#include "host/core/value_helpers.h"

namespace vantor {
namespace {

DeletePlan Refuse(const char* note) { return {DeleteWhat::Refused, 0, note}; }

// The item number after the two adjustments: 0 names the first item, and a
// negative one (scope 0 only) counts from the end.
std::int64_t Adjusted(std::int32_t item, std::int32_t scope, std::int32_t count) {
    if (item == 0) return 1;
    if (item < 0 && scope == 0) return std::int64_t{count} + 1 + item;
    return item;
}

}  // namespace

DeletePlan PlanDeletion(std::int32_t item, std::int32_t scope, std::int32_t count, std::int32_t selected) {
    const std::int64_t number = Adjusted(item, scope, count);
    if (selected == 0 && scope == -2) return Refuse("A Scope of -2 indicated but no Items selected for deletion");
    if (selected == 0 && scope == -3) return Refuse("A Scope of -3 indicated but no Items selected");
    if (number > count) return Refuse("Index is greater than number of items in ListView");
    if (scope < -3) return Refuse("Invalid Scope value");
    switch (scope) {
        case -1: return {DeleteWhat::All};
        case -2: return {DeleteWhat::Selected};
        case -3: return {DeleteWhat::Unselected};
        default: return {DeleteWhat::One, ZeroBased(static_cast<std::int32_t>(number))};
    }
}

}  // namespace vantor
