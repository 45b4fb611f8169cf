#include "host/language.h"

#include "host/core/language_text.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace vantor {

HINSTANCE theModule = nullptr;

namespace {

constexpr const char kNotFound[] = "XXX";

struct Loader {
    enum State { kNotInitialised, kNoLanguageFile, kLanguageFile };
    State state = kNotInitialised;
    char path[MAX_PATH] = {};
    PathText section = {};
    char buffer[256] = {};
};
Loader loader;

bool SystemLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

// Allocates nothing, as every message lookup (the error path included) may
// come here first.
void ChooseLanguageFile() {
    loader.state = Loader::kNoLanguageFile;
    loader.path[0] = '\0';

    char code[20];
    GetPrivateProfileStringA("MAIN", "Language", kNotFound, code, sizeof code, "OLVHOSTS.INI");
    if (std::strcmp(code, kNotFound) == 0) GetProfileStringA("INTL", "sLanguage", "enu", code, sizeof code);

    char own[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(theModule, own, MAX_PATH);
    PathText composed;
    const bool fits = LanguageFileBesideLibrary(own, n, code, SystemLeadByte, composed);

    char found[MAX_PATH] = {};
    if (fits && SearchPathA(nullptr, composed, nullptr, MAX_PATH, found, nullptr) != 0) {
        lstrcpynA(loader.path, composed, MAX_PATH);
    } else {
        PathText name;
        LanguageFileBesideLibrary("", 0, code, SystemLeadByte, name);  // "OLVELANG.<code>" alone
        const DWORD length = SearchPathA(nullptr, name, nullptr, MAX_PATH, found, nullptr);
        if (length == 0 || length >= MAX_PATH) return;
        lstrcpynA(loader.path, found, MAX_PATH);
    }

    // The section is named after the library's own file, whether or not the
    // host asked for the version first.
    char baseName[MAX_PATH];
    ModuleBaseName(baseName);
    LanguageSection(baseName, loader.section);
    loader.state = Loader::kLanguageFile;
}

std::int32_t LoadResourceString(std::int32_t number, char* buffer, std::int32_t size) {
    buffer[0] = '\0';
    return LoadStringA(theModule, static_cast<UINT>(number) & 0xFFFFu, buffer, size);
}

}  // namespace

void ModuleBaseName(char (&baseName)[260]) {
    baseName[0] = '\0';
    char own[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(theModule, own, MAX_PATH + 1);
    if (n == 0 || n >= MAX_PATH + 1) return;
    const std::string_view name = BaseNameView(own, SystemLeadByte);
    lstrcpynA(baseName, name.data(), static_cast<int>(std::min<std::size_t>(name.size() + 1, sizeof baseName)));
}

std::int32_t LoadLocalizedString(std::int32_t number, char* buffer, std::int32_t size) {
    if (size <= 0 || buffer == nullptr) {
        buffer = loader.buffer;
        size = sizeof loader.buffer;
    }
    if (loader.state == Loader::kNotInitialised || number == 0) ChooseLanguageFile();

    std::int32_t count = 0;
    if (number >= 100 && loader.state == Loader::kLanguageFile) {
        char key[16];
        MessageKey(number, key);
        count = static_cast<std::int32_t>(
            GetPrivateProfileStringA(loader.section, key, kNotFound, buffer, static_cast<DWORD>(size), loader.path));
        if (std::strcmp(buffer, kNotFound) == 0) count = LoadResourceString(number, buffer, size);
    } else {
        count = LoadResourceString(number, buffer, size);
    }

    ExpandMessageText(buffer, SystemLeadByte);
    return count;
}

}  // namespace vantor
