#include "bench/core/bench_table.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using namespace vantor::bench;

namespace {

constexpr char kRatioHeading[] =
    "| case | raw µs | extender µs | ratio | spread | bound | verdict |\n"
    "|---|---:|---:|---:|---:|---:|---|\n";

// The runs' outputs one after the other, as bench.sh hands them over.
RunResults Read(const std::string& runs) {
    std::istringstream in(runs);
    return ReadResults(in);
}

Table TableOf(const std::string& runs, int runCount) { return WriteTable(Read(runs), runCount); }

// The table's row for the named case.
std::string RowOf(const std::string& table, const std::string& name) {
    const std::size_t start = table.find("| " + name + " |");
    return start == std::string::npos ? "" : table.substr(start, table.find('\n', start) - start);
}

}  // namespace

TEST(BenchTableMedian, MiddleValueOrMeanOfTheTwoMiddleOnes) {
    EXPECT_EQ(Median({}), 0);
    EXPECT_EQ(Median({4}), 4);
    EXPECT_EQ(Median({3, 1, 2}), 2);
    EXPECT_EQ(Median({1.5, 9, 2, 4}), 3);  // (2 + 4) / 2
    EXPECT_EQ(Median({5, 5, 1, 7, 7}), 5);
    EXPECT_EQ(Median({-1, 10}), 4.5);
}

TEST(BenchTable, OneRatioCaseOverThreeRunsReadsAsTheWholeTable) {
    const std::string runs =
        "@benchmark|events\n"
        "  evProcessEvents vs raw        0.55         0.70   1.270    1.25  OUT OF BOUND\n"
        "@ratio|poll|0.550|0.700|1.2700|1.25\n"
        "@done|events\n"
        "\n"
        "@ratio|poll|0.530|0.660|1.2400|1.25\n"
        "@ratio|poll|0.600|0.800|1.3000|1.25\n";
    const Table table = TableOf(runs, 3);
    EXPECT_EQ(table.text, std::string(kRatioHeading) +
                              "| poll | 0.55 | 0.70 | 1.270 | 1.240–1.300 | 1.25 | **OUT OF BOUND** |\n"
                              "\n"
                              "1 case(s) out of bound, 0 fault(s).\n");
    EXPECT_FALSE(table.passed);
}

TEST(BenchTable, EvenCountsTakeTheMeanOfTheMiddleValues) {
    const std::string runs =
        "@ratio|pair|1.000|1.100|1.1000|1.25\n"
        "@ratio|pair|3.000|3.500|1.2000|1.25\n"
        "@ratio|pair|2.000|2.100|1.0500|1.25\n"
        "@ratio|pair|4.000|4.100|1.0250|1.25\n";
    const Table table = TableOf(runs, 4);
    EXPECT_EQ(RowOf(table.text, "pair"), "| pair | 2.50 | 2.80 | 1.075 | 1.025–1.200 | 1.25 | within bound |");
    EXPECT_TRUE(table.passed);
    EXPECT_NE(table.text.find("0 case(s) out of bound, 0 fault(s).\n"), std::string::npos);
}

TEST(BenchTable, TheBoundHoldsTheMedianThatEqualsIt) {
    const std::string runs =
        "@ratio|at bound|1.000|1.250|1.2500|1.25\n"
        "@ratio|just over|1.000|1.251|1.2510|1.25\n"
        "@ratio|well within|1.000|0.900|0.9000|1.10\n";
    const Table table = TableOf(runs, 1);
    EXPECT_NE(RowOf(table.text, "at bound").find("| 1.25 | within bound |"), std::string::npos);
    EXPECT_NE(RowOf(table.text, "just over").find("| 1.25 | **OUT OF BOUND** |"), std::string::npos);
    EXPECT_NE(RowOf(table.text, "well within").find("| 1.10 | within bound |"), std::string::npos);
    EXPECT_NE(table.text.find("\n1 case(s) out of bound, 0 fault(s).\n"), std::string::npos);
    EXPECT_FALSE(table.passed);
}

TEST(BenchTable, ACaseFromFewerRunsSaysHowManyAndCasesKeepTheirFirstOrder) {
    const std::string runs =
        "@ratio|second|1.000|1.000|1.0000|1.10\n"
        "@ratio|first|1.000|1.000|1.0000|1.10\n"
        "@ratio|second|1.000|1.000|1.0000|1.10\n"
        "@ratio|second|1.000|1.000|1.0000|1.10\n";
    const std::string text = TableOf(runs, 3).text;
    EXPECT_EQ(RowOf(text, "second"), "| second | 1.00 | 1.00 | 1.000 | 1.000–1.000 | 1.10 | within bound |");
    EXPECT_EQ(RowOf(text, "first"), "| first | 1.00 | 1.00 | 1.000 | 1.000–1.000 | 1.10 | within bound (1 runs) |");
    EXPECT_LT(text.find("| second |"), text.find("| first |"));
}

