// Conversions every handler shares: colour texts, decimal numbers, delimited
// lists and trimming. Platform-free: builds into the DLL and natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// The character tests every reader shares, on the byte's value (never the C
// library's, which is undefined for a negative char).
constexpr bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }
// The standard conversion's white space: blank, \t, \n, \v, \f, \r.
constexpr bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

// The one trim: text without the characters of `set` at its start (when
// `start`) and at its end, never shorter than `keep` characters (a shorter
// text stays as it is).
std::string_view Trimmed(std::string_view text, std::string_view set, bool start, std::size_t keep = 0);

// "R|G|B" in decimal to a colour value 0x00BBGGRR. The first character is
// taken unchecked, then up to ten more: digits build the current component,
// "|" closes it (the first closes red, the second green, later ones store
// nothing), any other character ends the scan; what is left becomes blue.
// Each component is reduced to its low 8 bits. A component may be longer
// than three characters ("0255" is 255, "1000" is 232): it is read whole
// within the eleven characters looked at, never cut or overrun.
std::uint32_t ParseColor(std::string_view text);

// Skips spaces (only ' '), takes one '+' or '-', then decimal digits up to
// the first other character. No overflow check: wraps around in 32 bits.
// Text without digits gives 0.
std::int32_t ParseInteger(std::string_view text);

// A script's number counted from 1 as an index counted from 0, and back. Both
// wrap around in 32 bits instead of overflowing: ZeroBased(INT_MIN) is
// INT_MAX, an index no control holds.
inline std::int32_t ZeroBased(std::int32_t number) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(number) - 1u);
}
inline std::int32_t OneBased(std::int32_t index) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(index) + 1u);
}

// What ReadLeadingInteger found.
enum class NumberRead { Number, NotANumber, OutOfRange };

// Reads the number at the start of text as the standard string-to-integer
// conversion does: leading white space, one sign, then decimal digits up to
// the first other character ("12px" is 12). No digit there, or a value
// beyond 32 bits, is reported instead of a value.
NumberRead ReadLeadingInteger(std::string_view text, std::int32_t& value);

// Appends the text of value in base (2..36; any other base formats in base
// 10) to destination: '-' for a negative value, then the digits from
// "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ", most significant first.
void FormatInteger(std::int32_t value, std::string& destination, int base = 10);
std::string FormatInteger(std::int32_t value, int base = 10);

// Removes leading, then trailing blanks, tabs, line feeds and carriage
// returns from text in place, never shortening it below one character; an
// empty text stays empty. Returns a copy of the result.
std::string TrimBlanks(std::string& text);

// text in double quotes for a message: cut after its first longest
// characters, with "..." before the closing quote, when it is longer.
std::string Quoted(std::string_view text, std::size_t longest);

// Splits text at delimiter as a stream reads lines: after the last delimiter
// a piece exists only if a character follows it. Empty pieces are dropped,
// the others pass through TrimBlanks; order is kept.
std::vector<std::string> SplitList(std::string_view text, char delimiter);

}  // namespace vantor
