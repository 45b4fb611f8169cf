// Reading docs/functions.md: each function's heading, signature line and
// one-line example, and the constant tables. Platform-free, header only: the
// native test checks the names against the host's table with it, the Wine
// test plays the examples with it.
#pragma once

#include <cstdint>
#include <exception>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace vantor::reference {

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// ---------------------------------------------------------------------------
// Examples: "Example: `[name = ]function(arguments)` → result[ (comment)]"

// One argument of an example call: a number (decimal or 0x hexadecimal), a
// text in double quotes (a backslash is an ordinary character, as in
// scripts), a constant such as @CENTER, or a name such as hList.
struct ExampleArgument {
    enum class Kind { Number, Text, Constant, Name };
    Kind kind = Kind::Number;
    std::int64_t number = 0;
    std::string text;  // the text, or the constant's or name's spelling
};

// What the arrow promises.
struct ExpectedResult {
    enum class Kind {
        Number,     // "→ 3", "→ -1"
        Text,       // "→ "12/"" (<Tab> in it stands for a tab character)
        Handle,     // "→ a handle": a value other than 0
        NonZero,    // "→ non-zero"
        NoResult,   // "→ no result": the function ends without one
        HostValue,  // "→ the host's value"
    };
    Kind kind = Kind::Number;
    std::int64_t number = 0;
    std::string text;
};

struct Example {
    std::string assignedTo;  // the variable before " = ", empty when none
    std::string function;
    std::vector<ExampleArgument> arguments;
    ExpectedResult result;
    std::string comment;  // what stands in parentheses after the result
    std::string problem;  // empty when the line could be read
};

namespace detail {

inline bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
inline bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9'); }

// Reads a name at position at; empty when none starts there.
inline std::string ReadName(const std::string& text, std::size_t& at) {
    const std::size_t start = at;
    if (at < text.size() && IsNameStart(text[at])) {
        while (at < text.size() && IsNameChar(text[at])) ++at;
    }
    return text.substr(start, at - start);
}

// Reads "-12", "0x100" or "42" at position at; false when no number is there.
inline bool ReadNumber(const std::string& text, std::size_t& at, std::int64_t& value) {
    std::size_t i = at;
    const bool negative = i < text.size() && text[i] == '-';
    if (negative) ++i;
    const bool hex = text.compare(i, 2, "0x") == 0;
    if (hex) i += 2;
    const std::size_t digitsStart = i;
    std::int64_t number = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0) break;
        number = number * (hex ? 16 : 10) + digit;
        if (number > 0xFFFFFFFFll) return false;
    }
    if (i == digitsStart) return false;
    value = negative ? -number : number;
    at = i;
    return true;
}

// Reads "\"...\"" at position at into text.
inline bool ReadQuoted(const std::string& line, std::size_t& at, std::string& text) {
    if (at >= line.size() || line[at] != '"') return false;
    const std::size_t close = line.find('"', at + 1);
    if (close == std::string::npos) return false;
    text = line.substr(at + 1, close - at - 1);
    at = close + 1;
    return true;
}

inline bool ReadArgument(const std::string& call, std::size_t& at, ExampleArgument& argument) {
    if (ReadQuoted(call, at, argument.text)) {
        argument.kind = ExampleArgument::Kind::Text;
        return true;
    }
    if (at < call.size() && call[at] == '@') {
        std::size_t after = at + 1;
        const std::string name = ReadName(call, after);
        if (name.empty()) return false;
        argument = {ExampleArgument::Kind::Constant, 0, "@" + name};
        at = after;
        return true;
    }
    if (ReadNumber(call, at, argument.number)) {
        argument.kind = ExampleArgument::Kind::Number;
        return true;
    }
    argument.text = ReadName(call, at);
    argument.kind = ExampleArgument::Kind::Name;
    return !argument.text.empty();
}

// "name(arguments)" at position at, up to its closing parenthesis.
inline std::string ReadCall(const std::string& call, std::size_t& at, Example& example) {
    example.function = ReadName(call, at);
    if (example.function.empty() || at >= call.size() || call[at] != '(') return "no \"function(\"";
    ++at;
    if (at < call.size() && call[at] == ')') {
        ++at;
        return {};
    }
    for (;;) {
        ExampleArgument argument;
        if (!ReadArgument(call, at, argument))
            return "argument " + std::to_string(example.arguments.size() + 1) + " cannot be read";
        example.arguments.push_back(std::move(argument));
        if (call.compare(at, 2, ", ") == 0) {
            at += 2;
        } else if (at < call.size() && call[at] == ')') {
            ++at;
            return {};
        } else {
            return "argument " + std::to_string(example.arguments.size()) + " is not followed by \", \" or \")\"";
        }
    }
}

inline std::string ReadResult(const std::string& text, ExpectedResult& result) {
    using Kind = ExpectedResult::Kind;
    static const std::map<std::string, Kind> kWords{{"a handle", Kind::Handle},
                                                    {"non-zero", Kind::NonZero},
                                                    {"no result", Kind::NoResult},
                                                    {"the host's value", Kind::HostValue}};
    const auto word = kWords.find(text);
    if (word != kWords.end()) {
        result.kind = word->second;
        return {};
    }
    std::size_t at = 0;
    if (ReadQuoted(text, at, result.text) && at == text.size()) {
        result.kind = Kind::Text;
        for (std::size_t tab; (tab = result.text.find("<Tab>")) != std::string::npos;)
            result.text.replace(tab, 5, "\t");
        return {};
    }
    at = 0;
    if (ReadNumber(text, at, result.number) && at == text.size()) {
        result.kind = Kind::Number;
        return {};
    }
    return "result \"" + text +
           "\" is no number, no \"text\" and none of: a handle, non-zero, "
           "no result, the host's value";
}

}  // namespace detail

