#include "platform/registry.h"

#include <utility>

#include "platform/error.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/code_page.h"
#else
#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <mutex>
#include <vector>
#endif

namespace platform {
namespace {

[[noreturn]] void RaiseInvalidType(const std::string& name) {
    throw Error("Invalid data type for '" + name + "'");
}

} // namespace

RegistryKey::RegistryKey() = default;

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : handle_(std::exchange(other.handle_, Handle{})) {}

RegistryKey::~RegistryKey() {
    Close();
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        Close();
        std::swap(handle_, other.handle_);
    }
    return *this;
}

#ifdef _WIN32

namespace {

// The W functions want paths relative to the root key, without the leading backslash.
std::string Relative(const std::string& path) {
    return !path.empty() && path[0] == '\\' ? path.substr(1) : path;
}

HKEY RootHandle(RegistryRoot root) {
    return root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

} // namespace

bool RegistryKey::Open(RegistryRoot root, const std::string& path, bool writable) {
    Close();
    HKEY key = nullptr;
    const REGSAM access = writable ? KEY_READ | KEY_WRITE : KEY_READ;
    if (RegOpenKeyExW(RootHandle(root), Widen(Relative(path)).c_str(), 0, access, &key) !=
        ERROR_SUCCESS)
        return false;
    handle_ = key;
    return true;
}

bool RegistryKey::Create(RegistryRoot root, const std::string& path) {
    Close();
    HKEY key = nullptr;
    if (RegCreateKeyExW(RootHandle(root), Widen(Relative(path)).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    handle_ = key;
    return true;
}

void RegistryKey::Close() {
    if (handle_) RegCloseKey(static_cast<HKEY>(handle_));
    handle_ = nullptr;
}

std::string RegistryKey::ReadString(const std::string& name) const {
    if (!handle_) return std::string();
    const HKEY key = static_cast<HKEY>(handle_);
    const std::wstring wide_name = Widen(name);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, wide_name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        size == 0)
        return std::string();
    // The value may grow between asking for its size and reading it; then ask again.
    std::wstring data;
    LONG rc = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 4 && rc == ERROR_MORE_DATA; ++attempt) {
        // One spare character, so that data stored without its terminating zero still ends.
        data.assign(size / sizeof(wchar_t) + 2, L'\0');
        rc = RegQueryValueExW(key, wide_name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(&data[0]), &size);
    }
    if (rc != ERROR_SUCCESS) return std::string();
    if (type != REG_SZ && type != REG_EXPAND_SZ) RaiseInvalidType(name);
    data.resize(data.find(L'\0'));
    return Narrow(data);
}

bool RegistryKey::WriteString(const std::string& name, const std::string& value, bool expandable) {
    const std::wstring wide = Widen(value);
    const DWORD bytes = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
    return handle_ &&
           RegSetValueExW(static_cast<HKEY>(handle_), Widen(name).c_str(), 0,
                          expandable ? REG_EXPAND_SZ : REG_SZ,
                          reinterpret_cast<const BYTE*>(wide.c_str()), bytes) == ERROR_SUCCESS;
}

bool RegistryKey::WriteDword(const std::string& name, uint32_t value) {
    const DWORD data = value;
    return handle_ &&
           RegSetValueExW(static_cast<HKEY>(handle_), Widen(name).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}

bool DeleteRegistryTree(RegistryRoot root, const std::string& path) {
    // Nothing but backslashes would name the root key itself.
    if (path.find_first_not_of('\\') == std::string::npos) return false;
    const LONG rc = RegDeleteTreeW(RootHandle(root), Widen(Relative(path)).c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

#else

// The native stand-in: a tree of keys per root, shared by the whole process like the
// real registry. Names compare without regard to ASCII case, as Windows compares them.
namespace {

struct NoCase {
    bool operator()(const std::string& a, const std::string& b) const {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
    }
};

struct MemoryValue {
    bool text = false; // plain or expandable string; otherwise some other type
    std::string data;
};

struct MemoryKey {
    std::map<std::string, std::shared_ptr<MemoryKey>, NoCase> subkeys;
    std::map<std::string, MemoryValue, NoCase> values;
    bool deleted = false; // writes through a handle to a deleted key fail, as on Windows
};

std::mutex g_registry_mutex;

std::shared_ptr<MemoryKey>& RootKey(RegistryRoot root) {
    static std::shared_ptr<MemoryKey> roots[2] = {std::make_shared<MemoryKey>(),
                                                  std::make_shared<MemoryKey>()};
    return roots[root == RegistryRoot::CurrentUser ? 0 : 1];
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Finds (or, with create, makes) the key at the path; null when it is missing.
std::shared_ptr<MemoryKey> Walk(RegistryRoot root, const std::vector<std::string>& parts,
                                bool create) {
    std::shared_ptr<MemoryKey> key = RootKey(root);
    for (const std::string& part : parts) {
        auto it = key->subkeys.find(part);
        if (it == key->subkeys.end()) {
            if (!create) return nullptr;
            it = key->subkeys.emplace(part, std::make_shared<MemoryKey>()).first;
        }
        key = it->second;
    }
    return key;
}

void MarkDeleted(MemoryKey& key) {
    key.deleted = true;
    for (auto& sub : key.subkeys) MarkDeleted(*sub.second);
}

} // namespace

struct MemoryKeyHandle {
    std::shared_ptr<MemoryKey> key;
    bool writable;
};

namespace {

// The key behind an open handle that may be written to; null when it may not.
MemoryKey* Writable(const MemoryKeyHandle* open) {
    return open && open->writable && !open->key->deleted ? open->key.get() : nullptr;
}

} // namespace

bool RegistryKey::Open(RegistryRoot root, const std::string& path, bool writable) {
    Close();
    std::lock_guard<std::mutex> lock(g_registry_mutex);
    std::shared_ptr<MemoryKey> key = Walk(root, SplitPath(path), false);
    if (!key) return false;
    handle_ = std::make_unique<MemoryKeyHandle>(MemoryKeyHandle{std::move(key), writable});
    return true;
}

bool RegistryKey::Create(RegistryRoot root, const std::string& path) {
    Close();
    std::lock_guard<std::mutex> lock(g_registry_mutex);
    handle_ =
        std::make_unique<MemoryKeyHandle>(MemoryKeyHandle{Walk(root, SplitPath(path), true), true});
    return true;
}

void RegistryKey::Close() {
    handle_.reset();
}

std::string RegistryKey::ReadString(const std::string& name) const {
    if (!handle_) return std::string();
    std::lock_guard<std::mutex> lock(g_registry_mutex);
    const MemoryKey& key = *handle_->key;
    auto it = key.values.find(name);
    if (it == key.values.end() || it->second.data.empty()) return std::string();
    if (!it->second.text) RaiseInvalidType(name);
    const std::string& data = it->second.data;
    return data.substr(0, data.find('\0'));
}

bool RegistryKey::WriteString(const std::string& name, const std::string& value,
                              bool /*expandable*/) {
    std::lock_guard<std::mutex> lock(g_registry_mutex);
    MemoryKey* key = Writable(handle_.get());
    if (!key) return false;
    // Stored with its terminating zero, so that an empty string still has data.
    key->values[name] = MemoryValue{true, value + '\0'};
    return true;
}

bool RegistryKey::WriteDword(const std::string& name, uint32_t value) {
    std::lock_guard<std::mutex> lock(g_registry_mutex);
    MemoryKey* key = Writable(handle_.get());
    if (!key) return false;
    key->values[name] =
        MemoryValue{false, std::string(reinterpret_cast<char*>(&value), sizeof value)};
    return true;
}

bool DeleteRegistryTree(RegistryRoot root, const std::string& path) {
    std::vector<std::string> parts = SplitPath(path);
    if (parts.empty()) return false;
    std::lock_guard<std::mutex> lock(g_registry_mutex);
    const std::string last = parts.back();
    parts.pop_back();
    std::shared_ptr<MemoryKey> parent = Walk(root, parts, false);
    if (!parent) return true;
    auto it = parent->subkeys.find(last);
    if (it == parent->subkeys.end()) return true;
    MarkDeleted(*it->second);
    parent->subkeys.erase(it);
    return true;
}

#endif

} // namespace platform
