// Feeds arbitrary address texts to ipSetIP's reader. The first four bytes
// are also written as a dotted address that must read back exactly.
#include "controls/core/control_texts.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::uint32_t value = vantor::ParseAddress(text);
    // only the first fifteen characters count
    if (vantor::ParseAddress(text.substr(0, 15)) != value) std::abort();
    if (size > 15 && vantor::ParseAddress(std::string(text.substr(0, 15)) + "9.9") != value) std::abort();

    if (size >= 4) {
        std::string dotted;
        std::uint32_t expected = 0;
        for (int i = 0; i < 4; ++i) {
            dotted += (i ? "." : "") + std::to_string(data[i]);
            expected = expected << 8 | data[i];
        }
        if (vantor::ParseAddress(dotted) != expected) std::abort();
    }
    return 0;
}
