// Functions of later Windows versions, looked up by name at run time so that
// the saver still loads where they are missing. Windows only.
#pragma once

#include "platform/WinTypes.h"

// `name` from the system library `library`, which the saver has loaded
// already; null where either is missing.
template <typename Function>
Function SystemFunction(const char* library, const char* name) {
    HMODULE module = GetModuleHandleA(library);
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}
