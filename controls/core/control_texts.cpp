#include "controls/core/control_texts.h"

#include "host/core/value_helpers.h"

namespace vantor {
namespace {

// A piece quoted in a message is cut after this many characters.
constexpr std::size_t kShownOfPiece = 40;

}  // namespace

std::uint32_t ParseAddress(std::string_view text) {
    constexpr std::size_t kFieldRoom = 3, kLookedAt = 15;
    text = text.substr(0, kLookedAt);
    std::uint32_t fields[4] = {};
    std::string buffer;
    int dots = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i > 0 && c == '.') {
            if (dots < 3) fields[dots] = static_cast<std::uint32_t>(ParseInteger(buffer));
            ++dots;
            buffer.clear();
        } else if (buffer.size() < kFieldRoom) {
            buffer += c;
        }
    }
    fields[3] = static_cast<std::uint32_t>(ParseInteger(buffer));
    return ((fields[0] * 256 + fields[1]) * 256 + fields[2]) * 256 + fields[3];
}

PartEdges ParsePartEdges(std::string_view text) {
    PartEdges result;
    const std::vector<std::string> pieces = SplitList(text, ' ');
    if (pieces.size() > kMostStatusParts) {
        result.error = "A status bar has at most 256 parts; ";
        FormatInteger(static_cast<std::int32_t>(pieces.size()), result.error);
        result.error += " right edges were given.";
        return result;
    }
    result.edges.resize(pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const NumberRead read = ReadLeadingInteger(pieces[i], result.edges[i]);
        if (read == NumberRead::Number) continue;
        result.edges.clear();
        result.error = "The right edge " + Quoted(pieces[i], kShownOfPiece) +
                       (read == NumberRead::OutOfRange ? " is out of range." : " is not a number.");
        break;
    }
    return result;
}

}  // namespace vantor
