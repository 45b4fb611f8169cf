// docs/functions.md against the table the host reads (host/function_list.h):
// every function and constant documented once, with the table's argument
// counts and types, and nothing documented that the table lacks.
#include "host/function_list.h"
#include "tests/common/reference_page.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace vantor::reference;

struct TableFunction {
    int required;
    int optional;
    std::string types;  // 'I' or 'S' for each position the counts cover
};

std::map<std::string, TableFunction> TableFunctions() {
    std::map<std::string, TableFunction> table;
#define VANTOR_DOC_FUNCTION(name, required, optional, types) \
    table[#name] = {required, optional, std::string(types).substr(0, (required) + (optional))};
    VANTOR_FUNCTIONS(VANTOR_DOC_FUNCTION)
#undef VANTOR_DOC_FUNCTION
    return table;
}

std::map<std::string, std::int32_t> TableConstants() {
    std::map<std::string, std::int32_t> table;
#define VANTOR_DOC_CONSTANT(name, value) table[name] = value;
    VANTOR_CONSTANTS(VANTOR_DOC_CONSTANT)
#undef VANTOR_DOC_CONSTANT
    return table;
}

// The source folder: the first folder above the test program (a build
// folder lies inside it) that holds the reference and the table.
std::string SourceFolder() {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) folder = std::filesystem::current_path();
    for (; folder.has_relative_path(); folder = folder.parent_path())
        if (std::filesystem::exists(folder / "docs" / "functions.md") &&
            std::filesystem::exists(folder / "host" / "function_list.h"))
            return folder.string();
    return ".";
}

const std::string kReferencePath = SourceFolder() + "/docs/functions.md";

TEST(FunctionReference, ListsEveryFunctionWithTheTablesCountsAndTypes) {
    const std::string text = ReadFile(kReferencePath);
    ASSERT_FALSE(text.empty()) << kReferencePath << " cannot be read";
    const Reference reference = ParseReference(text);
    const auto table = TableFunctions();
    ASSERT_EQ(table.size(), 130u);

    for (const std::string& problem : reference.problems) ADD_FAILURE() << problem;
    for (const auto& [name, entry] : table) {
        const auto found = reference.functions.find(name);
        if (found == reference.functions.end()) {
            ADD_FAILURE() << name << " is in the table but not in the reference";
            continue;
        }
        const DocumentedFunction& doc = found->second;
        if (!doc.problem.empty()) continue;  // reported above
        EXPECT_EQ(doc.required, entry.required) << name << ": required arguments";
        EXPECT_EQ(doc.optional, entry.optional) << name << ": optional arguments";
        EXPECT_EQ(doc.types, entry.types) << name << ": argument types (I int, S text)";
    }
    for (const auto& [name, doc] : reference.functions)
        EXPECT_TRUE(table.count(name)) << name << " is documented but not in the table";
    EXPECT_EQ(reference.functions.size(), table.size());
}

TEST(FunctionReference, ListsEveryConstantWithItsValue) {
    const Reference reference = ParseReference(ReadFile(kReferencePath));
    const auto table = TableConstants();
    ASSERT_EQ(table.size(), 16u);
    for (const auto& [name, value] : table) {
        const auto found = reference.constants.find(name);
        if (found == reference.constants.end()) ADD_FAILURE() << name << " is in the table but not in the reference";
        else EXPECT_EQ(found->second, value) << name;
    }
    for (const auto& [name, value] : reference.constants)
        EXPECT_TRUE(table.count(name)) << name << " is documented but not in the table";
}

// Every section that documents functions shows a picture of its family,
// and the picture is there.
TEST(FunctionReference, EveryFamilyShowsItsPicture) {
    const Reference reference = ParseReference(ReadFile(kReferencePath));
    std::map<std::string, int> families;
    for (const auto& [name, doc] : reference.functions) ++families[doc.section];
    EXPECT_GE(families.size(), 10u);
    for (const auto& [section, count] : families) {
        const auto found = reference.pictures.find(section);
        if (found == reference.pictures.end()) {
            ADD_FAILURE() << "section \"" << section << "\" (" << count << " functions) shows no picture";
            continue;
        }
        for (const std::string& picture : found->second) {
            const std::string path = SourceFolder() + "/docs/" + picture;
            EXPECT_FALSE(ReadFile(path).empty()) << section << ": " << path << " is missing";
        }
    }
}

// The parser itself: a reference that disagrees with the table is caught.
TEST(FunctionReference, ParserReportsWhatDisagrees) {
    const Reference reference = ParseReference(
        "## Family\n"
        "![A picture](images/family.png)\n"
        "### `ebMask`\n"
        "`ebMask(edit: int, mask: text, [numeric: int = 0]) → text`\n"
        "### `tvDelete`\n"
        "`tvDelete(tree: int, all: int) → int`\n"
        "### `rtZoom`\n"
        "`rtZoom(box: int, [how: text]) → int`\n"
        "### `ebMask`\n"
        "`ebMask(edit: int, mask: text) → text`\n"
        "| `@LEFT` | 1 | alignment |\n"
        "| `@RIGHT` | two | alignment |\n");
    const DocumentedFunction& mask = reference.functions.at("ebMask");
    EXPECT_EQ(mask.required, 2);
    EXPECT_EQ(mask.optional, 1);
    EXPECT_EQ(mask.types, "ISI");
    EXPECT_EQ(mask.section, "Family");
    EXPECT_EQ(reference.pictures.at("Family"), std::vector<std::string>{"images/family.png"});
    const auto table = TableFunctions();
    EXPECT_NE(reference.functions.at("tvDelete").optional, table.at("tvDelete").optional);
    EXPECT_EQ(reference.constants.at("@LEFT"), 1);
    ASSERT_EQ(reference.problems.size(), 3u);
    EXPECT_NE(reference.problems[0].find("rtZoom"), std::string::npos);
    EXPECT_NE(reference.problems[1].find("twice"), std::string::npos);
    EXPECT_NE(reference.problems[2].find("@RIGHT"), std::string::npos);
}

