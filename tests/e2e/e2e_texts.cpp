// Prints every text setup.exe has built in, one a line as "WHERE<TAB>TEXT", for the runs that
// check what a translated package shows: WHERE is "message N" for the message memo's entries,
// the setup.ini key for the program's own texts, and "WINDOW.CONTROL" for each line of a
// control's text in the two windows' layouts. Texts are UTF-8.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/message_table.h"
#include "widgets/layouts/layout.h"

namespace {

void Print(const std::string& where, std::string_view text) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string line = where + "\t" + std::string(text.substr(start, end - start)) + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
        start = end + 1;
    }
}

} // namespace

int main() {
    const std::vector<std::string>& memo = app::MessageTable::BuiltIn();
    for (size_t i = 0; i < memo.size(); ++i) Print("message " + std::to_string(i), memo[i]);
    for (const app::OwnText& text : app::kOwnTexts)
        Print(app::MessageTable::KeyOf(text), text.text);
    for (const layouts::FormTable* form : {&layouts::Form1Layout(), &layouts::Form2Layout()})
        for (const layouts::ControlRow& row : *form)
            if (!row.text.empty())
                Print(std::string(form->name) + "." + std::string(row.name), row.text);
    return 0;
}
