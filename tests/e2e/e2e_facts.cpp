// Prints what setup.exe and the end-to-end tests agree on, as the program itself holds it,
// one fact a line as "KIND<TAB>KEY<TAB>VALUE" in UTF-8:
//   window   main|picker            the top-level window's name (Form1)
//   product  built-in               the product the built-in wording names (Zelvik)
//   main     WelcomeContinue        the main window's control of that role (BitBtn5)
//   picker   Ok                     the folder picker's control of that role
//   stored   N                      the main window's Nth stored text ("Label1.Caption")
//   value    softname               a named value of setup.ini: "text required", "text" or
//                                   "number 1" (its default)
//   message  N                      a line of the message memo's built-in wording
//   own      Msg_RunFailed          a text of the program's own
//   layout   Form1.Memo2            a line of a control's built-in text in the layouts
//   result   ResultCrcError         the engine's wording for a result
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/configuration.h"
#include "app/message_table.h"
#include "contract/controls.h"
#include "unzip/result.h"
#include "widgets/layouts/layout.h"

namespace {

// One line per line of `value`.
void Fact(std::string_view kind, const std::string& key, std::string_view value) {
    size_t start = 0;
    while (start <= value.size()) {
        size_t end = value.find('\n', start);
        if (end == std::string_view::npos) end = value.size();
        const std::string line = std::string(kind) + "\t" + key + "\t" +
                                 std::string(value.substr(start, end - start)) + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
        start = end + 1;
    }
}

} // namespace

int main() {
    Fact("window", "main", contract::kMainWindowName);
    Fact("window", "picker", contract::kFolderPickerName);
    Fact("product", "built-in", contract::kBuiltInProductName);
    for (const auto& control : contract::kMainControlNames)
        Fact("main", std::string(control.role_word), control.name);
    for (const auto& control : contract::kPickerControlNames)
        Fact("picker", std::string(control.role_word), control.name);
    const std::vector<std::string>& stored = contract::MainWindowStoredProps();
    for (size_t i = 0; i < stored.size(); ++i) Fact("stored", std::to_string(i), stored[i]);
    for (const app::NamedValueKey& value : app::NamedValueKeys())
        Fact("value", value.key,
             value.number ? "number " + std::to_string(value.number_default)
                          : std::string(value.required ? "text required" : "text"));
    const std::vector<std::string>& memo = app::MessageTable::BuiltIn();
    for (size_t i = 0; i < memo.size(); ++i) Fact("message", std::to_string(i), memo[i]);
    for (const contract::OwnText& text : contract::kOwnTexts)
        Fact("own", app::MessageTable::KeyOf(text), text.text);
    for (const layouts::FormTable* form : {&layouts::Form1Layout(), &layouts::Form2Layout()})
        for (const layouts::ControlRow& row : *form)
            if (!row.text.empty())
                Fact("layout", std::string(form->name) + "." + std::string(row.name), row.text);
    for (int32_t code = 0; code >= unzip::ResultNotArchive; --code)
        Fact("result", unzip::ResultName(code), unzip::ResultText(code));
    for (const int32_t code : {unzip::ResultSerious, unzip::ResultMissingParameter})
        Fact("result", unzip::ResultName(code), unzip::ResultText(code));
    return 0;
}
