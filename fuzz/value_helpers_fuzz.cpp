// Feeds arbitrary bytes to the value helpers a script's text reaches and
// checks the promises that hold for every input.
#include "host/core/value_helpers.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const char delimiter = static_cast<char>(data[0]);
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    if (vantor::ParseColor(text) > 0xFFFFFFu) std::abort();
    (void)vantor::ParseInteger(text);

    std::string trimmed = text;
    const std::string copy = vantor::TrimBlanks(trimmed);
    if (copy != trimmed || trimmed.size() > text.size()) std::abort();
    if (!text.empty() && trimmed.empty()) std::abort();
    if (text.find(trimmed) == std::string::npos) std::abort();

    std::size_t total = 0;
    for (const std::string& piece : vantor::SplitList(text, delimiter)) {
        if (piece.empty() || piece.find(delimiter) != std::string::npos) std::abort();
        total += piece.size();
    }
    if (total > text.size()) std::abort();

    const std::int32_t n = vantor::ParseInteger(text);
    if (vantor::ParseInteger(vantor::FormatInteger(n)) != n) std::abort();

    // The strict reader agrees with the wrapping one wherever it reads a
    // number and the text starts with no white space other than blanks.
    std::int32_t read = 0;
    const vantor::NumberRead kind = vantor::ReadLeadingInteger(text, read);
    const std::size_t start = text.find_first_not_of(" \t\n\v\f\r");
    if (kind == vantor::NumberRead::Number && text.find_first_not_of(' ') == start && read != n) std::abort();
    if (kind == vantor::NumberRead::OutOfRange && text.find_first_of("0123456789") == std::string::npos) std::abort();
    for (const int base : {2, 16, 36, 1}) {
        const std::string formatted = vantor::FormatInteger(n, base);
        if (formatted.empty() || formatted.size() > 33) std::abort();
    }
    return 0;
}
