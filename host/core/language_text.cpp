#include "host/core/language_text.h"

#include <algorithm>

namespace vantor {
namespace {

// The step to the next character, as the system's CharNext takes it: a lead
// byte and the byte after it are one character, unless that byte ends the text.
std::size_t Step(std::string_view text, std::size_t i, LeadByteTest leadByte) {
    return leadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() && text[i + 1] != '\0' ? 2 : 1;
}

std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

// Writes text into out from at on, as much as fits before the NUL; gives the
// new end.
std::size_t Put(PathText& out, std::size_t at, std::string_view text) {
    for (const char c : text) {
        if (at + 1 >= kPathRoom) break;
        out[at++] = c;
    }
    out[at] = '\0';
    return at;
}

}  // namespace

std::size_t DirectoryLength(std::string_view text, LeadByteTest leadByte) {
    text = UpToNul(text);
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size(); i += Step(text, i, leadByte))
        if (text[i] == '\\' || text[i] == '/') length = i + 1;
    return length;
}

std::string_view BaseNameView(std::string_view path, LeadByteTest leadByte) {
    path = UpToNul(path);
    const std::string_view name = path.substr(DirectoryLength(path, leadByte));
    return name.substr(0, name.rfind('.'));
}

std::string BaseName(std::string_view path, LeadByteTest leadByte) { return std::string(BaseNameView(path, leadByte)); }

bool LanguageFileBesideLibrary(std::string_view ownPath, std::size_t ownLength, std::string_view code,
                               LeadByteTest leadByte, PathText& out) {
    std::size_t wanted = 0, at = Put(out, 0, "");
    if (ownLength > 0 && ownLength < kPathRoom) {
        const std::string_view own = UpToNul(ownPath.substr(0, ownLength));
        const std::string_view directory = own.substr(0, DirectoryLength(own, leadByte));
        wanted += directory.size();
        at = Put(out, at, directory);
    }
    constexpr std::string_view kPrefix = "OLVELANG.";
    code = UpToNul(code);
    wanted += std::min(kPrefix.size() + code.size(), kPathRoom - 1);
    Put(out, Put(out, at, kPrefix), code);
    return wanted < kPathRoom;
}

std::string LanguageSection(std::string_view baseName) {
    PathText section;
    LanguageSection(baseName, section);
    return section;
}

void LanguageSection(std::string_view baseName, PathText& out) {
    Put(out, Put(out, 0, UpToNul(baseName)), " Extender");
}

std::string MessageKey(std::int32_t number) {
    char key[16];
    MessageKey(number, key);
    return key;
}

void MessageKey(std::int32_t number, char (&out)[16]) {
    char digits[12];
    std::size_t count = 0;
    // The magnitude in unsigned arithmetic, so INT32_MIN has one too.
    std::uint32_t rest = number < 0 ? 0u - static_cast<std::uint32_t>(number) : static_cast<std::uint32_t>(number);
    do {
        digits[count++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    std::size_t at = 0;
    out[at++] = 'X';
    if (number < 0) out[at++] = '-';
    while (count > 0) out[at++] = digits[--count];
    out[at] = '\0';
}

void ExpandMessageText(char* text, LeadByteTest leadByte) {
    for (char* p = text; *p != '\0';) {
        if (*p == '~') *p = '\n';
        else if (*p == '|') *p = '\t';
        p += leadByte(static_cast<unsigned char>(*p)) && p[1] != '\0' ? 2 : 1;
    }
}

}  // namespace vantor
