#include "host/extender.h"

#include "host/core/version_number.h"
#include "host/language.h"

#include <cstdio>
#include <cstring>
#include <memory>

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

void CExtenderBase::ShowNote(const char* title, const char* text) {
    MessageBoxA(ownerWindow_, text, title, MB_OK);
}

std::int32_t CExtenderBase::QueryVersion(char* buffer, std::int32_t size) {
    if (buffer != nullptr && size > 0) {
        LoadLocalizedString(101, displayName_, sizeof displayName_);
        lstrcpynA(buffer, displayName_, size < 260 ? size : 260);
    }
    ModuleBaseName(baseName_);

    std::int32_t version = 10001;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(theModule, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD blockSize = GetFileVersionInfoSizeA(path, &ignored);
    if (blockSize != 0) {
        std::unique_ptr<char[]> block(new (std::nothrow) char[blockSize]);
        if (block && GetFileVersionInfoA(path, 0, blockSize, block.get())) {
            unsigned language = 1033, codePage = 1200;
            void* translation = nullptr;
            UINT length = 0;
            if (VerQueryValueA(block.get(), "\\VarFileInfo\\Translation", &translation, &length) &&
                length >= 4) {
                DWORD pair;
                std::memcpy(&pair, translation, sizeof pair);
                language = LOWORD(pair);
                codePage = HIWORD(pair);
            }
            char subBlock[64];
            std::snprintf(subBlock, sizeof subBlock, "\\StringFileInfo\\%04x%04x\\%s", language,
                          codePage, "FileVersion");
            void* value = nullptr;
            if (VerQueryValueA(block.get(), subBlock, &value, &length) && value != nullptr)
                version = VersionNumber(static_cast<const char*>(value), 10001);
        }
    }
    version_ = version;
    return version;
}

}  // namespace vantor
