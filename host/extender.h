// The base of the extender object the two exports forward to: the host's
// per-call pointers and the result operations a Call (host/call.h) offers
// its handler.
#pragma once

#include "host/callback_guard.h"
#include "host/core/script_error.h"
#include "host/records.h"

#include <windows.h>

#include <cstdint>
#include <exception>
#include <string>

namespace vantor {

class CExtenderBase {
public:
    // Slot 0: behind _KELExtenderQuery@12.
    virtual std::int32_t Query(std::int32_t type, void* values, std::int32_t count) = 0;
    // Slot 1: behind _KELExtender2@40.
    virtual std::int32_t Dispatch(HWND ownerWindow, HINSTANCE hostInstance, std::uint32_t hostContext,
                                  std::int32_t index, ResultCallback resultCallback, HostServices* hostServices,
                                  std::int32_t reserved, void* args, std::int32_t argCount, ValueCell* result) = 0;

    // The version number and display name (message 101) of the library;
    // records its file's base name.
    std::int32_t QueryVersion(char* buffer, std::int32_t size);
    const char* BaseName() const { return baseName_; }

    // Runs body; whatever escapes it becomes an error result, so no
    // exception ever reaches the host: CUserException c shows its text (if
    // any) and delivers c; any other standard exception (memory
    // exhaustion) shows its text and delivers 201001. The way from the
    // catch to the host allocates nothing, so it works with no memory left.
    template <class Body>
    std::int32_t Guarded(Body&& body) noexcept;

private:
    // What a Call offers its handler, and only through it: one way to end
    // a call.
    friend class Call;

    // Result operations: each fills the result cell, calls the host's
    // result callback once and returns what it returned. A handler ends
    // with exactly one of them, or with ReturnError or NoResult.
    std::int32_t ReturnInteger(std::int32_t value);
    std::int32_t ReturnString(const char* text);
    std::int32_t ReturnString(const std::string& text) { return ReturnString(text.c_str()); }
    std::int32_t ReturnCell(const ValueCell& cell);
    std::int32_t ReturnMessage(std::int32_t status, std::int32_t number);
    void ShowHostMessage(const char* text);

    // The error result: shows shownFirst through the host (when given),
    // then delivers message number with status -1. Deeper down, where no
    // result can be delivered, throw CUserException instead: the
    // dispatcher's guard delivers it the same way.
    std::int32_t ReturnError(std::int32_t number, const char* shownFirst = nullptr);
    // Ends a call without a result: the callback is not called, the result
    // cell stays as the host left it, the host gets `returned`.
    static constexpr std::int32_t NoResult(std::int32_t returned) { return returned; }
    // A note to the user: a message box with an OK button owned by the
    // host's window, titled title ("Note", "Error", ...). The call goes on
    // to its result.
    void ShowNote(const char* title, const char* text);
    // True when path opens for reading (others may read and write
    // meanwhile); otherwise notes "The specified file does not appear to be
    // available" titled "File Open Error" and gives false.
    bool CheckFileReadable(const char* path);
    // That note alone, for a file that opens but cannot be used.
    void ShowFileOpenError();

    // The host services and result cell of the current call.
    HostServices* Services() const { return hostServices_; }
    ValueCell* ResultCell() const { return resultCell_; }

protected:
    constexpr CExtenderBase() = default;
    ~CExtenderBase() = default;

    void BeginCall(HWND ownerWindow, std::uint32_t hostContext, ResultCallback callback, HostServices* services,
                   ValueCell* result) {
        ownerWindow_ = ownerWindow;
        hostContext_ = hostContext;
        resultCallback_ = callback;
        hostServices_ = services;
        resultCell_ = result;
    }

private:
    std::int32_t Deliver(std::int32_t status);

    HWND ownerWindow_ = nullptr;
    std::uint32_t hostContext_ = 0;
    ResultCallback resultCallback_ = nullptr;
    HostServices* hostServices_ = nullptr;
    ValueCell* resultCell_ = nullptr;
    char displayName_[260] = {};
    char baseName_[260] = {};
    char messageBuffer_[256] = {};
};

template <class Body>
std::int32_t CExtenderBase::Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const CUserException& e) {
        const char* text = e.text();
        return ReturnError(e.code, text != nullptr && *text != '\0' ? text : nullptr);
    } catch (const std::exception& e) {
        return ReturnError(kSystemError, e.what());
    } catch (...) {
        return ReturnError(kSystemError);
    }
}

}  // namespace vantor