// Every function shows one example that calls it with an argument count
// the table takes, names only constants the table has and states its
// result in the arrow form (the Wine suite plays them).
TEST(FunctionReference, EveryFunctionHasAReadableExampleOfItself) {
    const Reference reference = ParseReference(ReadFile(kReferencePath));
    const auto table = TableFunctions();
    const auto constants = TableConstants();
    for (const auto& [name, doc] : reference.functions) {
        if (doc.example.empty()) {
            ADD_FAILURE() << name << " has no example";
            continue;
        }
        const Example example = ParseExample(doc.example);
        if (!example.problem.empty()) {
            ADD_FAILURE() << name << " (line " << doc.exampleLine << "): " << example.problem;
            continue;
        }
        EXPECT_EQ(example.function, name) << "line " << doc.exampleLine;
        const auto entry = table.find(name);
        if (entry == table.end()) continue;  // reported by the first test
        const int count = static_cast<int>(example.arguments.size());
        EXPECT_GE(count, entry->second.required) << name << ": example has too few arguments";
        EXPECT_LE(count, entry->second.required + entry->second.optional) << name << ": example has too many arguments";
        for (const ExampleArgument& argument : example.arguments)
            if (argument.kind == ExampleArgument::Kind::Constant)
                EXPECT_TRUE(constants.count(argument.text)) << name << ": " << argument.text;
    }
}

TEST(FunctionReference, ExampleParserReadsEveryForm) {
    Example e = ParseExample("`hTree = tvCreateTreeView(hDlg, -20, 0x100, @CENTER, \"C:\\a b, c\", \"\")` → a handle");
    ASSERT_EQ(e.problem, "");
    EXPECT_EQ(e.assignedTo, "hTree");
    EXPECT_EQ(e.function, "tvCreateTreeView");
    ASSERT_EQ(e.arguments.size(), 6u);
    EXPECT_EQ(e.arguments[0].kind, ExampleArgument::Kind::Name);
    EXPECT_EQ(e.arguments[0].text, "hDlg");
    EXPECT_EQ(e.arguments[1].number, -20);
    EXPECT_EQ(e.arguments[2].number, 256);
    EXPECT_EQ(e.arguments[3].kind, ExampleArgument::Kind::Constant);
    EXPECT_EQ(e.arguments[3].text, "@CENTER");
    EXPECT_EQ(e.arguments[4].kind, ExampleArgument::Kind::Text);
    EXPECT_EQ(e.arguments[4].text, "C:\\a b, c");
    EXPECT_EQ(e.arguments[5].text, "");
    EXPECT_EQ(e.result.kind, ExpectedResult::Kind::Handle);

    e = ParseExample("`evProcessEvents()` → the host's value");
    EXPECT_EQ(e.problem, "");
    EXPECT_TRUE(e.arguments.empty());
    EXPECT_EQ(e.result.kind, ExpectedResult::Kind::HostValue);
    e = ParseExample("`row = lvGetItemText(hList, 2, 0)` → \"a (b)<Tab>c\" (two columns)");
    EXPECT_EQ(e.problem, "");
    EXPECT_EQ(e.result.kind, ExpectedResult::Kind::Text);
    EXPECT_EQ(e.result.text, "a (b)\tc");
    EXPECT_EQ(e.comment, "two columns");
    e = ParseExample("`n = lbGetItemCount(h)` → -3 (three less)");
    EXPECT_EQ(e.result.number, -3);
    EXPECT_EQ(e.comment, "three less");

    for (const char* broken : {"rtBold(hRich) → 1", "`rtBold(hRich)`", "`rtBold(hRich)` → 1x", "`rtBold(hRich` → 1",
                               "`rtBold(hRich,2)` → 1", "`rtBold(\"a)` → 1", "`x y = rtBold(h)` → 1",
                               "`rtBold(h) + 1` → 1", "`rtBold(h)` → maybe", "`rtBold(99999999999)` → 1"})
        EXPECT_NE(ParseExample(broken).problem, "") << broken;

    const Reference reference = ParseReference(
        "## F\n### `a`\n`a(x: int) → int`\nExample: `a(1)` → 1\n### B\nExample: `b()` → 1\n"
        "### `c`\n`c() → int`\nExample: `c()` → 1\nExample: `c()` → 2\n");
    EXPECT_EQ(reference.functions.at("a").example, "`a(1)` → 1");
    EXPECT_EQ(reference.functions.at("a").exampleLine, 4);
    ASSERT_EQ(reference.problems.size(), 1u);  // c's second example; B is no function
    EXPECT_NE(reference.problems[0].find("two examples"), std::string::npos);
}

}  // namespace
