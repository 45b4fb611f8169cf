// The Wine suites run in one process. The library keeps its event engine
// for the life of the process (it pins itself once it subclasses a control),
// so before each test everything an earlier test armed is disarmed: each
// test starts from a library with no event armed, as a fresh script does.
#include "events/core/event_engine.h"
#include "tests/host/host_double.h"

#include <gtest/gtest.h>

namespace {

class DisarmEventsBeforeEachTest final : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        vantor::testing::HostDouble host;
        for (std::int32_t event : {vantor::evdeOnEnter, vantor::evdeOnExit, vantor::evdeOnKeyPress,
                                   vantor::evdeOnGainFocus, vantor::evdeOnLoseFocus}) {
            const vantor::testing::CallResult r = host.Call("evDialogProcOptions", {0, event, 0});
            if (r.integer() != 1) ADD_FAILURE() << "disarming event " << event << " failed: " << r.text;
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new DisarmEventsBeforeEachTest);
    return RUN_ALL_TESTS();
}
