// The dispatcher: the two operations the exports forward to, for an
// extender whose table names its handlers. Each call of a script function
// becomes one Call handed to its handler, inside the guard that turns
// whatever escapes into an error result.
#pragma once

#include "host/call.h"
#include "host/callback_guard.h"
#include "host/extender.h"
#include "host/records.h"

#include <windows.h>

#include <cstdint>

namespace vantor {

// Implements both operations for the extender T, which provides its table:
// T::kEntryCount, T::HandlerAt(index) and T::Describe(entry, record).
template <class T>
class CKelExtenderT : public CExtenderBase {
public:
    static constexpr std::int32_t kInterface = 5;

    // Nothing it calls throws; were anything to, the host gets 0 (no
    // version, no interface) instead of an exception.
    std::int32_t Query(std::int32_t type, void* values, std::int32_t count) override {
        return CallbackGuard(
            [&]() -> std::int32_t {
                switch (static_cast<std::int16_t>(type)) {
                    case 1: return QueryVersion(static_cast<char*>(values), count);
                    case 2: {
                        const auto* offered = static_cast<const std::int32_t*>(values);
                        for (std::int32_t i = 0; offered != nullptr && i < count; ++i)
                            if (offered[i] == kInterface) return kInterface;
                        return -1;
                    }
                    default: return 0;
                }
            },
            [] { return std::int32_t{0}; });
    }

    std::int32_t Dispatch(HWND ownerWindow, HINSTANCE hostInstance, std::uint32_t hostContext, std::int32_t index,
                          ResultCallback resultCallback, HostServices* hostServices, std::int32_t /*reserved*/,
                          void* args, std::int32_t argCount, ValueCell* result) override {
        BeginCall(ownerWindow, hostContext, resultCallback, hostServices, result);
        const std::int16_t entry = static_cast<std::int16_t>(index);
        switch (entry) {
            case -3: return 1;
            case -1: return T::kEntryCount;
            case -2: return T::Describe(argCount, static_cast<QueryRecord*>(args));
            default: break;
        }
        const auto handler = T::HandlerAt(entry);
        if (handler == nullptr) return 0;
        T* self = static_cast<T*>(this);
        const Call call(*this, ownerWindow, hostInstance, static_cast<ValueCell*>(args), argCount);
        return Guarded([&] { return (self->*handler)(call); });
    }

protected:
    constexpr CKelExtenderT() = default;
    ~CKelExtenderT() = default;
};

}  // namespace vantor
