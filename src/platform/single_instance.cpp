#include "platform/single_instance.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/code_page.h"
#else
#include <map>
#include <mutex>
#endif

namespace platform {

#ifdef _WIN32

bool NamedMutex::Create(const std::string& name) {
    Close();
    const std::wstring wide = Widen(name);
    handle_ = CreateMutexW(nullptr, TRUE, name.empty() ? nullptr : wide.c_str());
    // Read at once: the error code belongs to the call just made.
    return GetLastError() != ERROR_ALREADY_EXISTS;
}

void NamedMutex::Close() {
    if (handle_) CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
}

#else

namespace {

// Names with the number of handles open on them, as the system counts for a named object.
struct NameTable {
    std::mutex lock;
    std::map<std::string, int> open;
};

NameTable& Names() {
    static NameTable table;
    return table;
}

} // namespace

bool NamedMutex::Create(const std::string& name) {
    Close();
    NameTable& table = Names();
    std::lock_guard<std::mutex> hold(table.lock);
    if (name.empty()) {
        // Unnamed: nobody else can open it. A private entry keeps Held() true.
        handle_ = std::make_unique<std::string>();
        return true;
    }
    auto entry = table.open.try_emplace(name, 0).first;
    const bool existed = entry->second > 0;
    ++entry->second;
    handle_ = std::make_unique<std::string>(name);
    return !existed;
}

void NamedMutex::Close() {
    if (!handle_) return;
    const std::unique_ptr<std::string> name = std::move(handle_);
    NameTable& table = Names();
    std::lock_guard<std::mutex> hold(table.lock);
    auto entry = table.open.find(*name);
    if (!name->empty() && entry != table.open.end() && --entry->second == 0)
        table.open.erase(entry);
}

#endif

} // namespace platform
