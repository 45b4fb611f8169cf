// Feeds arbitrary right-edge lists to sbSetParts' reader: either every
// blank-separated piece is read as a number, or a message of bounded length
// names what is wrong and no edge is kept.
#include "controls/core/control_texts.h"
#include "host/core/value_helpers.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const vantor::PartEdges parts = vantor::ParsePartEdges(text);
    const std::vector<std::string> pieces = vantor::SplitList(text, ' ');
    if (parts.error.empty()) {
        if (parts.edges.size() != pieces.size() || pieces.size() > vantor::kMostStatusParts) std::abort();
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            std::int32_t again = 0;
            if (vantor::ReadLeadingInteger(pieces[i], again) != vantor::NumberRead::Number) std::abort();
            if (again != parts.edges[i]) std::abort();
        }
    } else {
        if (!parts.edges.empty() || parts.error.size() > 100) std::abort();
        const bool tooMany = parts.error.starts_with("A status bar has at most 256 parts; ");
        if (tooMany != (pieces.size() > vantor::kMostStatusParts)) std::abort();
        if (!tooMany && !parts.error.starts_with("The right edge \"")) std::abort();
    }
    return 0;
}
