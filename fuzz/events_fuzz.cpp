// Feeds arbitrary bytes to the list argument of a registration: as a
// control list and as an extra-key list, directly and through the engine.
// Checks that a list is either read whole or rejected with a message that
// names it, and that a rejected registration leaves the engine untouched.
#include "events/core/event_engine.h"
#include "events/core/event_lists.h"

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

using namespace vantor;

struct Windows final : EventPlatform {
    std::int32_t focus = 2;
    void Sample(Snapshot& now, unsigned parts) override {
        now.focus = focus;
        now.active = 7;
        if (parts & kSampleKeys) now.keys.fill(0);
    }
    std::int32_t DialogItemId(std::int32_t) override { return 0; }
    std::vector<std::int32_t> Children(std::int32_t) override { return {1, 2, 3}; }
};

struct Host final : EventHost {
    int defines = 0;
    std::uint32_t Version() override { return 1011; }
    void ShowMessage(const char*) override {}
    int FillHostCell() override { return 0; }
    int Assign(const char*, std::int32_t) override { return 0; }
    int Assign(const char*, const std::string&) override { return 0; }
    void DefineVariable(const char*, std::int32_t) override { ++defines; }
};

void CheckRejection(const std::exception& e) {
    const std::string_view text = e.what();
    if (!text.starts_with("evDialogProcOptions: ") || text.size() > 400) std::abort();
}

template <typename Parse>
bool Accepted(Parse parse) {
    try {
        parse();
        return true;
    } catch (const std::invalid_argument& e) {
        CheckRejection(e);
    } catch (const std::out_of_range& e) {
        CheckRejection(e);
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::int32_t modes[] = {1, -1, -2, 0, 2, 5};
    const std::int32_t mode = modes[(data[0] & 0x7F) % 6];
    const std::int32_t event = (data[0] & 0x80) ? evdeOnKeyPress : evdeOnEnter;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    std::vector<ListedControl> controls;
    const bool controlsRead = Accepted([&] { controls = ParseControlList(text); });
    for (const ListedControl& control : controls) {
        if (control.name.empty() || text.find(control.name) == std::string::npos) std::abort();
    }
    std::vector<std::int32_t> keys;
    const bool keysRead = Accepted([&] { keys = ParseKeyList(text); });
    if (keysRead && keys.size() > text.size()) std::abort();

    EventEngine engine;
    Windows windows;
    Host host;
    // One event waiting: OnExit of control 2 goes out, OnEnter of 3 waits.
    engine.RegisterEvent({7, evdeOnEnter, 1, {}, 0}, windows, host);
    engine.RegisterEvent({7, evdeOnExit, 1, {}, 0}, windows, host);
    engine.Poll(windows, host);
    windows.focus = 3;
    engine.Poll(windows, host);
    if (engine.waitingEvents() != 1) std::abort();
    const std::size_t controlsBefore = engine.watchedControls().size();
    const bool registered = Accepted([&] { engine.RegisterEvent({7, event, mode, text, 1}, windows, host); });

    const bool listRead = mode != 0 && (event == evdeOnKeyPress || mode == 1);
    const bool expected = !listRead || (event == evdeOnKeyPress ? keysRead : controlsRead);
    if (registered != expected) std::abort();
    if (!registered && (engine.waitingEvents() != 1 || engine.watchedControls().size() != controlsBefore)) std::abort();
    if (registered && event == evdeOnEnter && mode == 1 && !text.empty() &&
        engine.watchedControls().size() != controls.size())
        std::abort();
    if (registered && event == evdeOnKeyPress && mode != 0 &&
        engine.polledKeys().size() < keys.size() + (mode == 1 ? 114u : 0u))
        std::abort();
    if (engine.IsArmed(evdeOnKeyPress) && host.defines != 118) std::abort();
    if (!engine.HoldsInvariants()) std::abort();
    return 0;
}
