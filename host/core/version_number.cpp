#include "version_number.h"

#include "host/core/value_helpers.h"

namespace vantor {

std::int32_t VersionNumber(std::string_view text, std::int32_t fallback) {
    std::int32_t value = 0;
    return ReadLeadingInteger(text, value) == NumberRead::Number ? value : fallback;
}

}  // namespace vantor
