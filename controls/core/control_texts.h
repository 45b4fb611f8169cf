// The texts of control functions that are read as more than one value: the
// address of ipSetIP and the right edges of sbSetParts. Platform-free:
// builds into the DLL and natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// The address text of ipSetIP as one value, field 1 in the highest byte.
// At most the first fifteen characters are read. Each field is read from a
// buffer that keeps the first three characters since the last dot: further
// characters of an over-long field are dropped, so "1000.2.3.4" sets field 1
// to 100. The first, second and third dot close fields 1 to 3, later dots
// only empty the buffer, and what follows the last dot is field 4. Fields
// are added, not masked (a field above 255 carries into the one before),
// with 32-bit wrap-around.
std::uint32_t ParseAddress(std::string_view text);

// The status bar's own limit on parts.
inline constexpr std::size_t kMostStatusParts = 256;

// The right edges of sbSetParts: decimal numbers separated by blanks. Either
// every edge is read (error empty) or error holds the message that says
// which piece is wrong (not a number, beyond 32 bits, or more than 256).
struct PartEdges {
    std::vector<std::int32_t> edges;
    std::string error;
};
PartEdges ParsePartEdges(std::string_view text);

}  // namespace vantor
