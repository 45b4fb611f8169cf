#include "value_helpers.h"

namespace vantor {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsTrimmed(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

std::uint32_t ParseColor(std::string_view text) {
    if (text.empty()) return 0;
    constexpr std::size_t kLookedAt = 11;
    std::string component(1, text[0]);
    std::int32_t red = 0, green = 0;
    int closed = 0;
    for (std::size_t i = 1; i < kLookedAt; ++i) {
        const char c = i < text.size() ? text[i] : '\0';
        if (IsDigit(c)) {
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
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint32_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

NumberRead ReadLeadingInteger(std::string_view text, std::int32_t& value) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size() || !IsDigit(text[i])) return NumberRead::kNotANumber;
    std::int64_t magnitude = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > std::int64_t{1} << 31) return NumberRead::kOutOfRange;
    }
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT32_MAX) return NumberRead::kOutOfRange;
    value = static_cast<std::int32_t>(signedValue);
    return NumberRead::kNumber;
}

void FormatInteger(std::int32_t value, std::string& destination, int base) {
    static constexpr char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (base < 2 || base > 36) base = 10;
    std::uint32_t magnitude = static_cast<std::uint32_t>(value);
    if (value < 0) {
        destination += '-';
        magnitude = 0u - magnitude;
    }
    char digits[32];
    std::size_t n = 0;
    do {
        digits[n++] = kAlphabet[magnitude % static_cast<std::uint32_t>(base)];
        magnitude /= static_cast<std::uint32_t>(base);
    } while (magnitude != 0);
    while (n > 0) destination += digits[--n];
}

std::string FormatInteger(std::int32_t value, int base) {
    std::string text;
    FormatInteger(value, text, base);
    return text;
}

std::string TrimBlanks(std::string& text) {
    std::size_t first = 0;
    while (text.size() - first >= 2 && IsTrimmed(text[first])) ++first;
    std::size_t last = text.size();
    while (last - first >= 2 && IsTrimmed(text[last - 1])) --last;
    text = text.substr(first, last - first);
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
