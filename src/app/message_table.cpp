#include "app/message_table.h"

#include "app/wizard_text.h"
#include "services/form_storage.h"

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
    static const std::vector<std::string> texts = LinesOf(kBuiltInMessages);
    return texts;
}

std::vector<std::string> MessageTable::BuiltInOwnTexts() {
    std::vector<std::string> texts;
    for (const OwnText& text : kOwnTexts) texts.emplace_back(text.text);
    return texts;
}

std::string MessageTable::KeyOf(const OwnText& text) {
    return std::string(kOwnTextPrefix) + std::string(text.name);
}

void MessageTable::NameProduct(const std::string& product) {
    for (std::string& line : lines_) line = WithProductName(line, product);
}

void MessageTable::ReadOwnTexts(const services::FormStorage& storage) {
    for (size_t i = 0; i < own_.size(); ++i)
        own_[i] = storage.ReadNamedString(KeyOf(kOwnTexts[i]), own_[i]);
}

const std::string& MessageTable::Text(int index) const {
    static const std::string none;
    if (index < 0) return none;
    if (index >= kBuiltInCount) {
        const size_t at = static_cast<size_t>(index - kBuiltInCount);
        return at < own_.size() ? own_[at] : none;
    }
    return static_cast<size_t>(index) < lines_.size() ? lines_[index] : none;
}

} // namespace app
