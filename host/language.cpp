#include "host/language.h"

#include "host/core/language_text.h"

#include <cstdio>
#include <cstring>

namespace vantor {

HINSTANCE theModule = nullptr;

namespace {

constexpr const char kNotFound[] = "XXX";

struct Loader {
    enum State { kNotInitialised, kNoLanguageFile, kLanguageFile };
    State state = kNotInitialised;
    char path[MAX_PATH] = {};
    char section[MAX_PATH] = {};
    char buffer[256] = {};
};
Loader loader;

bool SystemLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

void ChooseLanguageFile() {
    loader.state = Loader::kNoLanguageFile;
    loader.path[0] = '\0';

    char code[20];
    GetPrivateProfileStringA("MAIN", "Language", kNotFound, code, sizeof code, "OLVHOSTS.INI");
    if (std::strcmp(code, kNotFound) == 0)
        GetProfileStringA("INTL", "sLanguage", "enu", code, sizeof code);

    char own[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(theModule, own, MAX_PATH);
    const std::string composed = LanguageFileBesideLibrary(own, n, code, SystemLeadByte);

    char found[MAX_PATH] = {};
    if (SearchPathA(nullptr, composed.c_str(), nullptr, MAX_PATH, found, nullptr) != 0) {
        lstrcpynA(loader.path, composed.c_str(), MAX_PATH);
    } else {
        char name[64];
        std::snprintf(name, sizeof name, "%s.%s", "OLVELANG", code);
        const DWORD length = SearchPathA(nullptr, name, nullptr, MAX_PATH, found, nullptr);
        if (length == 0 || length >= MAX_PATH) return;
        lstrcpynA(loader.path, found, MAX_PATH);
    }

    // The section is named after the library's own file, whether or not the
    // host asked for the version first.
    char baseName[MAX_PATH];
    ModuleBaseName(baseName);
    lstrcpynA(loader.section, LanguageSection(baseName).c_str(), sizeof loader.section);
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
    lstrcpynA(baseName, BaseName(own, SystemLeadByte).c_str(), sizeof baseName);
}

std::int32_t LoadLocalizedString(std::int32_t number, char* buffer, std::int32_t size) {
    if (size <= 0 || buffer == nullptr) {
        buffer = loader.buffer;
        size = sizeof loader.buffer;
    }
    if (loader.state == Loader::kNotInitialised || number == 0) ChooseLanguageFile();

    std::int32_t count = 0;
    if (number >= 100 && loader.state == Loader::kLanguageFile) {
        count = static_cast<std::int32_t>(GetPrivateProfileStringA(
            loader.section, MessageKey(number).c_str(), kNotFound, buffer, static_cast<DWORD>(size), loader.path));
        if (std::strcmp(buffer, kNotFound) == 0) count = LoadResourceString(number, buffer, size);
    } else {
        count = LoadResourceString(number, buffer, size);
    }

    ExpandMessageText(buffer, SystemLeadByte);
    return count;
}

}  // namespace vantor
