#include "app/package_files.h"

#include "platform/code_page.h"

namespace app {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

platform::FileRead ReadTextLines(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    std::string contents;
    const platform::FileRead status = platform::ReadWholeFile(path, contents);
    if (status == platform::FileRead::kOk) lines = SplitLines(platform::AnsiToUtf8(contents));
    return status;
}

ShortcutLine ParseShortcutLine(const std::string& line) {
    ShortcutLine fields;
    size_t start = 0;
    for (std::string* field : {&fields.target, &fields.subfolder, &fields.name}) {
        const size_t end = line.find(';', start);
        if (end == std::string::npos) {
            const size_t last = line.find_last_not_of(" \t");
            if (last != std::string::npos && last >= start)
                *field = line.substr(start, last + 1 - start);
            break;
        }
        *field = line.substr(start, end - start);
        start = end + 1;
    }
    return fields;
}

bool IsBlankLine(const std::string& line) {
    return line.find_first_not_of(" \t") == std::string::npos;
}

} // namespace app
