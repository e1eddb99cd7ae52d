// The settings component of the main window: which file and section it keeps its values in,
// the named values (product name, version, folders, ...) that the installer reads during
// start-up and writes back when the window closes, and the save and restore runs that keep the
// window's placement and its stored texts in the same file.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "services/settings_file.h"
#include "services/stored_properties.h"
#include "services/stored_property_host.h"
#include "services/window_placement.h"

namespace services {

class FormStorage {
  public:
    using Event = std::function<void(FormStorage& sender)>;

    FormStorage() = default;
    ~FormStorage() { Detach(); }
    FormStorage(const FormStorage&) = delete;
    FormStorage& operator=(const FormStorage&) = delete;

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
    // The section of a list property's lines: IniSection, ".", the key.
    std::string ListSection(const std::string& key) const { return ini_section_ + "." + key; }

    // The save and restore runs open one file object for the whole run and hand it in here;
    // while it is set every access uses it, otherwise each access opens one for itself.
    // The caller keeps the object alive until it sets null again.
    void SetRunFile(SettingsFile* file) { run_file_ = file; }
    SettingsFile* RunFile() const { return run_file_; }

    // The reader removes one pair of enclosing quotes, so a text that starts and ends with
    // the same quote character is stored inside one more pair of double quotes.
    static std::string ProtectQuotes(const std::string& text);
    // A stored number: decimal, "$1A" or "0x1A"; `default_value` when it is none.
    static int ToInteger(const std::string& text, int default_value);

    // --- Save and restore runs ----------------------------------------------------------------

    // Entries "Component.Property" of the texts to keep; see stored_properties.h.
    const std::vector<std::string>& StoredProps() const { return stored_props_; }
    void SetStoredProps(std::vector<std::string> entries);
    const PlacementOptions& Options() const { return options_; }
    void SetOptions(const PlacementOptions& options) { options_ = options; }
    // Runs happen only while active.
    bool Active() const { return active_; }
    void SetActive(bool active) { active_ = active; }
    // A file whose "FormVersion" is lower is not restored from (but saved to).
    int Version() const { return version_; }
    void SetVersion(int version) { version_ = version; }
    // Fired at the end of every save run, with the run's file open: the place to write the
    // named values.
    void SetOnSavePlacement(Event handler) { on_save_placement_ = std::move(handler); }
    // Fired after every restore run that passed the version check.
    void SetOnRestorePlacement(Event handler) { on_restore_placement_ = std::move(handler); }

    // Binds the stored properties to the window's components and takes over its shown,
    // close-requested and destroyed events, keeping the window's own handlers, which must be
    // in place by then. The window must outlive the attachment.
    void Attach(StoredPropertyHost& host);
    // Gives the window its own handlers back.
    void Detach();

    // Writes "FormVersion", the placement, the stored properties, then fires OnSavePlacement,
    // all through one file object. Does nothing while active and not yet restored: a window
    // that was never shown has nothing to say. A failed write ends the run with its error.
    void SaveSettings();
    // Restores placement and stored properties when the file's "FormVersion" is at least
    // Version, then fires OnRestorePlacement.
    void RestoreSettings();

    bool Restored() const { return restored_; } // by every restore run
    // The stored texts the last restore run passed over, with why (for the log).
    const std::vector<std::string>& RestoreProblems() const { return restore_problems_; }
    bool Saved() const { return saved_; } // by every save run to its end; a restore clears it
    bool Destroying() const { return destroying_; } // while the destroyed event saves

  private:
    template <typename Access>
    auto WithFile(Access access) const;

    void HandleShown();
    void HandleCloseRequested(bool& can_close);
    void HandleDestroyed();
    // A save run for an event: its error goes to the error box, and the window goes on.
    void SaveForEvent();
    void ShowError(const std::exception& error);

    std::string ini_file_name_ = "setup.ini";
    std::string ini_section_ = "ALL";
    SettingsFile* run_file_ = nullptr;

    std::vector<std::string> stored_props_;
    StoredProperties stored_;
    PlacementOptions options_;
    bool active_ = true;
    int version_ = 0;
    Event on_save_placement_;
    Event on_restore_placement_;

    StoredPropertyHost* host_ = nullptr;
    WindowEvents window_handlers_; // the window's own, called from ours

    bool restored_ = false;
    std::vector<std::string> restore_problems_;
    bool saved_ = false;
    bool destroying_ = false;
    // The last save run failed and its error was shown: the destroyed event does not try
    // again, which would only show the same error twice.
    bool save_failed_ = false;
};

// The text of the application's error box for an error message: a message that ends in a
// letter or a digit (any character sorting after ".") gets a full stop.
std::string ErrorBoxText(const std::string& message);

} // namespace services
