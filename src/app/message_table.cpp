#include "app/message_table.h"

#include "widgets/layouts/message_texts.h"

namespace app {

using layouts::kBuiltInMessages;

const std::vector<std::string>& MessageTable::BuiltIn() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> lines;
        size_t begin = 0;
        for (size_t end; (end = kBuiltInMessages.find('\n', begin)) != std::string_view::npos;
             begin = end + 1)
            lines.emplace_back(kBuiltInMessages.substr(begin, end - begin));
        lines.emplace_back(kBuiltInMessages.substr(begin));
        return lines;
    }();
    return texts;
}

const std::string& MessageTable::Text(int index) const {
    static const std::string none;
    return index >= 0 && static_cast<size_t>(index) < lines_.size() ? lines_[index] : none;
}

} // namespace app
