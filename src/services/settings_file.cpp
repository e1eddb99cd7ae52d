#include "services/settings_file.h"

#include <optional>
#include <string_view>
#include <vector>

#include "platform/code_page.h"
#include "platform/error.h"
#include "platform/file_io.h"

namespace services {
namespace {

// What the profile reader strips around names and values; Ctrl-Z is the end-of-file mark
// that old editors leave behind.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

// Shrinks [begin, end) of `text` to leave out blanks at both ends.
void TrimRange(const std::string& text, size_t& begin, size_t& end) {
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
}

std::string Trim(const std::string& text) {
    size_t begin = 0, end = text.size();
    TrimRange(text, begin, end);
    return text.substr(begin, end - begin);
}

// --- Names without regard to case ----------------------------------------------------------
// The files are in a Latin code page (1250 for the Czech texts), so besides ASCII the Latin-1
// and Latin Extended-A letters fold too: "ŽLUŤOUČKÝ" names the same section as "žluťoučký".

char32_t LowerCase(char32_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c == 0x178) return 0xFF;
    // Latin Extended-A pairs capitals with the small letter after them: on even code points
    // in these two runs, on odd ones in the other two.
    bool even_pairs =
        (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    bool odd_pairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((even_pairs && c % 2 == 0) || (odd_pairs && c % 2 == 1)) return c + 1;
    return c;
}

// Decodes UTF-8 and folds each character; a byte that starts no valid sequence stands for
// itself (shifted out of the character range), so any two texts can still be compared.
std::u32string FoldedName(const std::string& utf8) {
    std::u32string out;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char lead = static_cast<unsigned char>(utf8[i]);
        size_t length = lead < 0x80    ? 1
                        : lead >= 0xF0 ? 4
                        : lead >= 0xE0 ? 3
                        : lead >= 0xC0 ? 2
                                       : 0;
        char32_t c = length == 1 ? lead : lead & (0x3F >> length);
        bool valid = length > 0 && i + length <= utf8.size();
        for (size_t k = 1; valid && k < length; ++k) {
            unsigned char next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid) {
            out.push_back(0x110000 + lead);
            ++i;
            continue;
        }
        out.push_back(LowerCase(c));
        i += length;
    }
    return out;
}

// --- The file's encoding --------------------------------------------------------------------
// A file that begins with the UTF-8 byte-order mark (as editors save "UTF-8") holds UTF-8
// after it, as the system's profile functions take it; any other file is in the ANSI code page.

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Where the lines begin: after the mark, which belongs to no line.
size_t BodyStart(const std::string& text) {
    return HasUtf8Mark(text) ? kUtf8Mark.size() : 0;
}

// Text of the file to the program's UTF-8, and back.
std::string FromFile(const std::string& text, bool utf8) {
    return utf8 ? text : platform::AnsiToUtf8(text);
}
std::string ToFile(const std::string& text, bool utf8) {
    return utf8 ? text : platform::Utf8ToAnsi(text);
}

// --- The file as lines -----------------------------------------------------------------------

enum class LineKind { kBlank, kHeader, kKey };

// One line of the file. The text runs from begin to end; its line break, if any, up to next.
// For a header the name is the section's, for a key line the key's (the whole line when it
// has no "="): in the file's code page, without blanks around it.
struct Line {
    size_t begin = 0, end = 0, next = 0;
    LineKind kind = LineKind::kBlank;
    std::string name;
    bool has_value = false;
    size_t value_begin = 0, value_end = 0;
};

Line ParseLine(const std::string& text, size_t begin, size_t end, size_t next) {
    Line line;
    line.begin = begin;
    line.end = end;
    line.next = next;
    TrimRange(text, begin, end);
    if (begin == end) return line;
    const std::string_view content(text.data() + begin, end - begin);
    if (content.front() == '[') {
        // The name runs to the last "]", so a name may hold "]" and "[S]junk" is section S.
        size_t close = content.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            line.kind = LineKind::kHeader;
            line.name = Trim(std::string(content.substr(1, close - 1)));
            return line;
        }
    }
    line.kind = LineKind::kKey;
    size_t equals = content.find('=');
    if (equals == std::string_view::npos) {
        line.name = std::string(content);
        return line;
    }
    line.name = Trim(std::string(content.substr(0, equals)));
    line.has_value = true;
    line.value_begin = begin + equals + 1;
    line.value_end = end;
    TrimRange(text, line.value_begin, line.value_end);
    return line;
}

// A line ends at CR LF, LF or a lone CR.
std::vector<Line> ParseLines(const std::string& text) {
    std::vector<Line> lines;
    for (size_t begin = BodyStart(text); begin < text.size();) {
        // A plain scan: find_first_of calls memchr for every character, and the settings file
        // is parsed for every read outside a run and twice for every write.
        size_t end = begin;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
        size_t next = end;
        if (next < text.size()) {
            ++next;
            if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
        }
        lines.push_back(ParseLine(text, begin, end, next));
        begin = next;
    }
    return lines;
}

