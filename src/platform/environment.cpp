#include "platform/environment.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/code_page.h"
#else
#include <cstdlib>
#endif

namespace platform {

#ifdef _WIN32

std::optional<std::string> EnvironmentValue(const std::string& name) {
    const std::wstring wide_name = Widen(name);
    std::wstring value(256, L'\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD n =
            GetEnvironmentVariableW(wide_name.c_str(), &value[0], static_cast<DWORD>(value.size()));
        if (n == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::string();
        }
        // A value too long for the buffer gives its size with the terminating zero.
        if (n < value.size()) {
            value.resize(n);
            return Narrow(value);
        }
        value.assign(n, L'\0');
    }
}

bool SetEnvironmentValue(const std::string& name, const std::optional<std::string>& value) {
    return SetEnvironmentVariableW(Widen(name).c_str(), value ? Widen(*value).c_str() : nullptr) !=
           0;
}

#else

std::optional<std::string> EnvironmentValue(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (!value) return std::nullopt;
    return std::string(value);
}

bool SetEnvironmentValue(const std::string& name, const std::optional<std::string>& value) {
    return (value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str())) == 0;
}

#endif

} // namespace platform
