// The one exception a script's error travels in, from wherever it is found
// (a core reading the script's list, the engine glue meeting a refusing
// host) up to the dispatcher's guard, which turns it into the call's error
// result. Platform-free: cores throw it too.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vantor {

// Message numbers of error results.
inline constexpr std::int32_t kSystemError = 201001;  // "20101: System error."; + c for host code c
inline constexpr std::int32_t kHostTooOld = 201040;

// An error number of the extender. The guard shows text() through the host
// when it is not empty, then delivers message `code` with status -1. A host
// operation that refuses with its code c (1 to 21) is CUserException
// HostCodeError(c).
class CUserException {
public:
    explicit CUserException(std::int32_t number) : code(number) {}
    virtual ~CUserException() = default;
    virtual const char* text() const noexcept { return ""; }

    std::int32_t code;
};

inline CUserException HostCodeError(std::int32_t hostCode) { return CUserException(kSystemError + hostCode); }

// A script's argument the library cannot use, with the text that says why:
// delivered as 201001. It is also the standard exception Standard
// (std::invalid_argument for what is no number, std::out_of_range for a
// number beyond 32 bits), so code that knows no host can catch it as such.
template <class Standard>
class ScriptArgumentError final : public Standard, public CUserException {
public:
    explicit ScriptArgumentError(const std::string& text) : Standard(text), CUserException(kSystemError) {}
    const char* text() const noexcept override { return Standard::what(); }
};

}  // namespace vantor
