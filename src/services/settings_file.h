// The settings file (setup.ini): a profile ("INI") text file in the system ANSI code page,
// with sections introduced by "[name]" lines and "key=value" lines under them. Section and
// key names match without regard to case; the program reads and writes UTF-8. A file that
// begins with the UTF-8 byte-order mark is UTF-8 throughout, as the system's profile
// functions take it; writes keep the mark and the encoding.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace services {

// True when the file's bytes begin with the UTF-8 byte-order mark: then they are UTF-8.
bool HasUtf8Mark(const std::string& text);

// A line of the file that opens a section or holds a key, as the reads take it: names and
// value in UTF-8 without the blanks around them, the value without its enclosing quotes.
struct SettingsLine {
    size_t number = 0;   // counted from 1
    std::string section; // the section the line opens or lies in ("" before the first)
    std::string key;     // empty on a section's header line
    std::string value;
};

// A thin file object that holds the file name. Unless told to keep its reads, nothing is
// cached: every read looks at the file as it is now. Every write reads the file as it is now
// and replaces the whole file in one step, so a failed write leaves the old file exactly as it
// was. Lines a write does not touch keep their bytes, comments and blank lines included.
class SettingsFile {
  public:
    // A read gives at most this many characters, as a 2048-byte profile buffer would.
    static constexpr size_t kMaxValueLength = 2047;

    explicit SettingsFile(std::string file_name) : file_name_(std::move(file_name)) {}

    const std::string& FileName() const { return file_name_; }

    // While set, the first read takes the file in and the reads after it are answered from
    // that, up to the next write through this object, whose result they then see. For a run
    // of many reads (the stored texts are restored from ~150 values) during which nobody else
    // writes the file: under Wine each opening of the file costs several server round trips.
    // Clearing it forgets what was read.
    void SetKeepsReads(bool keep);
    bool KeepsReads() const { return keeps_reads_; }

    // The value of `key` in the first section called `section`, without leading and trailing
    // blanks and then without one pair of enclosing quotes (both double or both single), cut
    // to kMaxValueLength; `default_value` when the file, the section or the key is absent.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& default_value) const;

    // Sets `key` in `section` to `value`: in place when the key exists, else after the last
    // line of its section, else in a new section at the end of the file, which is created
    // when missing. Blanks around names and value are not stored, and a value ends at its
    // first line break, so that no value can add lines of its own to the file.
    // Throws platform::Error("Unable to write to <file name>") when the file cannot be
    // written or an existing file cannot be read.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);

    // Removes the first section called `section` with all its lines. A missing file stays
    // missing; its folder must exist. Fails as WriteString does.
    void EraseSection(const std::string& section);

    // The lines that open a section or hold a key, in the file's order, for a tool that checks
    // the file line by line; none when the file cannot be read.
    std::vector<SettingsLine> NamedLines() const;

  private:
    struct Content;
    // The file's content as the reads see it: kept while KeepsReads, else read anew.
    std::shared_ptr<const Content> ContentForRead() const;
    void Keep(std::string text);

    std::string file_name_;
    bool keeps_reads_ = false;
    mutable std::shared_ptr<Content> kept_;
};

} // namespace services
