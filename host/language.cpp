#include "host/language.h"

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

// Index just past the last '\\' or '/' of path, walking characters (not bytes).
std::size_t DirectoryLength(const char* path) {
    std::size_t length = 0;
    for (const char* p = path; *p != '\0'; p = CharNextA(p))
        if (*p == '\\' || *p == '/') length = static_cast<std::size_t>(p - path) + 1;
    return length;
}

void ChooseLanguageFile() {
    loader.state = Loader::kNoLanguageFile;
    loader.path[0] = '\0';

    char code[20];
    GetPrivateProfileStringA("MAIN", "Language", kNotFound, code, sizeof code, "OLVHOSTS.INI");
    if (std::strcmp(code, kNotFound) == 0)
        GetProfileStringA("INTL", "sLanguage", "enu", code, sizeof code);

    char own[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(theModule, own, MAX_PATH);
    char composed[MAX_PATH * 2] = {};
    if (n > 0 && n < MAX_PATH) {
        const std::size_t dir = DirectoryLength(own);
        std::memcpy(composed, own, dir);
    }
    std::snprintf(composed + std::strlen(composed), MAX_PATH, "OLVELANG.%s", code);

    char found[MAX_PATH] = {};
    if (SearchPathA(nullptr, composed, nullptr, MAX_PATH, found, nullptr) != 0) {
        lstrcpynA(loader.path, composed, MAX_PATH);
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
    std::snprintf(loader.section, sizeof loader.section, "%s Extender", baseName);
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
    const char* name = own + DirectoryLength(own);
    const char* dot = std::strrchr(name, '.');
    const std::size_t length = dot != nullptr ? static_cast<std::size_t>(dot - name) : std::strlen(name);
    std::memcpy(baseName, name, length);
    baseName[length] = '\0';
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
        std::snprintf(key, sizeof key, "X%ld", static_cast<long>(number));
        count = static_cast<std::int32_t>(GetPrivateProfileStringA(
            loader.section, key, kNotFound, buffer, static_cast<DWORD>(size), loader.path));
        if (std::strcmp(buffer, kNotFound) == 0) count = LoadResourceString(number, buffer, size);
    } else {
        count = LoadResourceString(number, buffer, size);
    }

    for (char* p = buffer; *p != '\0'; p = CharNextA(p)) {
        if (*p == '~') *p = '\n';
        else if (*p == '|') *p = '\t';
    }
    return count;
}

}  // namespace vantor