// The lines of one section: its header (none for the nameless section of the lines before
// the first header) and its body, from first up to, not including, end.
struct Section {
    std::optional<size_t> header;
    size_t first = 0, end = 0;
};

bool SameName(const std::string& file_name, bool utf8, const std::u32string& folded) {
    return FoldedName(FromFile(file_name, utf8)) == folded;
}

// `name` and `key` are UTF-8; the names in the file are in its encoding (`utf8` or ANSI).
std::optional<Section> FindSection(const std::vector<Line>& lines, bool utf8,
                                   const std::string& name) {
    const std::u32string wanted = FoldedName(Trim(name));
    std::optional<Section> found;
    std::optional<size_t> header; // of the section the loop is in; none before the first
    for (size_t i = 0; i <= lines.size(); ++i) {
        if (i < lines.size() && lines[i].kind != LineKind::kHeader) continue;
        // Lines [header + 1, i) or [0, i) form one section; the first of a name wins.
        bool named = header ? SameName(lines[*header].name, utf8, wanted) : wanted.empty();
        if (named) {
            found = Section{header, header ? *header + 1 : 0, i};
            break;
        }
        header = i;
    }
    return found;
}

std::optional<size_t> FindKey(const std::vector<Line>& lines, bool utf8, const Section& section,
                              const std::string& key) {
    const std::u32string wanted = FoldedName(Trim(key));
    for (size_t i = section.first; i < section.end; ++i)
        if (lines[i].kind == LineKind::kKey && SameName(lines[i].name, utf8, wanted)) return i;
    return std::nullopt;
}

// New lines end the way the file's first line does, so a file edited on Linux stays LF only.
std::string LineBreakOf(const std::string& text) {
    size_t at = text.find_first_of("\r\n");
    if (at == std::string::npos) return "\r\n";
    if (text[at] == '\n') return "\n";
    return at + 1 < text.size() && text[at + 1] == '\n' ? "\r\n" : "\r";
}

// A value stops at its first line break (and at a NUL, where a C string would): the rest
// would otherwise land in the file as lines of its own, as keys or sections nobody wrote.
std::string SingleLine(const std::string& value) {
    return value.substr(0, value.find_first_of(std::string("\r\n\0", 3)));
}

// Where the value in [begin, end) of `text` ends when cut to kMaxValueLength characters. In
// UTF-8 a character may take several bytes; none is cut in two.
size_t CutValue(const std::string& text, size_t begin, size_t end, bool utf8) {
    const size_t max = SettingsFile::kMaxValueLength;
    if (!utf8) return end - begin > max ? begin + max : end;
    size_t characters = 0;
    for (size_t at = begin; at < end; ++at) {
        const bool starts_character = (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
        if (starts_character && characters++ == max) return at;
    }
    return end;
}

// The file's bytes for an update, empty when there is no file yet (`exists` says which).
std::string LoadForUpdate(const std::string& file_name, bool* exists = nullptr) {
    std::string text;
    platform::FileRead read = platform::ReadWholeFile(file_name, text);
    // A file that exists but cannot be read must not be replaced by what we would write; in a
    // missing folder there is no file to be had, not even an empty one.
    if (read == platform::FileRead::kFailed || read == platform::FileRead::kNoFolder)
        throw platform::Error("Unable to write to " + file_name);
    if (exists) *exists = read == platform::FileRead::kOk;
    return text;
}

void Store(const std::string& file_name, const std::string& text) {
    if (!platform::ReplaceWholeFile(file_name, text))
        throw platform::Error("Unable to write to " + file_name);
}

// The value of a key line as a read gives it: without one pair of enclosing quotes, cut to
// kMaxValueLength, in UTF-8.
std::string ValueOf(const std::string& text, const Line& line, bool utf8) {
    size_t begin = line.value_begin, end = line.value_end;
    if (end - begin >= 2 && text[begin] == text[end - 1] &&
        (text[begin] == '"' || text[begin] == '\'')) {
        ++begin;
        --end;
    }
    end = CutValue(text, begin, end, utf8);
    return FromFile(text.substr(begin, end - begin), utf8);
}

} // namespace

bool HasUtf8Mark(const std::string& text) {
    return text.compare(0, kUtf8Mark.size(), kUtf8Mark) == 0;
}

struct SettingsFile::Content {
    bool readable = false; // else every read gives its default
    std::string text;
    std::vector<Line> lines;
    bool parsed = false;
};

void SettingsFile::SetKeepsReads(bool keep) {
    keeps_reads_ = keep;
    if (!keep) kept_.reset();
}

