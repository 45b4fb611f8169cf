// The rule lvDeleteItem and lbDeleteItem share: which items a script's call
// deletes, or which note it shows instead. Platform-free: the handlers ask
// the control for its counts, carry out the plan and deliver their result.
#pragma once

#include <cstdint>

namespace vantor {

enum class DeleteWhat { Refused, One, All, Selected, Unselected };

// The script's scope argument as the rule reads it.
enum class DeleteScope {
    ItemFromEitherEnd,  // 0: one item; a negative item number counts from the end
    Item,               // above 0: one item, numbered from the start
    All,                // -1
    Selected,           // -2
    Unselected,         // -3
    Invalid,            // below -3
};
// The one reading of the script's integer.
DeleteScope ReadDeleteScope(std::int32_t scope);

struct DeletePlan {
    DeleteWhat what = DeleteWhat::Refused;
    std::int32_t index = 0;      // One: the item's index, counted from 0
    const char* note = nullptr;  // Refused: the text of the "Note" box
};

// item is the script's item number (from 1; 0 stands for 1; with scope 0 a
// negative number counts from the end, -1 the last), scope 0 or above one
// item, -1 every item, -2 the selected items, -3 the unselected ones; count
// and selected are the control's numbers of items and of selected items.
// Refused, in this order: scope -2 or -3 with nothing selected, an item past
// the end, a scope below -3.
DeletePlan PlanDeletion(std::int32_t item, std::int32_t scope, std::int32_t count, std::int32_t selected);

}  // namespace vantor
