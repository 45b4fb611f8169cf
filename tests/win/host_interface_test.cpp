// The extender as the interpreter meets it: negotiation, the table, results.
#include "tests/host/host_double.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vantor;
using namespace vantor::testing;

namespace {

struct Record {
    alignas(4) unsigned char bytes[64];
    QueryRecord& get() { return *reinterpret_cast<QueryRecord*>(bytes); }
};

Record Describe(HostDouble& host, int entry) {
    Record r;
    std::memset(r.bytes, 0xCC, sizeof r.bytes);
    EXPECT_EQ(host.Dispatch(-2, r.bytes, entry), 1) << "entry " << entry;
    return r;
}

}  // namespace

TEST(Negotiation, InterfaceFiveOnly) {
    HostDouble host;
    std::int32_t offers[] = {3, 4, 5};
    EXPECT_EQ(host.Query(2, offers, 3), 5);
    EXPECT_EQ(host.Query(2, offers, 2), -1);
    EXPECT_EQ(host.Query(2, offers, 0), -1);
    EXPECT_EQ(host.Query(2, offers, -4), -1);
    EXPECT_EQ(host.Query(7, offers, 3), 0);
    // only the low 16 bits of the type count
    EXPECT_EQ(host.Query(0x7FFF0002, offers, 3), 5);
    EXPECT_EQ(host.Query(0x00010007, offers, 3), 0);
}

TEST(Negotiation, VersionAndDisplayName) {
    HostDouble host;
    char name[260];
    std::memset(name, 'z', sizeof name);
    EXPECT_EQ(host.Query(1, name, sizeof name), 44001);
    EXPECT_STREQ(name, "Vantor Dialog Controls Extender");

    char small[8];
    std::memset(small, 'z', sizeof small);
    EXPECT_EQ(host.Query(1, small, 5), 44001);
    EXPECT_STREQ(small, "Vant");
    EXPECT_EQ(small[5], 'z') << "wrote past the size the host gave";

    EXPECT_EQ(host.Query(1, nullptr, 260), 44001);
    EXPECT_EQ(host.Query(0x10001, nullptr, 0), 44001);
}

TEST(Table, CountsAndSpecialIndexes) {
    HostDouble host;
    EXPECT_EQ(host.Dispatch(-1, nullptr, 0), 146);
    EXPECT_EQ(host.Dispatch(0x1234FFFF, nullptr, 99), 146) << "index is the low 16 bits";
    EXPECT_EQ(host.Dispatch(-3, nullptr, 0), 1);
    EXPECT_EQ(host.names().size(), 146u);
}

TEST(Table, DescribesEntries) {
    HostDouble host;
    {
        Record r = Describe(host, 0);
        EXPECT_EQ(r.get().entry, 0);
        EXPECT_EQ(r.get().kind, 2);
        EXPECT_STREQ(r.get().name, "ancloseavi");
        EXPECT_EQ(r.get().nameLength, 10);
        EXPECT_EQ(r.get().counts.required, 1);
        EXPECT_EQ(r.get().counts.optional, 0);
        EXPECT_EQ(r.get().counts.zero, 0);
    }
    {
        Record r = Describe(host, 125);
        EXPECT_STREQ(r.get().name, "evdialogprocoptions");
        EXPECT_EQ(r.get().nameLength, 19);
        EXPECT_EQ(r.get().counts.required, 3);
        EXPECT_EQ(r.get().counts.optional, 2);
        EXPECT_EQ(r.get().typesLow, 4096u);
        EXPECT_EQ(r.get().typesHigh, 0u);
        EXPECT_EQ(r.bytes[22 + 19], 0) << "name not terminated";
    }
    {
        Record r = Describe(host, 122);
        EXPECT_STREQ(r.get().name, "tvcreatetreeview");
        EXPECT_EQ(r.get().counts.required, 10);
        EXPECT_EQ(r.get().counts.optional, 1);
        EXPECT_EQ(r.get().typesLow, 0u);
        EXPECT_EQ(r.get().typesHigh, 0u);
    }
    {
        Record r = Describe(host, 136);
        EXPECT_EQ(r.get().kind, 3);
        EXPECT_EQ(r.get().value, -222);
        EXPECT_STREQ(r.get().name, "@evdeonexit");
        EXPECT_EQ(r.get().nameLength, 11);
        EXPECT_EQ(r.get().typesLow, 0u);
    }
    {
        Record r = Describe(host, 145);
        EXPECT_STREQ(r.get().name, "@testconstant");
        EXPECT_EQ(r.get().value, 1);
    }
    EXPECT_EQ(Describe(host, 118).get().typesLow, 0x10u) << "rtZoom reports position 2 as text";
    EXPECT_EQ(Describe(host, 86).get().typesLow, 0x110000u) << "trSetBuddy: positions 5 and 6";
    EXPECT_EQ(Describe(host, 126).get().typesLow, 0u);
}