std::shared_ptr<const SettingsFile::Content> SettingsFile::ContentForRead() const {
    std::shared_ptr<Content> content = keeps_reads_ ? kept_ : nullptr;
    if (!content) {
        content = std::make_shared<Content>();
        content->readable =
            platform::ReadWholeFile(file_name_, content->text) == platform::FileRead::kOk;
        if (keeps_reads_) kept_ = content;
    }
    // Parsed when first read: a save run writes many values and reads few.
    if (content->readable && !content->parsed) {
        content->lines = ParseLines(content->text);
        content->parsed = true;
    }
    return content;
}

// What a write just stored is what the file now holds.
void SettingsFile::Keep(std::string text) {
    if (!keeps_reads_) return;
    auto content = std::make_shared<Content>();
    content->readable = true;
    content->text = std::move(text);
    kept_ = std::move(content);
}

std::string SettingsFile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& default_value) const {
    const std::shared_ptr<const Content> content = ContentForRead();
    if (!content->readable) return default_value;
    const std::string& text = content->text;
    const std::vector<Line>& lines = content->lines;
    const bool utf8 = HasUtf8Mark(text);
    std::optional<Section> found = FindSection(lines, utf8, section);
    if (!found) return default_value;
    std::optional<size_t> at = FindKey(lines, utf8, *found, key);
    if (!at || !lines[*at].has_value) return default_value;
    return ValueOf(text, lines[*at], utf8);
}

std::vector<SettingsLine> SettingsFile::NamedLines() const {
    const std::shared_ptr<const Content> content = ContentForRead();
    std::vector<SettingsLine> named;
    if (!content->readable) return named;
    const bool utf8 = HasUtf8Mark(content->text);
    std::string section;
    for (size_t i = 0; i < content->lines.size(); ++i) {
        const Line& line = content->lines[i];
        if (line.kind == LineKind::kBlank) continue;
        SettingsLine entry;
        entry.number = i + 1;
        if (line.kind == LineKind::kHeader) {
            section = FromFile(line.name, utf8);
        } else {
            entry.key = FromFile(line.name, utf8);
            if (line.has_value) entry.value = ValueOf(content->text, line, utf8);
        }
        entry.section = section;
        named.push_back(std::move(entry));
    }
    return named;
}

void SettingsFile::WriteString(const std::string& section, const std::string& key,
                               const std::string& value) {
    // A failed write may have met a file other than the one kept: it is read anew then.
    kept_.reset();
    std::string text = LoadForUpdate(file_name_);
    const std::vector<Line> lines = ParseLines(text);
    // A file with the UTF-8 mark keeps it and stays UTF-8; a new file is ANSI.
    const bool utf8 = HasUtf8Mark(text);
    const size_t body = BodyStart(text);
    const std::string line_break = LineBreakOf(text);
    const std::string section_name = Trim(SingleLine(section));
    const std::string key_name = Trim(SingleLine(key));
    const std::string stored = ToFile(Trim(SingleLine(value)), utf8);

    std::optional<Section> found = FindSection(lines, utf8, section_name);
    if (!found) {
        if (text.size() > body && text.back() != '\n' && text.back() != '\r') text += line_break;
        text += "[" + ToFile(section_name, utf8) + "]" + line_break + ToFile(key_name, utf8) + "=" +
                stored + line_break;
    } else if (std::optional<size_t> at = FindKey(lines, utf8, *found, key_name)) {
        // The key keeps the spelling it has in the file.
        const Line& line = lines[*at];
        text.replace(line.begin, line.end - line.begin, line.name + "=" + stored);
    } else {
        // After the section's last line that is not blank, so that blank lines between it and
        // the next section stay where they are.
        std::optional<size_t> last = found->header;
        for (size_t i = found->first; i < found->end; ++i)
            if (lines[i].kind != LineKind::kBlank) last = i;
        std::string entry = ToFile(key_name, utf8) + "=" + stored + line_break;
        if (!last) {
            text.insert(body, entry);
        } else if (lines[*last].next > lines[*last].end) {
            text.insert(lines[*last].next, entry);
        } else {
            text.insert(lines[*last].end, line_break + entry);
        }
    }
    Store(file_name_, text);
    Keep(std::move(text));
}

void SettingsFile::EraseSection(const std::string& section) {
    kept_.reset();
    bool exists = false;
    std::string text = LoadForUpdate(file_name_, &exists);
    if (!exists) return;
    const std::vector<Line> lines = ParseLines(text);
    if (std::optional<Section> found = FindSection(lines, HasUtf8Mark(text), section)) {
        size_t begin = found->header ? lines[*found->header].begin : BodyStart(text);
        size_t end = found->end < lines.size() ? lines[found->end].begin : text.size();
        text.erase(begin, end - begin);
    }
    // Also when nothing changed: a read-only file then fails here as any other write does.
    Store(file_name_, text);
    Keep(std::move(text));
}

} // namespace services
