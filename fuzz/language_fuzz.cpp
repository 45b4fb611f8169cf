// Feeds arbitrary library paths, language codes, base names and message
// texts to the language file lookup, with and without a double-byte code
// page (lead bytes as in code page 932).
//
// Input: flags (1 byte: bit 0 double-byte), then four NUL-separated pieces:
// the library's path, the language code, a base name and a message text.
#include "host/core/language_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool NoLeadBytes(unsigned char) { return false; }
bool ShiftJisLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

void check(bool holds) {
    if (!holds) std::abort();
}

std::array<std::string_view, 4> Pieces(std::string_view rest) {
    std::array<std::string_view, 4> pieces{};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t nul = rest.find('\0');
        pieces[i] = rest.substr(0, nul);
        rest = nul == std::string_view::npos ? std::string_view{} : rest.substr(nul + 1);
    }
    pieces[3] = rest;
    return pieces;
}

// The whole composed path, however long: the directory of the library's
// path (when ownLength is below 260) and "OLVELANG.<code>" cut at 259
// characters. The library writes as much of it as fits a path buffer.
std::string ComposedPath(std::string_view ownPath, std::size_t ownLength, std::string_view code,
                         vantor::LeadByteTest leadByte) {
    const auto upToNul = [](std::string_view text) { return text.substr(0, text.find('\0')); };
    std::string composed;
    if (ownLength > 0 && ownLength < vantor::kPathRoom) {
        const std::string_view own = upToNul(ownPath.substr(0, ownLength));
        composed = own.substr(0, vantor::DirectoryLength(own, leadByte));
    }
    composed += ("OLVELANG." + std::string(upToNul(code))).substr(0, vantor::kPathRoom - 1);
    return composed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vantor;
    if (size == 0) return 0;
    const LeadByteTest lead = (data[0] & 1) ? ShiftJisLeadByte : NoLeadBytes;
    const auto [path, code, base, message] = Pieces({reinterpret_cast<const char*>(data) + 1, size - 1});

    const std::size_t dir = DirectoryLength(path, lead);
    check(dir <= path.size());
    if (dir > 0) check(path[dir - 1] == '\\' || path[dir - 1] == '/');
    if (lead == NoLeadBytes) check(path.substr(dir).find_first_of("\\/") == std::string_view::npos);

    const std::string name = BaseName(path, lead);
    check(name.size() <= path.size() - dir && path.substr(dir).starts_with(name));
    check(name.find('.') == std::string::npos || path.substr(dir + name.size()).starts_with("."));

    for (const std::size_t length : {path.size(), std::size_t{0}, std::size_t{259}, std::size_t{260}}) {
        const std::string file = ComposedPath(path, length, code, lead);
        const std::size_t used = length > 0 && length < 260 ? DirectoryLength(path.substr(0, length), lead) : 0;
        check(file.size() <= used + 259);
        check(file.substr(used).starts_with(std::string("OLVELANG.").substr(0, file.size() - used)));
        check(file.compare(0, used, path.substr(0, used)) == 0);
        PathText buffer;  // the allocation-free form: the same text, as far as it fits
        const bool fits = LanguageFileBesideLibrary(path, length, code, lead, buffer);
        check(fits == (file.size() < kPathRoom) && file.substr(0, kPathRoom - 1) == buffer);
    }

    const std::string section = LanguageSection(base);
    check(section.size() <= 259);
    if (base.size() + 9 <= 259) check(section == std::string(base) + " Extender");

    const std::int32_t number = static_cast<std::int32_t>(size * 2654435761u);
    const std::string key = MessageKey(number);
    check(key.size() <= 12 && key[0] == 'X' && key == std::to_string(number).insert(0, "X"));

    std::vector<char> text(message.begin(), message.end());
    text.push_back('\0');
    ExpandMessageText(text.data(), lead);
    check(text.size() == message.size() + 1 && text.back() == '\0');
    const std::size_t end = std::min(message.find('\0'), message.size());
    for (std::size_t i = 0; i < message.size(); ++i) {
        const char was = message[i], is = text[i];
        if (i >= end) check(is == was);  // nothing after the end of the text is touched
        else if (was == '~') check(is == '\n' || lead != NoLeadBytes);
        else if (was == '|') check(is == '\t' || lead != NoLeadBytes);
        else check(is == was);
    }
    return 0;
}
