#include "value_helpers.h"

#include <algorithm>
#include <charconv>

namespace vantor {
namespace {

// What one reading of a decimal number found: skip's characters first, one
// sign, then the digits up to the first other character.
struct DecimalScan {
    bool digits = false;         // at least one digit
    bool beyond32Bits = false;   // the magnitude exceeds 2^31
    std::int64_t magnitude = 0;  // exact up to 2^31 + 1
    std::uint32_t wrapped = 0;   // the signed value wrapped around in 32 bits
};

// The one integer reader; the three conversions below choose what comes
// before the number and what a value beyond 32 bits means.
DecimalScan ScanDecimal(std::string_view text, bool (*skip)(char)) {
    DecimalScan scan;
    std::size_t i = 0;
    while (i < text.size() && skip(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    for (; i < text.size() && IsDecimalDigit(text[i]); ++i) {
        const auto digit = static_cast<std::uint32_t>(text[i] - '0');
        scan.digits = true;
        scan.wrapped = scan.wrapped * 10u + digit;
        if (!scan.beyond32Bits) scan.magnitude = scan.magnitude * 10 + digit;
        if (scan.magnitude > std::int64_t{1} << 31) scan.beyond32Bits = true;
    }
    if (negative) {
        scan.wrapped = 0u - scan.wrapped;
        scan.magnitude = -scan.magnitude;
    }
    return scan;
}

bool IsBlank(char c) { return c == ' '; }

}  // namespace

std::string_view Trimmed(std::string_view text, std::string_view set, bool start, std::size_t keep) {
    const auto trimmed = [&](char c) { return set.find(c) != std::string_view::npos; };
    std::size_t first = 0, last = text.size();
    while (start && last - first > keep && trimmed(text[first])) ++first;
    while (last - first > keep && trimmed(text[last - 1])) --last;
    return text.substr(first, last - first);
}

std::uint32_t ParseColor(std::string_view text) {
    if (text.empty()) return 0;
    constexpr std::size_t kLookedAt = 11;
    std::string component(1, text[0]);
    std::int32_t red = 0, green = 0;
    int closed = 0;
    for (std::size_t i = 1; i < kLookedAt; ++i) {
        const char c = i < text.size() ? text[i] : '\0';
        if (IsDecimalDigit(c)) {
            component += c;
        } else if (c == '|') {
            if (closed == 0) red = ParseInteger(component);
            else if (closed == 1) green = ParseInteger(component);
            component.clear();
            ++closed;
        } else {
            break;
        }
    }
    const std::int32_t blue = ParseInteger(component);
    const auto low = [](std::int32_t v) { return static_cast<std::uint32_t>(v) & 0xFFu; };
    return low(blue) << 16 | low(green) << 8 | low(red);
}

std::int32_t ParseInteger(std::string_view text) {
    return static_cast<std::int32_t>(ScanDecimal(text, IsBlank).wrapped);
}

NumberRead ReadLeadingInteger(std::string_view text, std::int32_t& value) {
    const DecimalScan scan = ScanDecimal(text, IsWhiteSpace);
    if (!scan.digits) return NumberRead::NotANumber;
    if (scan.beyond32Bits || scan.magnitude > INT32_MAX) return NumberRead::OutOfRange;
    value = static_cast<std::int32_t>(scan.magnitude);
    return NumberRead::Number;
}

void FormatInteger(std::int32_t value, std::string& destination, int base) {
    if (base < 2 || base > 36) base = 10;
    char digits[33];  // a sign and 32 binary digits
    char* const end = std::to_chars(digits, digits + sizeof digits, value, base).ptr;
    if (base > 10)
        std::transform(digits, end, digits, [](char c) { return c >= 'a' ? static_cast<char>(c - 'a' + 'A') : c; });
    destination.append(digits, end);  // one append: lists of thousands of numbers are built with it
}

std::string FormatInteger(std::int32_t value, int base) {
    std::string text;
    FormatInteger(value, text, base);
    return text;
}

std::string Quoted(std::string_view text, std::size_t longest) {
    std::string quoted = "\"";
    quoted += text.substr(0, longest);
    quoted += text.size() > longest ? "...\"" : "\"";
    return quoted;
}

std::string TrimBlanks(std::string& text) {
    text = std::string(Trimmed(text, " \t\n\r", true, 1));
    return text;
}

std::vector<std::string> SplitList(std::string_view text, char delimiter) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(delimiter, start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) {
            std::string piece(text.substr(start, end - start));
            pieces.push_back(TrimBlanks(piece));
        }
        start = end + 1;
    }
    return pieces;
}

}  // namespace vantor
