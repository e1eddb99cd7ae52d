// The texts the installer shows in its boxes, its summary and its progress panel. They are
// addressed by position, and a settings file may replace the whole list, so every use names
// its entry by the number the list gives it.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "contract/messages.h"

namespace services {
class FormStorage;
}

namespace app {

// The installer's facts (message ids, pages, controls) are the contract's; the app names them
// as its own.
using namespace contract;

class MessageTable {
  public:
    static constexpr int kBuiltInCount = kMemoMessageCount;
    // What the setup.ini keys of the program's own texts begin with.
    static constexpr std::string_view kOwnTextPrefix = "Msg_";

    MessageTable() : lines_(BuiltIn()) {}

    // The built-in wording, Czech and some English, the product called Zelvik.
    static const std::vector<std::string>& BuiltIn();

    // Replaces the whole list, as the settings file's copy of it does. A shorter list leaves
    // the higher entries empty; nothing is merged with the built-in texts.
    void Replace(std::vector<std::string> lines) { lines_ = std::move(lines); }
    // The built-in product name in each entry becomes PRODUCT.
    void NameProduct(const std::string& product);
    const std::vector<std::string>& Lines() const { return lines_; }

    // The program's own texts as setup.ini words them, where it does.
    void ReadOwnTexts(const services::FormStorage& storage);
    // "Msg_RunFailed": the key of an own text in setup.ini's section.
    static std::string KeyOf(const OwnText& text);

    // The entry at index: from the list below 36, from the program's own texts above (a
    // replaced list does not reach them); empty when there is no such entry.
    const std::string& Text(int index) const;

  private:
    std::vector<std::string> lines_;
    std::vector<std::string> own_ = BuiltInOwnTexts();
    static std::vector<std::string> BuiltInOwnTexts();
};

} // namespace app
