#include "mask/core/mask.h"

#include "host/core/value_helpers.h"

#include <algorithm>

namespace vantor::mask {
namespace {

// The "C" locale's character tests, on the byte's value: no call into the C
// library, which is undefined for a negative char.
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
char ToUpper(char c) { return IsLower(c) ? static_cast<char>(c - 'a' + 'A') : c; }
char ToLower(char c) { return IsUpper(c) ? static_cast<char>(c - 'A' + 'a') : c; }

std::optional<CharClass> SeparatorClass(char c) {
    switch (c) {
        case '.': return CharClass::Period;
        case ',': return CharClass::Comma;
        case ':': return CharClass::Colon;
        case '/': return CharClass::Slash;
        case '-': return CharClass::Dash;
        default: return std::nullopt;
    }
}

bool IsLetterClass(CharClass c) { return c == CharClass::Alpha || c == CharClass::Upper || c == CharClass::Lower; }

// The text mode's walk over the mask positions; pos is the caret index,
// moved one to the right for each fixed position the text reaches.
std::string FormatText(std::string_view mask, std::string_view text, std::size_t& pos) {
    std::string out;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const char m = mask[i];
        const CharClass maskClass = ClassifyMaskChar(m);
        if (i >= text.size()) {
            // past the text: fixed characters are filled in up to the next
            // placeholder
            if (IsPlaceholder(maskClass)) break;
            out += m;
            continue;
        }
        const char c = text[i];
        if (IsPlaceholder(maskClass)) {
            // a character that does not fit is dropped; the ones after it
            // move one position left against the mask
            if (const auto fitted = FitToMask(c, ClassifyTextChar(c), maskClass)) out += *fitted;
            continue;
        }
        // A fixed position takes the mask's character. A lone character
        // (every character fits a fixed position unchanged) follows it,
        // unless it is that very character.
        out += m;
        if (text.size() == 1 && c != m) out += c;
        ++pos;
    }
    return out;
}

// A character was typed: when it stands where the mask has fixed
// characters, those are put in front of it (the caret moves past them).
void PutFixedBeforeTyped(std::string_view mask, std::string& text, std::size_t& pos) {
    const char typed = text.back();
    for (std::size_t i = text.size() - 1; i < mask.size(); ++i) {
        if (IsPlaceholder(ClassifyMaskChar(mask[i]))) break;
        text.resize(i);
        text += mask[i];
        text += typed;
        ++pos;
    }
}

// The text mode's result: typing at the end sends the caret to the end of
// what the walk makes, past the fixed characters it appends (from the first
// character on: a caret left in front of them would have the next key land
// there and cut them off); after a deletion it stays at the end of the cut
// text.
void LayTextIntoMask(std::string_view mask, std::string_view text, std::size_t pos, std::int64_t remembered,
                     ApplyResult& result) {
    const std::size_t textLength = text.size();
    if (pos == textLength && pos < mask.size()) pos = mask.size();
    if (remembered > static_cast<std::int64_t>(textLength)) pos = textLength;
    result.text = TrimRight(FormatText(mask, text, pos));
    result.caret = std::min(pos, result.text.size());
    result.rememberedLength = static_cast<std::int32_t>(result.text.size());
}

}  // namespace

bool IsSeparator(CharClass c) {
    return c == CharClass::Period || c == CharClass::Comma || c == CharClass::Colon || c == CharClass::Slash ||
           c == CharClass::Dash;
}

bool IsPlaceholder(CharClass c) {
    return c == CharClass::Digit || c == CharClass::AlphaNum || c == CharClass::Alpha || c == CharClass::Upper ||
           c == CharClass::Lower || c == CharClass::Any;
}

CharClass ClassifyMaskChar(char m) {
    if (const auto separator = SeparatorClass(m)) return *separator;
    switch (m) {
        case '#': return CharClass::Digit;
        case '?': return CharClass::AlphaNum;
        case 'A': return CharClass::Alpha;
        case 'U': return CharClass::Upper;
        case 'L': return CharClass::Lower;
        case '&': return CharClass::Any;
        default: return CharClass::Other;
    }
}

CharClass ClassifyTextChar(char c) {
    if (const auto separator = SeparatorClass(c)) return *separator;
    if (IsDecimalDigit(c)) return CharClass::Digit;
    if (IsUpper(c)) return CharClass::Upper;
    if (IsLower(c)) return CharClass::Lower;
    // In the "C" locale every letter is upper or lower case, so a text
    // character is never Alpha or AlphaNum.
    return CharClass::Other;
}

