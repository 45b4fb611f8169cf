// Feeds arbitrary masks, texts, carets and remembered lengths to the mask
// engine and checks the promises that hold for every input.
//
// Input: caret (4 bytes, little-endian), remembered length (4 bytes), flags
// (bit 0 numeric), clean mode (1 signed byte), then the mask, a NUL, and the
// text (which may hold further NULs).
#include "mask/core/mask.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

using namespace vantor::mask;

namespace {

void check(bool holds) {
    if (!holds) std::abort();
}

bool trimmed(const std::string& s) { return TrimRight(s) == s; }

std::size_t countDigits(std::string_view s) {
    return static_cast<std::size_t>(std::count_if(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 10) return 0;
    std::uint32_t caret = 0;
    std::int32_t remembered = 0;
    std::memcpy(&caret, data, 4);
    std::memcpy(&remembered, data + 4, 4);
    const bool numeric = data[8] & 1;
    const int mode = static_cast<std::int8_t>(data[9]);
    const std::string_view rest(reinterpret_cast<const char*>(data) + 10, size - 10);
    const std::size_t split = std::min(rest.find('\0'), rest.size());
    const std::string_view mask = rest.substr(0, split);
    const std::string_view text = split < rest.size() ? rest.substr(split + 1) : std::string_view{};

    const ApplyResult r = ApplyMask({mask, text, caret, remembered, numeric});
    if (text.empty()) {
        check(!r.write && r.text.empty() && r.rememberedLength == remembered);
    } else if (!r.write) {
        check(r.text == text);
        check(static_cast<std::int64_t>(text.size()) < remembered);
        check(r.rememberedLength == static_cast<std::int32_t>(text.size()));
    } else if (numeric) {
        check(r.rememberedLength == remembered);
        check(r.text.size() <= mask.size() + 1 &&
              r.caret == r.text.size());  // one digit may stand left of a leading separator
        check(r.text.find_first_not_of("0123456789,.") == std::string::npos);
        check(countDigits(r.text) <= countDigits(text) + countDigits(mask));
    } else {
        check(r.caret <= r.text.size());
        check(r.text.size() <= mask.size() + 1);
        check(r.rememberedLength == static_cast<std::int32_t>(r.text.size()));
        check(trimmed(r.text));
    }

    check(FormatNumeric(mask, text).size() <= mask.size() + 1);

    const std::string clean = CleanMaskedText(mask, text, ReadCleanMode(mode));
    if (mode == 0) {
        check(clean == text);
    } else if (mode < 1 || mode > 4) {
        check(clean.empty());
    } else {
        check(clean.size() <= std::min(mask.size(), text.size()));
        check(trimmed(clean));
        if (mode == 1) check(clean.find_first_not_of("0123456789.") == std::string::npos);
        if (mode == 3) check(clean.find_first_of(".,:/-") == std::string::npos);
    }

    for (const char c : text.substr(0, 64)) {
        const CharClass t = ClassifyTextChar(c);
        for (const char m : mask.substr(0, 16)) {
            const CharClass mc = ClassifyMaskChar(m);
            const auto fitted = FitToMask(c, t, mc);
            if (!IsPlaceholder(mc) || mc == CharClass::Any) check(fitted.has_value());
            if (mc == CharClass::Digit) check(fitted.has_value() == (t == CharClass::Digit));
        }
    }
    return 0;
}