// line: what follows "Example: ".
inline Example ParseExample(const std::string& line) {
    Example example;
    const std::size_t close = line.find('`', 1);
    if (line.empty() || line[0] != '`' || close == std::string::npos) {
        example.problem = "the call is not in backticks";
        return example;
    }
    const std::string call = line.substr(1, close - 1);
    std::size_t at = 0;
    const std::size_t equals = call.find(" = ");
    if (equals != std::string::npos && equals < call.find('(')) {
        example.assignedTo = detail::ReadName(call, at);
        if (at != equals) {
            example.problem = "\"" + call.substr(0, equals) + "\" is no variable name";
            return example;
        }
        at = equals + 3;
    }
    example.problem = detail::ReadCall(call, at, example);
    if (example.problem.empty() && at != call.size()) example.problem = "\"" + call.substr(at) + "\" follows the call";
    if (!example.problem.empty()) return example;

    std::string rest = line.substr(close + 1);
    const std::string arrow = " → ";
    if (rest.rfind(arrow, 0) != 0) {
        example.problem = "no \" → result\" after the call";
        return example;
    }
    rest = rest.substr(arrow.size());
    // a comment is looked for behind a quoted result, never inside it
    const std::size_t quoted = rest.rfind('"', 0) == 0 ? rest.find('"', 1) : 0;
    const std::size_t open = quoted == std::string::npos ? quoted : rest.find(" (", quoted);
    if (open != std::string::npos && rest.back() == ')') {
        example.comment = rest.substr(open + 2, rest.size() - open - 3);
        rest.resize(open);
    }
    example.problem = detail::ReadResult(rest, example.result);
    return example;
}

// ---------------------------------------------------------------------------
// The page

// One documented function: its counts and types as the signature line
// "`name(a: int, b: text, [c: int = 0]) → result`" gives them, and its
// example.
struct DocumentedFunction {
    int required = 0;
    int optional = 0;
    std::string types;
    std::string section;
    std::string problem;  // empty when the signature line could be read
    std::string example;  // what follows "Example: ", empty when there is none
    int exampleLine = 0;  // its line number, from 1
};

inline DocumentedFunction ParseSignature(const std::string& name, const std::string& line, const std::string& section) {
    DocumentedFunction doc;
    doc.section = section;
    const std::string head = "`" + name + "(";
    const std::size_t close = line.find(")");
    if (line.rfind(head, 0) != 0 || close == std::string::npos || line.find(" → ", close) != close + 1 ||
        line.back() != '`') {
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
    std::vector<std::string> problems;                         // duplicates, unreadable lines
};

// Functions are "### `name`" headings followed by their signature line and,
// before the next heading, a line "Example: ..."; constants are table rows
// "| `@name` | value | ... |".
inline Reference ParseReference(const std::string& text) {
    Reference reference;
    const std::vector<std::string> lines = Lines(text);
    std::string section;
    DocumentedFunction* current = nullptr;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.rfind("## ", 0) == 0) section = line.substr(3);
        if (line.rfind("#", 0) == 0) current = nullptr;
        const std::size_t picture = line.find("](images/");
        if (line.rfind("![", 0) == 0 && picture != std::string::npos && line.back() == ')')
            reference.pictures[section].push_back(line.substr(picture + 2, line.size() - picture - 3));
        if (line.rfind("### `", 0) == 0 && line.size() > 6 && line.back() == '`') {
            const std::string name = line.substr(5, line.size() - 6);
            std::size_t next = i + 1;
            while (next < lines.size() && lines[next].empty()) ++next;
            const DocumentedFunction doc = ParseSignature(name, next < lines.size() ? lines[next] : "", section);
            if (!doc.problem.empty()) reference.problems.push_back(name + ": " + doc.problem);
            const auto [at, added] = reference.functions.emplace(name, doc);
            if (!added) reference.problems.push_back(name + " is documented twice");
            current = added ? &at->second : nullptr;
        }
        if (current != nullptr && line.rfind("Example: ", 0) == 0) {
            if (!current->example.empty())
                reference.problems.push_back("a function has two examples (line " + std::to_string(i + 1) + ")");
            current->example = line.substr(9);
            current->exampleLine = static_cast<int>(i + 1);
        }
        if (line.rfind("| `@", 0) == 0) {
            const std::size_t nameEnd = line.find('`', 3);
            const std::size_t valueStart = line.find("| ", nameEnd);
            const std::size_t valueEnd = line.find(" |", valueStart + 2);
            if (nameEnd == std::string::npos || valueStart == std::string::npos || valueEnd == std::string::npos) {
                reference.problems.push_back("constant row \"" + line + "\" cannot be read");
                continue;
            }
            const std::string name = line.substr(3, nameEnd - 3);
            const std::string value = line.substr(valueStart + 2, valueEnd - valueStart - 2);
            std::size_t used = 0;
            std::int32_t number = 0;
            try {
                number = std::stoi(value, &used);
            } catch (const std::exception&) {}
            if (used == 0 || used != value.size())
                reference.problems.push_back(name + ": value \"" + value + "\" is no number");
            // The same constant may be named in more than one table (the
            // event codes are); each row must give the table's value.
            const auto [at, added] = reference.constants.emplace(name, number);
            if (!added && at->second != number) reference.problems.push_back(name + " has two different values");
        }
    }
    return reference;
}

}  // namespace vantor::reference
