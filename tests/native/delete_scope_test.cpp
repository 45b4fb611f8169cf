// The deletion rule of lvDeleteItem and lbDeleteItem, case by case.
#include "host/core/delete_scope.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace vantor;

namespace {

struct Case {
    std::int32_t item, scope, count, selected;
    DeleteWhat what;
    std::int32_t index;  // One only
    const char* note;    // Refused only
};

constexpr const char* kNoneForTwo = "A Scope of -2 indicated but no Items selected for deletion";
constexpr const char* kNoneForThree = "A Scope of -3 indicated but no Items selected";
constexpr const char* kPastTheEnd = "Index is greater than number of items in ListView";
constexpr const char* kBadScope = "Invalid Scope value";

TEST(PlanDeletion, TableOfCases) {
    const Case cases[] = {
        {1, 0, 3, 0, DeleteWhat::One, 0, nullptr},
        {3, 0, 3, 0, DeleteWhat::One, 2, nullptr},
        {0, 0, 3, 0, DeleteWhat::One, 0, nullptr},   // 0 stands for the first item
        {-1, 0, 3, 0, DeleteWhat::One, 2, nullptr},  // counts from the end
        {-3, 0, 3, 0, DeleteWhat::One, 0, nullptr},
        {-4, 0, 3, 0, DeleteWhat::One, -1, nullptr},  // before the first: the control refuses
        {-1, 5, 3, 0, DeleteWhat::One, -2, nullptr},  // from the end with scope 0 only
        {2, 7, 3, 1, DeleteWhat::One, 1, nullptr},    // any scope above 0 is one item
        {4, 0, 3, 0, DeleteWhat::Refused, 0, kPastTheEnd},
        {1, 0, 0, 0, DeleteWhat::Refused, 0, kPastTheEnd},
        {0, -1, 3, 0, DeleteWhat::All, 0, nullptr},
        {0, -1, 0, 0, DeleteWhat::Refused, 0, kPastTheEnd},  // item 0 is item 1, also for scope -1
        {9, -1, 3, 0, DeleteWhat::Refused, 0, kPastTheEnd},  // the item is checked for every scope
        {1, -2, 3, 2, DeleteWhat::Selected, 0, nullptr},
        {1, -2, 3, 0, DeleteWhat::Refused, 0, kNoneForTwo},
        {1, -3, 3, 1, DeleteWhat::Unselected, 0, nullptr},
        {1, -3, 3, 0, DeleteWhat::Refused, 0, kNoneForThree},
        {9, -2, 3, 0, DeleteWhat::Refused, 0, kNoneForTwo},  // nothing selected is told first
        {1, -4, 3, 1, DeleteWhat::Refused, 0, kBadScope},
        {9, -4, 3, 1, DeleteWhat::Refused, 0, kPastTheEnd},
        {1, INT_MIN, 3, 1, DeleteWhat::Refused, 0, kBadScope},
        {INT_MAX, 0, 3, 0, DeleteWhat::Refused, 0, kPastTheEnd},
        {INT_MIN, 0, 3, 0, DeleteWhat::One, INT_MIN + 3, nullptr},
        {INT_MIN, 0, INT_MAX, 0, DeleteWhat::One, -1, nullptr},
    };
    for (const Case& c : cases) {
        const DeletePlan plan = PlanDeletion(c.item, c.scope, c.count, c.selected);
        const std::string at = "item " + std::to_string(c.item) + ", scope " + std::to_string(c.scope) + ", count " +
                               std::to_string(c.count) + ", selected " + std::to_string(c.selected);
        EXPECT_EQ(plan.what, c.what) << at;
        if (c.what == DeleteWhat::One) EXPECT_EQ(plan.index, c.index) << at;
        if (c.what == DeleteWhat::Refused) {
            ASSERT_NE(plan.note, nullptr) << at;
            EXPECT_STREQ(plan.note, c.note) << at;
        } else {
            EXPECT_EQ(plan.note, nullptr) << at;
        }
    }
}

TEST(PlanDeletion, EveryScopeIntegerReadsAsOneScope) {
    EXPECT_EQ(ReadDeleteScope(0), DeleteScope::ItemFromEitherEnd);
    EXPECT_EQ(ReadDeleteScope(1), DeleteScope::Item);
    EXPECT_EQ(ReadDeleteScope(INT_MAX), DeleteScope::Item);
    EXPECT_EQ(ReadDeleteScope(-1), DeleteScope::All);
    EXPECT_EQ(ReadDeleteScope(-2), DeleteScope::Selected);
    EXPECT_EQ(ReadDeleteScope(-3), DeleteScope::Unselected);
    EXPECT_EQ(ReadDeleteScope(-4), DeleteScope::Invalid);
    EXPECT_EQ(ReadDeleteScope(INT_MIN), DeleteScope::Invalid);
}

}  // namespace
