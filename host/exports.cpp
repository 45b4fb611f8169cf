// The two exports the host finds by name, and the DLL entry point.
#include "host/language.h"
#include "host/vantor.h"

namespace vantor {

constinit CVantor theExtender;

namespace {
constinit CExtenderBase* const extender = &theExtender;
}

}  // namespace vantor

extern "C" {

// Exported as "_KELExtenderQuery@12" (ordinal 2).
std::int32_t __stdcall KELExtenderQuery(std::int32_t type, void* values, std::int32_t count) {
    return vantor::extender->Query(type, values, count);
}

// Exported as "_KELExtender2@40" (ordinal 1).
std::int32_t __stdcall KELExtender2(HWND ownerWindow, HINSTANCE hostInstance, std::uint32_t hostContext,
                                    std::int32_t index, vantor::ResultCallback resultCallback,
                                    vantor::HostServices* hostServices, std::int32_t reserved, void* args,
                                    std::int32_t argCount, vantor::ValueCell* result) {
    return vantor::extender->Dispatch(ownerWindow, hostInstance, hostContext, index, resultCallback, hostServices,
                                      reserved, args, argCount, result);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) vantor::theModule = instance;
    return TRUE;
}

}  // extern "C"
