#include "host/core/language_text.h"

namespace vantor {
namespace {

constexpr std::size_t kPathRoom = 260;  // characters of a path buffer, NUL included

// The step to the next character, as the system's CharNext takes it: a lead
// byte and the byte after it are one character, unless that byte ends the text.
std::size_t Step(std::string_view text, std::size_t i, LeadByteTest leadByte) {
    return leadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() && text[i + 1] != '\0' ? 2 : 1;
}

std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

std::size_t DirectoryLength(std::string_view text, LeadByteTest leadByte) {
    text = UpToNul(text);
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size(); i += Step(text, i, leadByte))
        if (text[i] == '\\' || text[i] == '/') length = i + 1;
    return length;
}

std::string BaseName(std::string_view path, LeadByteTest leadByte) {
    path = UpToNul(path);
    const std::string_view name = path.substr(DirectoryLength(path, leadByte));
    return std::string(name.substr(0, name.rfind('.')));
}

std::string LanguageFileBesideLibrary(std::string_view ownPath, std::size_t ownLength,
                                      std::string_view code, LeadByteTest leadByte) {
    std::string composed;
    if (ownLength > 0 && ownLength < kPathRoom) {
        const std::string_view own = UpToNul(ownPath.substr(0, ownLength));
        composed = own.substr(0, DirectoryLength(own, leadByte));
    }
    std::string name = "OLVELANG.";
    name += UpToNul(code);
    composed += name.substr(0, kPathRoom - 1);
    return composed;
}

std::string LanguageSection(std::string_view baseName) {
    std::string section(UpToNul(baseName));
    section += " Extender";
    return section.substr(0, kPathRoom - 1);
}

std::string MessageKey(std::int32_t number) { return "X" + std::to_string(number); }

void ExpandMessageText(char* text, LeadByteTest leadByte) {
    for (char* p = text; *p != '\0';) {
        if (*p == '~') *p = '\n';
        else if (*p == '|') *p = '\t';
        p += leadByte(static_cast<unsigned char>(*p)) && p[1] != '\0' ? 2 : 1;
    }
}

}  // namespace vantor
