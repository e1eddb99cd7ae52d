#include "platform/shell_link.h"

#ifdef _WIN32
#include <windows.h>
// windows.h first: the shell headers need its types.
#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <cstdio>
#include <memory>

#include "platform/code_page.h"
#include "platform/error.h"
#include "platform/folders.h"
#include "platform/system_library.h"
#else
#include <fstream>
#endif

namespace platform {

#ifdef _WIN32

namespace {

struct Releaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <class Interface>
using ComRef = std::unique_ptr<Interface, Releaser>;

struct ShellLinkObject {
    ComRef<IShellLinkW> link;
    ComRef<IPersistFile> file;
};

[[noreturn]] void RaiseOleError(HRESULT result) {
    std::string text = SystemErrorText(static_cast<unsigned long>(result));
    if (text.empty()) {
        char code[32];
        std::snprintf(code, sizeof code, "OLE error %.8lx", static_cast<unsigned long>(result));
        text = code;
    }
    throw Error(text);
}

thread_local ComApartment* t_apartment = nullptr;

// A new shell link object with the two interfaces we use; relies on the caller's apartment.
ShellLinkObject CreateShellLinkObject() {
    EnsureThreadApartment();
    static auto* const create =
        SystemFunctionAs<decltype(CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
    if (!create) RaiseOleError(REGDB_E_CLASSNOTREG);
    IUnknown* raw = nullptr;
    const HRESULT result =
        create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
               reinterpret_cast<void**>(&raw));
    if (FAILED(result)) RaiseOleError(result);
    ComRef<IUnknown> unknown(raw);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    unknown->QueryInterface(IID_IShellLinkW, reinterpret_cast<void**>(&link));
    unknown->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    ShellLinkObject object{ComRef<IShellLinkW>(link), ComRef<IPersistFile>(file)};
    if (!object.link || !object.file) throw Error("Interface not supported");
    return object;
}

} // namespace

ComApartment::ComApartment() : outer_(t_apartment) {
    t_apartment = this;
}

ComApartment::~ComApartment() {
    t_apartment = outer_;
    if (!initialized_) return;
    static auto* const uninitialize =
        SystemFunctionAs<decltype(CoUninitialize)>(L"ole32.dll", "CoUninitialize");
    uninitialize();
}

bool ComApartment::Initialize() {
    if (!tried_) {
        tried_ = true;
        static auto* const initialize =
            SystemFunctionAs<decltype(CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
        initialized_ = initialize && SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
    }
    return initialized_;
}

void EnsureThreadApartment() {
    // Without COM the first link object fails to be made, and that failure is reported.
    if (t_apartment) (void)t_apartment->Initialize();
}

bool SaveShellLink(const ShellLinkFields& fields, const std::string& file) {
    ShellLinkObject object = CreateShellLinkObject();
    return SUCCEEDED(object.link->SetPath(Widen(fields.target).c_str())) &&
           SUCCEEDED(object.link->SetWorkingDirectory(Widen(fields.working_folder).c_str())) &&
           SUCCEEDED(object.file->Save(Widen(file).c_str(), FALSE));
}

std::optional<ShellLinkFields> LoadShellLink(const std::string& file) {
    ShellLinkObject object = CreateShellLinkObject();
    if (FAILED(object.file->Load(Widen(file).c_str(), STGM_READ))) return std::nullopt;
    wchar_t target[MAX_PATH * 4] = {};
    wchar_t folder[MAX_PATH * 4] = {};
    if (FAILED(object.link->GetPath(target, MAX_PATH * 4, nullptr, SLGP_RAWPATH)) ||
        FAILED(object.link->GetWorkingDirectory(folder, MAX_PATH * 4)))
        return std::nullopt;
    return ShellLinkFields{Narrow(target), Narrow(folder)};
}

#else

namespace {
const char kHeader[] = "[orvo shell link]";
const char kTargetKey[] = "Target=";
const char kFolderKey[] = "WorkingDirectory=";
} // namespace

ComApartment::ComApartment() = default;
ComApartment::~ComApartment() = default;
bool ComApartment::Initialize() {
    return true;
}
void EnsureThreadApartment() {}

bool SaveShellLink(const ShellLinkFields& fields, const std::string& file) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << kHeader << '\n'
        << kTargetKey << fields.target << '\n'
        << kFolderKey << fields.working_folder << '\n';
    out.close();
    return !out.fail();
}

std::optional<ShellLinkFields> LoadShellLink(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kHeader) return std::nullopt;
    ShellLinkFields fields;
    while (std::getline(in, line)) {
        if (line.rfind(kTargetKey, 0) == 0) fields.target = line.substr(sizeof kTargetKey - 1);
        if (line.rfind(kFolderKey, 0) == 0)
            fields.working_folder = line.substr(sizeof kFolderKey - 1);
    }
    return fields;
}

#endif

} // namespace platform