std::optional<char> FitToMask(char c, CharClass textClass, CharClass maskClass) {
    bool fits = true;
    switch (maskClass) {
        case CharClass::Digit: fits = textClass == CharClass::Digit; break;
        case CharClass::Alpha:
        case CharClass::Upper:
        case CharClass::Lower: fits = IsLetterClass(textClass); break;
        case CharClass::AlphaNum:
            fits = textClass == CharClass::Digit || textClass == CharClass::AlphaNum || IsLetterClass(textClass);
            break;
        default: break;  // "&", separators and literals take everything
    }
    if (!fits) return std::nullopt;
    if (maskClass == CharClass::Upper && textClass == CharClass::Lower) return ToUpper(c);
    if (maskClass == CharClass::Lower && textClass == CharClass::Upper) return ToLower(c);
    return c;
}

std::string TrimRight(std::string_view text) { return std::string(Trimmed(text, kWhiteSpace, false)); }

ApplyResult ApplyMask(const ApplyInput& in) {
    ApplyResult result;
    result.rememberedLength = in.rememberedLength;
    if (in.text.empty()) return result;

    const std::int64_t remembered = in.rememberedLength;
    const std::size_t readLength = in.text.size();
    std::string text(in.text);
    // Every caret index past whatever the call can make acts alike (the
    // control puts such a caret at the end of the new text); bounding it
    // keeps the arithmetic below from wrapping.
    std::size_t pos = std::min(in.caret, std::max(readLength, in.mask.size()) + 2);

    if (static_cast<std::int64_t>(readLength) > remembered) PutFixedBeforeTyped(in.mask, text, pos);

    // Backspace at the end: accept the shorter text, so that fixed characters
    // can be deleted.
    if (static_cast<std::int64_t>(readLength) < remembered && pos == text.size()) {
        result.text = std::move(text);
        result.rememberedLength = static_cast<std::int32_t>(readLength);
        return result;
    }

    // Whatever stands after the caret is dropped.
    text.resize(std::min(pos, text.size()));
    result.write = true;
    if (in.numeric) {
        result.text = FormatNumeric(in.mask, text);
        result.caret = result.text.size();
    } else {
        LayTextIntoMask(in.mask, text, pos, remembered, result);
    }
    return result;
}

std::string FormatNumeric(std::string_view mask, std::string_view text) {
    std::string digits;
    for (const char c : text)
        if (ClassifyTextChar(c) == CharClass::Digit) digits += c;

    // Built right to left, reversed at the end. `free` counts the mask
    // positions not used yet: the next one is mask[free - 1].
    std::string reversed;
    std::size_t free = mask.size();
    for (auto d = digits.rbegin(); d != digits.rend() && free > 0; ++d) {
        const char m = mask[free - 1];
        const CharClass maskClass = ClassifyMaskChar(m);
        if (maskClass == CharClass::Digit) {
            reversed += *d;
            free -= 1;
            continue;
        }
        // At "," or "." the digit takes the position left of the separator,
        // whatever the mask has there (also before the mask's first
        // position: ".##" with 123 gives 1.23); at any other character it is
        // dropped.
        if (maskClass == CharClass::Comma || maskClass == CharClass::Period) {
            reversed += m;
            reversed += *d;
        }
        free -= std::min<std::size_t>(free, 2);
    }
    return {reversed.rbegin(), reversed.rend()};
}

CleanMode ReadCleanMode(std::int32_t mode) {
    switch (mode) {
        case 0: return CleanMode::Whole;
        case 1: return CleanMode::DigitsAndPoints;
        case 2: return CleanMode::Placeholders;
        case 3: return CleanMode::NoSeparators;
        case 4: return CleanMode::PlaceholdersAndSeparators;
        default: return CleanMode::Nothing;
    }
}

std::string CleanMaskedText(std::string_view mask, std::string_view text, CleanMode mode) {
    if (mode == CleanMode::Whole) return std::string(text);
    if (mode == CleanMode::Nothing) return {};

    std::string out;
    const std::size_t positions = std::min(mask.size(), text.size());
    for (std::size_t i = 0; i < positions; ++i) {
        const bool placeholder = IsPlaceholder(ClassifyMaskChar(mask[i]));
        const CharClass textClass = ClassifyTextChar(text[i]);
        const bool separator = IsSeparator(textClass);
        bool keep = false;
        switch (mode) {
            case CleanMode::DigitsAndPoints:
                keep = textClass == CharClass::Digit || textClass == CharClass::Period;
                break;
            case CleanMode::Placeholders: keep = placeholder; break;
            case CleanMode::NoSeparators: keep = !separator; break;
            case CleanMode::PlaceholdersAndSeparators: keep = placeholder || separator; break;
            case CleanMode::Whole:
            case CleanMode::Nothing: break;
        }
        if (keep) out += text[i];
    }
    return TrimRight(out);
}

}  // namespace vantor::mask
