// The settings component of the main window: which file and section it keeps its values in,
// and the named values (product name, version, folders, ...) that the installer reads during
// start-up and writes back when the window closes.
#pragma once

#include <string>
#include <utility>

#include "services/settings_file.h"

namespace services {

class FormStorage {
  public:
    const std::string& IniFileName() const { return ini_file_name_; }
    void SetIniFileName(std::string file_name) { ini_file_name_ = std::move(file_name); }
    const std::string& IniSection() const { return ini_section_; }
    void SetIniSection(std::string section) { ini_section_ = std::move(section); }

    // Named values: keys in the section IniSection.
    std::string ReadNamedString(const std::string& key, const std::string& default_value) const;
    void WriteNamedString(const std::string& key, const std::string& value);
    int ReadNamedInteger(const std::string& key, int default_value) const;
    void WriteNamedInteger(const std::string& key, int value);

    // The accesses everything stored goes through, in any section. Text is written with
    // ProtectQuotes, so what is read back is what was written; integers in decimal.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& default_value) const;
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    // The stored text as a signed 32-bit number: "0x1A" and "$1A" are hexadecimal, anything
    // else decimal; `default_value` when absent or not a number.
    int ReadInteger(const std::string& section, const std::string& key, int default_value) const;
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);
    void EraseSection(const std::string& section);

    // The save and restore runs open one file object for the whole run and hand it in here;
    // while it is set every access uses it, otherwise each access opens one for itself.
    // The caller keeps the object alive until it sets null again.
    void SetRunFile(SettingsFile* file) { run_file_ = file; }
    SettingsFile* RunFile() const { return run_file_; }

    // The reader removes one pair of enclosing quotes, so a text that starts and ends with
    // the same quote character is stored inside one more pair of double quotes.
    static std::string ProtectQuotes(const std::string& text);

  private:
    template <typename Access>
    auto WithFile(Access access) const;

    std::string ini_file_name_ = "setup.ini";
    std::string ini_section_ = "ALL";
    SettingsFile* run_file_ = nullptr;
};

} // namespace services
