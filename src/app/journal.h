// What one installation run changed on the machine, in the order it happened. A failed run
// takes it back newest first; a completed run keeps it as the uninstall manifest, so the
// uninstall removes what the installation made and nothing else.
#pragma once

#include <string>
#include <vector>

namespace app {

class Journal {
  public:
    enum class Kind : char {
        Folder = 'D',   // a folder the run created
        File = 'F',     // a file the run wrote
        Shortcut = 'L', // a shortcut file the run wrote
    };
    struct Entry {
        Kind kind;
        std::string path;
        std::string backup;   // the file that was at path before the run, set aside; or empty
        bool removed = false; // the run removed the file (kept aside until it completes)
    };

    void NoteFolder(const std::string& path) { entries_.push_back({Kind::Folder, path, {}}); }
    void NoteFile(const std::string& path) { entries_.push_back({Kind::File, path, {}}); }
    void NoteShortcut(const std::string& path) { entries_.push_back({Kind::Shortcut, path, {}}); }

    // Moves the existing file at path to `backup` before the run writes a file of `kind`
    // there, and notes that file. False, with nothing changed, when it cannot be moved (or a
    // file is at `backup`).
    [[nodiscard]] bool SetAside(const std::string& path, Kind kind, const std::string& backup);
    // Moves aside a file the run removes (one an earlier version installed that this one no
    // longer has): put back by Rollback, deleted by Commit, never in the manifest.
    [[nodiscard]] bool SetAsideForRemoval(const std::string& path, Kind kind,
                                          const std::string& backup);

    // Takes every change back, newest first: what the run created is deleted, what it set
    // aside is put back. Returns the paths that could not be restored or removed (a folder
    // that holds something the run did not make stays, and is not among them).
    std::vector<std::string> Rollback();
    // The run completed: what was set aside is deleted; the files written over it count as
    // the installation's own.
    void Commit();

    const std::vector<Entry>& Entries() const { return entries_; }
    bool Empty() const { return entries_.empty(); }

    // The manifest: one entry a line, its kind's letter, a space and the path; UTF-8. Entries
    // of removed files are left out.
    std::string ManifestText() const { return ManifestTextOf(entries_); }
    static std::string ManifestTextOf(const std::vector<Entry>& entries);
    // The entries of a manifest; false when the text is not one (then `entries` is left empty).
    static bool ParseManifest(const std::string& text, std::vector<Entry>& entries);

  private:
    std::vector<Entry> entries_;
};

} // namespace app
