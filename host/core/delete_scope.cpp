#include "host/core/delete_scope.h"

#include "host/core/value_helpers.h"

namespace vantor {
namespace {

DeletePlan Refuse(const char* note) { return {DeleteWhat::Refused, 0, note}; }

// The item number after the two adjustments: 0 names the first item, and a
// negative one (scope 0 only) counts from the end.
std::int64_t Adjusted(std::int32_t item, DeleteScope scope, std::int32_t count) {
    if (item == 0) return 1;
    if (item < 0 && scope == DeleteScope::ItemFromEitherEnd) return std::int64_t{count} + 1 + item;
    return item;
}

}  // namespace

DeleteScope ReadDeleteScope(std::int32_t scope) {
    switch (scope) {
        case 0: return DeleteScope::ItemFromEitherEnd;
        case -1: return DeleteScope::All;
        case -2: return DeleteScope::Selected;
        case -3: return DeleteScope::Unselected;
        default: return scope > 0 ? DeleteScope::Item : DeleteScope::Invalid;
    }
}

DeletePlan PlanDeletion(std::int32_t item, std::int32_t scopeArgument, std::int32_t count, std::int32_t selected) {
    const DeleteScope scope = ReadDeleteScope(scopeArgument);
    const std::int64_t number = Adjusted(item, scope, count);
    if (selected == 0 && scope == DeleteScope::Selected)
        return Refuse("A Scope of -2 indicated but no Items selected for deletion");
    if (selected == 0 && scope == DeleteScope::Unselected)
        return Refuse("A Scope of -3 indicated but no Items selected");
    if (number > count) return Refuse("Index is greater than number of items in ListView");
    switch (scope) {
        case DeleteScope::Invalid: return Refuse("Invalid Scope value");
        case DeleteScope::All: return {DeleteWhat::All};
        case DeleteScope::Selected: return {DeleteWhat::Selected};
        case DeleteScope::Unselected: return {DeleteWhat::Unselected};
        case DeleteScope::ItemFromEitherEnd:
        case DeleteScope::Item: break;
    }
    return {DeleteWhat::One, ZeroBased(static_cast<std::int32_t>(number))};
}

}  // namespace vantor
