// The edit-box mask engine: the mask language, re-formatting an edit box's
// text against a mask (ebMask) and taking the typed values back out of it
// (ebMaskClean). Platform-free: the handlers read the control, call these
// functions and write back what they give.
//
// A mask is an 8-bit string; mask position i governs text position i. The
// eleven characters ". , : / - # ? A U L &" are special (case-sensitive);
// any other character stands for itself. Text is handled one byte at a time
// with the "C" locale's notion of digits and letters: bytes 0x80 to 0xFF are
// neither.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantor::mask {

// The class of a mask or text character. The codes are fixed; 10 and 13
// belong to no class.
enum class CharClass : int {
    Comma = 1,     // ","  separator
    Colon = 2,     // ":"  separator
    Slash = 3,     // "/"  separator
    Digit = 4,     // "#"  placeholder: a decimal digit
    AlphaNum = 5,  // "?"  placeholder: a letter or digit
    Alpha = 6,     // "A"  placeholder: a letter
    Upper = 7,     // "U"  placeholder: a letter, made upper case
    Lower = 8,     // "L"  placeholder: a letter, made lower case
    Any = 9,       // "&"  placeholder: any character
    Other = 11,    // any other character: a literal
    Dash = 12,     // "-"  separator
    Period = 14,   // "."  separator
};

// Separators are exactly ". , : / -".
bool IsSeparator(CharClass c);
// Placeholders are the positions the user fills: "# ? A U L &".
bool IsPlaceholder(CharClass c);

// The class of a mask character: one of the eleven special characters, else
// Other.
CharClass ClassifyMaskChar(char m);

// The class of a text character, first test that holds: a separator
// character gives its separator class, then a digit Digit, an upper-case
// letter Upper, a lower-case letter Lower, anything else Other. Only ASCII
// "0"-"9", "A"-"Z" and "a"-"z" count as digits and letters; a space and
// every byte from 0x80 up are Other.
CharClass ClassifyTextChar(char c);

// The text character c (of class textClass) as it may stand at a mask
// position of class maskClass: itself, itself in the mask's case ("U" makes a
// lower-case letter upper case, "L" the reverse), or nothing when it does not
// fit. "#" takes digits; "A", "U", "L" letters; "?" letters and digits;
// "&", separators and literals take every character.
std::optional<char> FitToMask(char c, CharClass textClass, CharClass maskClass);

// text without its trailing run of " \n\r\t\f\v".
std::string TrimRight(std::string_view text);

// The engine's process-wide state: one value for every edit control, so
// calls on two controls compare each text with the other's length.
struct MaskEngineState {
    // Length of the text the last text-mode ebMask wrote into a control, or
    // last accepted unchanged after a deletion. 0 at load.
    std::int32_t rememberedLength = 0;
};

// What ebMask read from the control.
struct ApplyInput {
    std::string_view mask;
    std::string_view text;  // the control's text, whole
    std::size_t caret = 0;  // caret index as the control reports it
    std::int32_t rememberedLength = 0;
    bool numeric = false;
};

// What ebMask must do with the control and deliver.
struct ApplyResult {
    // Replace the control's whole text with `text` and place the caret at
    // `caret`. False when the control is to be left untouched (empty text,
    // deletion at the end of the text).
    bool write = false;
    std::string text;       // the call's result, and the new text when write
    std::size_t caret = 0;  // caret index to set, never past the end of text
    std::int32_t rememberedLength = 0;
};

// Re-formats text against mask, for a call made after each change of the
// control's text, with the user typing at the end:
// - empty text: nothing to write, the result is empty, rememberedLength stays;
// - text longer than rememberedLength (a character was typed): fixed mask
//   characters at the typed character's position are put in front of it;
// - text shorter than rememberedLength with the caret at its end (a
//   Backspace at the end): the text is accepted as it is, nothing is written,
//   rememberedLength becomes its length;
// - otherwise the text is cut at the caret and laid into the mask: in text
//   mode by FormatText (rememberedLength becomes the new text's length), in
//   numeric mode by FormatNumeric (rememberedLength stays, caret at the end).
ApplyResult ApplyMask(const ApplyInput& in);

// The digits of text laid into mask from its right end: "#" takes one digit;
// at "," or "." the digit goes left of the separator and both are set; a
// digit meeting any other mask character is dropped. Non-digits of text are
// ignored. Digits left over when the mask is used up are dropped: the
// rightmost digits stay, as on a display that is too narrow, and nothing
// before the mask's start is read.
std::string FormatNumeric(std::string_view mask, std::string_view text);

// What ebMaskClean keeps of the text; the script names the modes 0 to 4.
enum class CleanMode {
    Whole,                      // 0: the text unchanged
    DigitsAndPoints,            // 1: digits and "."
    Placeholders,               // 2: characters at placeholder positions of the mask
    NoSeparators,               // 3: characters that are not separators
    PlaceholdersAndSeparators,  // 4: characters at placeholder positions, and separators anywhere
    Nothing,                    // any other number: the empty string
};
// The one reading of the script's mode integer.
CleanMode ReadCleanMode(std::int32_t mode);

// ebMaskClean: the text of a masked control taken back out of the mask.
// Whole gives text unchanged. The other modes walk the positions that both
// the text and the mask have, keep the text characters the mode selects and
// trim the result on the right. Mask positions past the end of the text
// contribute nothing in any mode, NoSeparators included.
std::string CleanMaskedText(std::string_view mask, std::string_view text, CleanMode mode);

}  // namespace vantor::mask