TEST(Table, NamesAndKindsOfAllEntries) {
    HostDouble host;
    int functions = 0, constants = 0;
    for (int i = 0; i < 146; ++i) {
        Record r = Describe(host, i);
        const int length = r.get().nameLength;
        EXPECT_EQ(static_cast<int>(std::strlen(r.get().name)), length) << i;
        for (int c = 0; c < length; ++c) EXPECT_FALSE(r.get().name[c] >= 'A' && r.get().name[c] <= 'Z') << r.get().name;
        (r.get().kind == 2 ? functions : constants)++;
        EXPECT_EQ(r.get().kind == 3, r.get().name[0] == '@') << r.get().name;
    }
    EXPECT_EQ(functions, 130);
    EXPECT_EQ(constants, 16);
    EXPECT_EQ(host.IndexOf("@nPERIOD"), 132);
    EXPECT_EQ(host.IndexOf("wnTaskBar"), 129);
}

TEST(Table, OutsideTheTableNothingIsRead) {
    HostDouble host;
    Record r;
    std::memset(r.bytes, 0xCC, sizeof r.bytes);
    EXPECT_EQ(host.Dispatch(-2, r.bytes, 146), 0);
    EXPECT_EQ(host.Dispatch(-2, r.bytes, -1), 0);
    EXPECT_EQ(host.Dispatch(-2, r.bytes, 100000), 0);
    for (unsigned char b : r.bytes) ASSERT_EQ(b, 0xCC) << "record touched";
    EXPECT_EQ(host.Dispatch(-2, nullptr, 3), 1);
    EXPECT_EQ(host.Dispatch(-2, nullptr, 146), 0);

    // indexes below -3, above 145, and constants call no handler
    for (int index : {-4, -100, 146, 0x7FFF, 130, 145}) {
        ValueCell result{};
        result.intValue = 55;
        EXPECT_EQ(host.Dispatch(index, reinterpret_cast<void*>(1), 3, &result), 0) << index;
        EXPECT_EQ(result.intValue, 55);
    }
}

// A result writes only its own field and kind; what the host's callback
// answers is what the export returns.
TEST(Results, WriteOnlyTheirOwnField) {
    HostDouble host;
    DialogFixture dialog;
    const HWND list = dialog.AddChild("LISTBOX", 0, 7, 10, 10, 100, 100);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));

    const CallResult count = host.Call("lbGetItemCount", {list});
    EXPECT_EQ(count.cell.kind, kIntegerCell);
    EXPECT_EQ(count.integer(), 1);
    EXPECT_EQ(count.cell.strValue, HostDouble::kUntouchedText);
    EXPECT_EQ(count.callbacks, 1);
    EXPECT_EQ(count.status, 0);
    EXPECT_EQ(count.returned, 101);

    const CallResult name = host.Call("DCCompatible", {list, 0});
    EXPECT_EQ(name.cell.kind, kStringCell);
    EXPECT_EQ(name.text, "ListBox");
    EXPECT_EQ(name.cell.intValue, HostDouble::kUntouchedInteger);
    EXPECT_EQ(name.returned, 101);
}
