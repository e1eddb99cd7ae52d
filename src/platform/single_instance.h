// The guard against a second copy of the installer: a named mutex that the first copy
// creates at start-up and holds until it ends. The native build keeps a table of the names
// held in this process instead, which is all the logic above it needs.
#pragma once

#include <memory>
#include <string>

namespace platform {

class NamedMutex {
  public:
    NamedMutex() = default;
    ~NamedMutex() { Close(); }
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Creates the mutex, initially owned, and keeps its handle (an empty name makes an
    // unnamed one). Returns false when an object of that name existed already: another copy
    // holds it. The handle is kept in that case too, for Close to release.
    [[nodiscard]] bool Create(const std::string& name);
    void Close();
    bool Held() const { return handle_ != nullptr; }

  private:
#ifdef _WIN32
    using Handle = void*; // HANDLE
#else
    using Handle = std::unique_ptr<std::string>; // the name table's entry
#endif
    Handle handle_{};
};

} // namespace platform
