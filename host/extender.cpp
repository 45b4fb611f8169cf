#include "host/extender.h"

#include "host/core/version_number.h"
#include "host/language.h"

#include <cstring>
#include <cwchar>
#include <vector>

namespace vantor {

std::int32_t CExtenderBase::Deliver(std::int32_t status) {
    if (resultCallback_ == nullptr) return 0;
    return resultCallback_(status, hostContext_, hostServices_, resultCell_);
}

std::int32_t CExtenderBase::ReturnInteger(std::int32_t value) {
    if (resultCell_ != nullptr) {
        resultCell_->intValue = value;
        resultCell_->kind = kIntegerCell;
    }
    return Deliver(0);
}

std::int32_t CExtenderBase::ReturnString(const char* text) {
    if (resultCell_ != nullptr) {
        resultCell_->strValue = text;
        resultCell_->kind = kStringCell;
    }
    return Deliver(0);
}

std::int32_t CExtenderBase::ReturnCell(const ValueCell& cell) {
    if (resultCell_ != nullptr) std::memcpy(resultCell_, &cell, sizeof(ValueCell));
    return Deliver(0);
}

std::int32_t CExtenderBase::ReturnMessage(std::int32_t status, std::int32_t number) {
    LoadLocalizedString(number, messageBuffer_, sizeof messageBuffer_);
    if (resultCell_ != nullptr) {
        resultCell_->strValue = messageBuffer_;
        resultCell_->kind = kStringCell;
    }
    return Deliver(status);
}

void CExtenderBase::ShowHostMessage(const char* text) {
    if (hostServices_ != nullptr && hostServices_->showMessage != nullptr)
        hostServices_->showMessage(hostServices_->hostData, text != nullptr ? text : "");
}

std::int32_t CExtenderBase::ReturnError(std::int32_t number, const char* shownFirst) {
    if (shownFirst != nullptr) ShowHostMessage(shownFirst);
    return ReturnMessage(-1, number);
}

void CExtenderBase::ShowNote(const char* title, const char* text) { MessageBoxA(ownerWindow_, text, title, MB_OK); }

namespace {

// The FileVersion text of the library's own version resource, read from the
// loaded module (the block GetFileVersionInfoA would read by opening and
// mapping the file again: that cost most of the host's start-up under Wine),
// as a version number; fallback when there is none.
std::int32_t OwnFileVersion(std::int32_t fallback) {
    const HRSRC found = FindResourceW(theModule, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));
    const HGLOBAL loaded = found != nullptr ? LoadResource(theModule, found) : nullptr;
    const void* resource = loaded != nullptr ? LockResource(loaded) : nullptr;
    const DWORD size = found != nullptr ? SizeofResource(theModule, found) : 0;
    if (resource == nullptr || size == 0) return fallback;
    // A copy, as the version functions expect a block of the caller's; on
    // the stack, so the host's first question allocates nothing (a version
    // resource is about a kilobyte).
    alignas(DWORD) char stackBlock[8192];
    std::vector<char> heapBlock;
    char* const block = size <= sizeof stackBlock ? stackBlock : (heapBlock.resize(size), heapBlock.data());
    std::memcpy(block, resource, size);

    unsigned language = 1033, codePage = 1200;
    void* translation = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block, L"\\VarFileInfo\\Translation", &translation, &length) && length >= 4) {
        DWORD pair;
        std::memcpy(&pair, translation, sizeof pair);
        language = LOWORD(pair);
        codePage = HIWORD(pair);
    }
    wchar_t subBlock[64];
    std::swprintf(subBlock, 64, L"\\StringFileInfo\\%04x%04x\\FileVersion", language, codePage);
    void* value = nullptr;
    if (!VerQueryValueW(block, subBlock, &value, &length) || value == nullptr) return fallback;
    char text[64] = {};
    WideCharToMultiByte(CP_ACP, 0, static_cast<const wchar_t*>(value), -1, text, sizeof text - 1, nullptr, nullptr);
    return VersionNumber(text, fallback);
}

}  // namespace

std::int32_t CExtenderBase::QueryVersion(char* buffer, std::int32_t size) {
    if (buffer != nullptr && size > 0) {
        LoadLocalizedString(101, displayName_, sizeof displayName_);
        lstrcpynA(buffer, displayName_, size < 260 ? size : 260);
    }
    ModuleBaseName(baseName_);

    return OwnFileVersion(10001);
}

}  // namespace vantor
