#include "platform/system_library.h"

#ifdef _WIN32
#include <windows.h>

namespace platform {

void* SystemFunction(const wchar_t* library, const char* name) {
    // Kept loaded for the rest of the run, as a linked library would be.
    HMODULE module = GetModuleHandleW(library);
    if (!module) module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(module, name));
}

} // namespace platform

#endif
