// One call of a script function, as the dispatcher hands it to the
// function's handler: the script's arguments (read as Arguments reads
// them, argument k counting from 1), the host's window and instance, and
// the forms the call's result takes. A handler ends with exactly one
// result form, or with NoResult.
#pragma once

#include "host/arguments.h"
#include "host/extender.h"
#include "host/records.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace vantor {

class Call : public Arguments {
public:
    Call(CExtenderBase& extender, HWND owner, HINSTANCE instance, const ValueCell* args, std::int32_t count)
        : Arguments(args, count), extender_(extender), owner_(owner), instance_(instance) {}
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    // The host's window: the owner of the notes and dialogs a call shows.
    HWND owner() const { return owner_; }
    // The host's instance: the module the controls a script creates belong to.
    HINSTANCE instance() const { return instance_; }

    // The result forms: each fills the result cell, calls the host's result
    // callback once and gives what it returned (see CExtenderBase).
    std::int32_t ReturnInteger(std::int32_t value) const { return extender_.ReturnInteger(value); }
    std::int32_t ReturnString(const char* text) const { return extender_.ReturnString(text); }
    std::int32_t ReturnString(const std::string& text) const { return extender_.ReturnString(text.c_str()); }
    std::int32_t ReturnCell(const ValueCell& cell) const { return extender_.ReturnCell(cell); }
    std::int32_t ReturnMessage(std::int32_t status, std::int32_t number) const {
        return extender_.ReturnMessage(status, number);
    }
    std::int32_t ReturnError(std::int32_t number, const char* shownFirst = nullptr) const {
        return extender_.ReturnError(number, shownFirst);
    }
    static constexpr std::int32_t NoResult(std::int32_t returned) { return CExtenderBase::NoResult(returned); }

    // What a call tells the user on the way to its result.
    void ShowHostMessage(const char* text) const { extender_.ShowHostMessage(text); }
    void ShowNote(const char* title, const char* text) const { extender_.ShowNote(title, text); }
    bool CheckFileReadable(const char* path) const { return extender_.CheckFileReadable(path); }
    void ShowFileOpenError() const { extender_.ShowFileOpenError(); }

    // The host's services and result cell of this call.
    HostServices* Services() const { return extender_.Services(); }
    ValueCell* ResultCell() const { return extender_.ResultCell(); }

private:
    CExtenderBase& extender_;
    HWND owner_;
    HINSTANCE instance_;
};

}  // namespace vantor
