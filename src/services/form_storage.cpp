#include "services/form_storage.h"

#include <cstdint>
#include <optional>

namespace services {
namespace {

int DigitValue(char c, int base) {
    int value = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                       : 99;
    return value < base ? value : -1;
}

// A signed whole number: an optional sign, then decimal digits or "$" and hexadecimal digits.
// Decimal must lie in the 32-bit range; hexadecimal fills the 32 bits as they are (so
// $FFFFFFFF is -1) and a minus sign negates that.
std::optional<int32_t> ParseInteger(const std::string& text) {
    size_t at = 0;
    bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
    int base = 10;
    if (at < text.size() && text[at] == '$') {
        base = 16;
        ++at;
    }
    if (at == text.size()) return std::nullopt;
    const uint64_t limit = base == 16 ? 0xFFFFFFFFu : negative ? 0x80000000u : 0x7FFFFFFFu;
    uint64_t value = 0;
    for (; at < text.size(); ++at) {
        int digit = DigitValue(text[at], base);
        if (digit < 0) return std::nullopt;
        value = value * base + static_cast<uint64_t>(digit);
        if (value > limit) return std::nullopt;
    }
    uint32_t bits = static_cast<uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<int32_t>(bits);
}

// The one file object of a save or restore run, handed to every access while the run lasts.
// It reads the file once for the whole run: a restore run reads every stored text.
class RunFileScope {
  public:
    explicit RunFileScope(FormStorage& storage)
        : storage_(storage), file_(storage.IniFileName()), previous_(storage.RunFile()) {
        file_.SetKeepsReads(true);
        storage_.SetRunFile(&file_);
    }
    ~RunFileScope() { storage_.SetRunFile(previous_); }
    RunFileScope(const RunFileScope&) = delete;
    RunFileScope& operator=(const RunFileScope&) = delete;

  private:
    FormStorage& storage_;
    SettingsFile file_;
    SettingsFile* previous_;
};

// Sets a flag for as long as it lives.
class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
};

} // namespace

std::string ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

template <typename Access>
auto FormStorage::WithFile(Access access) const {
    if (run_file_) return access(*run_file_);
    SettingsFile own(ini_file_name_);
    return access(own);
}

std::string FormStorage::ProtectQuotes(const std::string& text) {
    if (!text.empty() && text.front() == text.back() &&
        (text.front() == '"' || text.front() == '\''))
        return '"' + text + '"';
    return text;
}

std::string FormStorage::ReadString(const std::string& section, const std::string& key,
                                    const std::string& default_value) const {
    return WithFile(
        [&](SettingsFile& file) { return file.ReadString(section, key, default_value); });
}

void FormStorage::WriteString(const std::string& section, const std::string& key,
                              const std::string& value) {
    WithFile([&](SettingsFile& file) { file.WriteString(section, key, ProtectQuotes(value)); });
}

int FormStorage::ToInteger(const std::string& text, int default_value) {
    // "0x1A" is the C spelling of "$1A"; "0x" alone is no number at all.
    const bool c_hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    std::optional<int32_t> value = ParseInteger(c_hex ? "$" + text.substr(2) : text);
    return value ? *value : default_value;
}

int FormStorage::ReadInteger(const std::string& section, const std::string& key,
                             int default_value) const {
    return ToInteger(ReadString(section, key, ""), default_value);
}

void FormStorage::WriteInteger(const std::string& section, const std::string& key, int value) {
    WithFile([&](SettingsFile& file) { file.WriteString(section, key, std::to_string(value)); });
}

void FormStorage::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteInteger(section, key, value ? 1 : 0);
}

void FormStorage::EraseSection(const std::string& section) {
    WithFile([&](SettingsFile& file) { file.EraseSection(section); });
}

std::string FormStorage::ReadNamedString(const std::string& key,
                                         const std::string& default_value) const {
    return ReadString(ini_section_, key, default_value);
}

void FormStorage::WriteNamedString(const std::string& key, const std::string& value) {
    WriteString(ini_section_, key, value);
}

int FormStorage::ReadNamedInteger(const std::string& key, int default_value) const {
    return ReadInteger(ini_section_, key, default_value);
}

void FormStorage::WriteNamedInteger(const std::string& key, int value) {
    WriteInteger(ini_section_, key, value);
}

void FormStorage::SetStoredProps(std::vector<std::string> entries) {
    stored_props_ = std::move(entries);
    if (host_) stored_.Prepare(stored_props_, *host_);
}

void FormStorage::Attach(StoredPropertyHost& host) {
    Detach();
    host_ = &host;
    stored_.Prepare(stored_props_, host);
    WindowEvents& events = host.Events();
    window_handlers_ = events;
    events.shown = [this] { HandleShown(); };
    events.close_requested = [this](bool& can_close) { HandleCloseRequested(can_close); };
    events.destroyed = [this] { HandleDestroyed(); };
}

void FormStorage::Detach() {
    if (!host_) return;
    host_->Events() = window_handlers_;
    window_handlers_ = WindowEvents{};
    host_ = nullptr;
}

void FormStorage::SaveSettings() {
    if (!restored_ && active_) return;
    RunFileScope run(*this);
    if (host_) stored_props_ = stored_.Rebuild(*host_);
    WriteInteger(ini_section_, "FormVersion", version_);
    if (host_) {
        SavePlacement(*this, *host_, options_, destroying_);
        stored_.Save(*this, *host_);
    }
    if (on_save_placement_) on_save_placement_(*this);
    saved_ = true;
    save_failed_ = false;
}

void FormStorage::RestoreSettings() {
    saved_ = false;
    save_failed_ = false;
    {
        RunFileScope run(*this);
        if (host_) stored_props_ = stored_.Rebuild(*host_);
        if (ReadInteger(ini_section_, "FormVersion", 0) >= version_) {
            if (host_) RestorePlacement(*this, *host_, options_);
            restored_ = true;
            // Texts the window cannot take leave it with its own; the owner hears which.
            if (host_) restore_problems_ = stored_.Restore(*this, *host_);
            if (on_restore_placement_) on_restore_placement_(*this);
        }
        restored_ = true;
    }
    if (host_ && host_->Traits().has_handle) AdjustMaximizedPosition(*host_);
}

void FormStorage::ShowError(const std::exception& error) {
    if (host_) host_->ShowErrorBox(ErrorBoxText(error.what()));
}

void FormStorage::SaveForEvent() {
    try {
        SaveSettings();
    } catch (const std::exception& error) {
        save_failed_ = true;
        ShowError(error);
    }
}

void FormStorage::HandleShown() {
    // The window is shown whatever the restore run met.
    if (active_) {
        try {
            RestoreSettings();
        } catch (const std::exception& error) {
            ShowError(error);
        }
    }
    if (window_handlers_.shown) window_handlers_.shown();
}

void FormStorage::HandleCloseRequested(bool& can_close) {
    if (window_handlers_.close_requested) window_handlers_.close_requested(can_close);
    if (can_close && active_ && host_ && host_->Traits().has_handle) SaveForEvent();
}

void FormStorage::HandleDestroyed() {
    if (active_ && !saved_ && !save_failed_) {
        FlagScope destroying(destroying_);
        SaveForEvent();
    }
    if (window_handlers_.destroyed) window_handlers_.destroyed();
}

} // namespace services
