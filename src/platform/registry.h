// Registry access: the installation record and the special-folder lookup read and
// write string values under HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE. The Windows
// build uses the W functions; the native build keeps an in-memory registry for the
// process so that the logic above it can be tested without Windows.
//
// Key paths use backslashes between levels; a leading backslash is allowed and
// means the same as none (paths always start at the root key).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

enum class RegistryRoot { CurrentUser, LocalMachine };

// One open key, closed when the object goes or is closed.
#ifndef _WIN32
struct MemoryKeyHandle; // the native stand-in's open key
#endif

class RegistryKey {
  public:
    RegistryKey();
    ~RegistryKey();
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens an existing key for reading, or for reading and writing; never creates one.
    [[nodiscard]] bool Open(RegistryRoot root, const std::string& path, bool writable = false);
    // Opens a key for reading and writing, creating it and any missing parents.
    [[nodiscard]] bool Create(RegistryRoot root, const std::string& path);
    void Close();
    bool IsOpen() const { return handle_ != nullptr; }

    // The text of a string value (plain or expandable, unexpanded, up to its first
    // zero). Empty when no key is open, the value is missing or it has no data.
    // A value of another type raises "Invalid data type for '<name>'".
    std::string ReadString(const std::string& name) const;
    // Stores a string value; false when the registry refuses it.
    [[nodiscard]] bool WriteString(const std::string& name, const std::string& value,
                                   bool expandable = false);
    // Stores a 32-bit number (REG_DWORD); true when stored.
    [[nodiscard]] bool WriteDword(const std::string& name, uint32_t value);

  private:
#ifdef _WIN32
    using Handle = void*; // HKEY
#else
    using Handle = std::unique_ptr<MemoryKeyHandle>; // the in-memory key
#endif
    Handle handle_{};
};

// Deletes a key with all its subkeys and values. True when it is gone afterwards,
// also when it never existed. A path naming the root key itself (empty, or backslashes
// only) is refused.
[[nodiscard]] bool DeleteRegistryTree(RegistryRoot root, const std::string& path);

} // namespace platform
