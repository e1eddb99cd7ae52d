// Functions of the system libraries the program needs only now and then: COM and the shell
// for shortcuts and documents, the common controls for the folder tree. They are found on
// first use; loading those libraries with the program cost a tenth of its start-up under
// Wine, and most runs never call them before the wizard is up.
#pragma once

#ifdef _WIN32

namespace platform {

// The address of `name` in the system library `library` (from the system folder only, never
// from the folder the program was started from), loaded on first use; null when either is
// missing.
void* SystemFunction(const wchar_t* library, const char* name);

template <class Function>
Function* SystemFunctionAs(const wchar_t* library, const char* name) {
    return reinterpret_cast<Function*>(SystemFunction(library, name));
}

} // namespace platform

#endif
