// What the event tests share: the eleven published variables as a script
// reads them from the host's store, and the thread's key state.
#pragma once

#include "host/records.h"
#include "tests/host/host_double.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace vantor::testing {

// The eleven variables of one published event.
struct Published {
    std::int32_t handle = 0, control = 0, number = 0;
    std::string name;
    std::int32_t message = 0, extra = 0, change = 0, key = 0, ctrl = 0, shift = 0, alt = 0;
    friend bool operator==(const Published&, const Published&) = default;
    friend void PrintTo(const Published& p, std::ostream* out) {
        *out << "{DHandle " << p.handle << ", DCHwnd " << p.control << ", DCtrl " << p.number << ", DCName \"" << p.name
             << "\", DMsg " << p.message << ", DEInfo " << p.extra << ", ChangeInfo " << p.change << ", VK_KEY "
             << p.key << ", VK_CTRL " << p.ctrl << ", VK_SHFT " << p.shift << ", VK_ALT " << p.alt << "}";
    }
};

inline const std::vector<std::string> kVariableOrder{"DHandle",    "DCHwnd", "DCtrl",   "DCName",  "DMsg",  "DEInfo",
                                                     "ChangeInfo", "VK_KEY", "VK_CTRL", "VK_SHFT", "VK_ALT"};

inline std::int32_t H(HWND window) { return vantor::HandleValue(window); }

// The thread's key state: the keys given are down, Caps Lock as asked.
inline void SetKeys(std::initializer_list<int> down, bool capsLock = false) {
    BYTE keys[256] = {};
    for (const int key : down) keys[key] = 0x80;
    if (capsLock) keys[VK_CAPITAL] |= 0x01;
    SetKeyboardState(keys);
}

inline Published Read(const std::map<std::string, Variable>& variables) {
    auto integer = [&](const char* name) {
        const auto found = variables.find(name);
        EXPECT_NE(found, variables.end()) << name;
        if (found == variables.end()) return -999;
        EXPECT_EQ(found->second.kind, kIntegerCell) << name;
        return found->second.integer;
    };
    const auto name = variables.find("DCName");
    EXPECT_NE(name, variables.end());
    if (name != variables.end()) {
        EXPECT_EQ(name->second.kind, kStringCell);
    }
    return {integer("DHandle"),    integer("DCHwnd"),
            integer("DCtrl"),      name == variables.end() ? "?" : name->second.text,
            integer("DMsg"),       integer("DEInfo"),
            integer("ChangeInfo"), integer("VK_KEY"),
            integer("VK_CTRL"),    integer("VK_SHFT"),
            integer("VK_ALT")};
}

}  // namespace vantor::testing
