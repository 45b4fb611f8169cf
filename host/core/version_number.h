#pragma once

#include <cstdint>
#include <string_view>

namespace vantor {

// The version number in the text of a "FileVersion" value: its leading
// decimal number (leading white space and a sign allowed, reading stops at
// the first other character). Text without a number, or a number outside
// 32 bits, gives fallback.
std::int32_t VersionNumber(std::string_view text, std::int32_t fallback);

}  // namespace vantor
