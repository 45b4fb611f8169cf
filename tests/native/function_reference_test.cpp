// docs/functions.md against the table the host reads (host/function_list.h):
// every function and constant documented once, with the table's argument
// counts and types, and nothing documented that the table lacks.
#include "host/function_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

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

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// One documented function: its counts and types as the signature line
// "`name(a: int, b: text, [c: int = 0]) → result`" gives them.
struct DocumentedFunction {
    int required = 0;
    int optional = 0;
    std::string types;
    std::string section;
    std::string problem;  // empty when the signature line could be read
};

DocumentedFunction ParseSignature(const std::string& name, const std::string& line,
                                  const std::string& section) {
    DocumentedFunction doc;
    doc.section = section;
    const std::string head = "`" + name + "(";
    const std::size_t close = line.find(")");
    if (line.rfind(head, 0) != 0 || close == std::string::npos ||
        line.find(" → ", close) != close + 1 || line.back() != '`') {
        doc.problem = "signature line \"" + line + "\" is not `" + name + "(...) → result`";
        return doc;
    }
    const std::string list = line.substr(head.size(), close - head.size());
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t end = list.find(", ", start);
        if (end == std::string::npos) end = list.size();
        std::string piece = list.substr(start, end - start);
        start = end + 2;
        const bool optional = piece.size() > 2 && piece.front() == '[' && piece.back() == ']';
        if (optional) {
            piece = piece.substr(1, piece.size() - 2);
            const std::size_t equals = piece.find(" = ");
            if (equals == std::string::npos) {
                doc.problem = "optional argument \"" + piece + "\" has no default";
                return doc;
            }
            piece.resize(equals);
        } else if (doc.optional > 0) {
            doc.problem = "a required argument follows an optional one";
            return doc;
        }
        const std::size_t colon = piece.find(": ");
        const std::string type = colon == std::string::npos ? "" : piece.substr(colon + 2);
        if (type != "int" && type != "text") {
            doc.problem = "argument \"" + piece + "\" is not \"name: int\" or \"name: text\"";
            return doc;
        }
        doc.types += type == "int" ? 'I' : 'S';
        ++(optional ? doc.optional : doc.required);
    }
    return doc;
}

struct Reference {
    std::map<std::string, DocumentedFunction> functions;
    std::map<std::string, std::int32_t> constants;
    std::map<std::string, std::vector<std::string>> pictures;  // by section: "images/x.png"
    std::vector<std::string> problems;  // duplicates, unreadable lines
};

// Functions are "### `name`" headings followed by their signature line;
// constants are table rows "| `@name` | value | ... |".
Reference ParseReference(const std::string& text) {
    Reference reference;
    const std::vector<std::string> lines = Lines(text);
    std::string section;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.rfind("## ", 0) == 0) section = line.substr(3);
        const std::size_t picture = line.find("](images/");
        if (line.rfind("![", 0) == 0 && picture != std::string::npos && line.back() == ')')
            reference.pictures[section].push_back(
                line.substr(picture + 2, line.size() - picture - 3));
        if (line.rfind("### `", 0) == 0 && line.size() > 6 && line.back() == '`') {
            const std::string name = line.substr(5, line.size() - 6);
            std::size_t next = i + 1;
            while (next < lines.size() && lines[next].empty()) ++next;
            const DocumentedFunction doc =
                ParseSignature(name, next < lines.size() ? lines[next] : "", section);
            if (!doc.problem.empty()) reference.problems.push_back(name + ": " + doc.problem);
            if (!reference.functions.emplace(name, doc).second)
                reference.problems.push_back(name + " is documented twice");
        }
        if (line.rfind("| `@", 0) == 0) {
            const std::size_t nameEnd = line.find('`', 3);
            const std::size_t valueStart = line.find("| ", nameEnd);
            const std::size_t valueEnd = line.find(" |", valueStart + 2);
            if (nameEnd == std::string::npos || valueStart == std::string::npos ||
                valueEnd == std::string::npos) {
                reference.problems.push_back("constant row \"" + line + "\" cannot be read");
                continue;
            }
            const std::string name = line.substr(3, nameEnd - 3);
            const std::string value = line.substr(valueStart + 2, valueEnd - valueStart - 2);
            std::size_t used = 0;
            std::int32_t number = 0;
            try {
                number = std::stoi(value, &used);
            } catch (const std::exception&) {
            }
            if (used == 0 || used != value.size())
                reference.problems.push_back(name + ": value \"" + value + "\" is no number");
            // The same constant may be named in more than one table (the
            // event codes are); each row must give the table's value.
            const auto [at, added] = reference.constants.emplace(name, number);
            if (!added && at->second != number)
                reference.problems.push_back(name + " has two different values");
        }
    }
    return reference;
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
        if (found == reference.constants.end())
            ADD_FAILURE() << name << " is in the table but not in the reference";
        else
            EXPECT_EQ(found->second, value) << name;
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
            ADD_FAILURE() << "section \"" << section << "\" (" << count
                          << " functions) shows no picture";
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

}  // namespace
