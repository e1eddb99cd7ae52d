#include "app/message_table.h"

#include "app/wizard_text.h"
#include "widgets/layouts/message_texts.h"

namespace app {
namespace {

std::vector<std::string> LinesOf(std::string_view text) {
    std::vector<std::string> lines;
    size_t begin = 0;
    for (size_t end; (end = text.find('\n', begin)) != std::string_view::npos; begin = end + 1)
        lines.emplace_back(text.substr(begin, end - begin));
    lines.emplace_back(text.substr(begin));
    return lines;
}

} // namespace

const std::vector<std::string>& MessageTable::BuiltIn() {
    static const std::vector<std::string> texts = LinesOf(layouts::kBuiltInMessages);
    return texts;
}

void MessageTable::NameProduct(const std::string& product) {
    for (std::string& line : lines_) line = WithProductName(line, product);
}

const std::string& MessageTable::Text(int index) const {
    static const std::string none;
    static const std::vector<std::string> later = LinesOf(layouts::kLaterMessages);
    if (index < 0) return none;
    if (index >= kBuiltInCount) {
        const size_t at = static_cast<size_t>(index - kBuiltInCount);
        return at < later.size() ? later[at] : none;
    }
    return static_cast<size_t>(index) < lines_.size() ? lines_[index] : none;
}

} // namespace app