TEST(BenchTable, CarriageReturnsAreDropped) {
    const std::string withReturns =
        "@ratio|poll|0.550|0.700|1.2700|1.25\r\n"
        "@absolute|alloc|0.000|0.000|allocations\r\n"
        "@info|by key|12.500|µs\r\n"
        "@ratio|po\rll|0.560|0.710|1.2600|1.25\r\n";
    const std::string without =
        "@ratio|poll|0.550|0.700|1.2700|1.25\n"
        "@absolute|alloc|0.000|0.000|allocations\n"
        "@info|by key|12.500|µs\n"
        "@ratio|poll|0.560|0.710|1.2600|1.25\n";
    const Table table = TableOf(withReturns, 2);
    EXPECT_EQ(table.text, TableOf(without, 2).text);
    EXPECT_NE(table.text.find("| alloc | 0.00 allocations | 0.00–0.00 | 0 allocations | within bound |"),
              std::string::npos);
    EXPECT_EQ(table.text.find('\r'), std::string::npos);
}

TEST(BenchTable, AbsoluteAndInfoTablesFollowOnlyWhenThereAreSuch) {
    const std::string onlyRatio = TableOf("@ratio|a|1.000|1.000|1.0000|1.10\n", 1).text;
    EXPECT_EQ(onlyRatio.find("| case | value |"), std::string::npos);
    EXPECT_EQ(onlyRatio.find("Beside the bounds"), std::string::npos);

    const std::string runs =
        "@ratio|a|1.000|1.000|1.0000|1.10\n"
        "@absolute|start-up|120.000|150.000|ms\n"
        "@absolute|start-up|180.000|150.000|ms\n"
        "@absolute|start-up|130.000|150.000|ms\n"
        "@absolute|allocations|0.500|0.000|allocations\n"
        "@info|speed-up|3.000|x\n"
        "@info|speed-up|5.000|x\n";
    const Table table = TableOf(runs, 3);
    EXPECT_EQ(table.text.substr(table.text.find("\n| case | value |")),
              "\n| case | value | spread | bound | verdict |\n"
              "|---|---:|---:|---:|---|\n"
              "| start-up | 130.00 ms | 120.00–180.00 | 150 ms | within bound |\n"
              "| allocations | 0.50 allocations | 0.50–0.50 | 0 allocations | **OUT OF BOUND** |\n"
              "\n"
              "Beside the bounds:\n"
              "\n"
              "| measure | value | spread |\n"
              "|---|---:|---:|\n"
              "| speed-up | 4.00 x | 3.00–5.00 |\n"
              "\n"
              "1 case(s) out of bound, 0 fault(s).\n");
    EXPECT_FALSE(table.passed);
}

TEST(BenchTable, FaultsAreListedWholeAndFailTheTable) {
    const std::string runs =
        "@ratio|a|1.000|1.000|1.0000|1.10\n"
        "@fault|lbGetCount: the answers differ: raw \"3\", extender \"4\"\r\n"
        "@fault|a text with | a bar\n";
    const Table table = TableOf(runs, 1);
    EXPECT_NE(table.text.find("\nFaults (the extender did not do the raw calls’ work):\n\n"
                              "- lbGetCount: the answers differ: raw \"3\", extender \"4\"\n"
                              "- a text with | a bar\n"
                              "\n0 case(s) out of bound, 2 fault(s).\n"),
              std::string::npos);
    EXPECT_FALSE(table.passed);
}

TEST(BenchTable, MalformedResultLinesAreListedAndLeftOutOfTheMedians) {
    const std::string runs =
        "@ratio|poll|1.000|1.100|1.1000|1.25\n"
        "@ratio|poll|1.000|9.000|9.0000\n"            // no bound
        "@ratio|poll|1.000|9.000|9.0000|1.25|more\n"  // a field too many
        "@ratio|poll|1.000|x|9.0000|1.25\n"           // a time that is no number
        "@ratio|poll|1.000|9.000|9.0000|\n"           // an empty bound
        "@absolute|alloc|1.5e|0|allocations\n"
        "@info|speed-up|3.000\n"
        "@fault\n"
        "@ratio|poll|1.000|1.200|1.2000|1.25\n"
        "  a reader's line | with bars\n"
        "@benchmark|events\n";
    const RunResults results = Read(runs);
    ASSERT_EQ(results.ratios.size(), 1u);
    EXPECT_EQ(results.ratios[0].ratio, (std::vector<double>{1.1, 1.2}));
    EXPECT_TRUE(results.absolutes.empty());
    EXPECT_TRUE(results.infos.empty());
    EXPECT_TRUE(results.faults.empty());
    EXPECT_EQ(results.unreadable.size(), 7u);

    const Table table = WriteTable(results, 2);
    EXPECT_EQ(RowOf(table.text, "poll"), "| poll | 1.00 | 1.15 | 1.150 | 1.100–1.200 | 1.25 | within bound |");
    EXPECT_NE(table.text.find("\nResult lines that could not be read (left out of the table):\n\n"
                              "- `@ratio|poll|1.000|9.000|9.0000`\n"),
              std::string::npos);
    EXPECT_NE(table.text.find("- `@fault`\n"), std::string::npos);
    EXPECT_NE(table.text.find("\n0 case(s) out of bound, 0 fault(s), 7 unreadable result line(s).\n"),
              std::string::npos);
    EXPECT_FALSE(table.passed);
}

TEST(BenchTable, NoResultsStillGivesTheHeadingAndTheCount) {
    const Table table = TableOf("no benchmark named nothing\n", 5);
    EXPECT_EQ(table.text, std::string(kRatioHeading) + "\n0 case(s) out of bound, 0 fault(s).\n");
    EXPECT_TRUE(table.passed);
}
