// The nine named values of the settings file that make one executable serve any product:
// names, version, release, folder and registry names, the program the shortcuts start.
#pragma once

#include <string>
#include <vector>

#include "contract/pages.h"
#include "services/form_storage.h"

namespace app {

struct Configuration {
    std::string softname; // product name: title, box captions, shortcut names, group folder
    std::string company;  // first level of the Start-menu group folder
    int sversion = 1;     // version number
    std::string srelease; // release, after the version in the title
    int icons = 1;        // 0 leaves the shortcut page out of the wizard
    std::string progreg;  // the product's key under the installation record's base key
    std::string regdir;   // the product's folder name
    std::string idn;      // name of the single-instance mutex
    std::string progname; // file the desktop and Start-menu shortcuts start
};

// Reads the nine values in their order: texts default to empty, the two numbers to 1.
Configuration ReadNamedValues(const services::FormStorage& storage);

// Writes the nine values back in the same order (the settings component's save run calls
// this last), so a file that lacked a key gains it.
void WriteNamedValues(services::FormStorage& storage, const Configuration& config);

// The nine values as "key=value" texts, in the file's order (for the log).
std::vector<std::string> NamedValueTexts(const Configuration& config);

// The nine keys in the file's order, with what each holds, for the tools and tests that check
// a package as the program reads it.
struct NamedValueKey {
    const char* key;
    bool number;        // read as a number, else as text
    bool required;      // the program ends when it is empty
    int number_default; // a number's value when absent or no number
};
std::vector<NamedValueKey> NamedValueKeys();

// Everything but the release and the two numbers must be given.
bool HasRequiredValues(const Configuration& config);
// The keys of the values that must be given and are empty, in the file's order.
std::vector<std::string> MissingValues(const Configuration& config);

// "Zelvik v.2.10": name, version and release.
std::string TitleText(const Configuration& config);

// Caption of the installer's own message boxes: the name and " Setup".
std::string BoxCaption(const Configuration& config);

using contract::Page;

// The pages two buttons lead to that depend on the configuration: the folder page's forward
// button and the summary page's back button skip the shortcut page when "icons" is 0.
struct NavigationTags {
    Page folder_continue = Page::kIcons;
    Page summary_back = Page::kIcons;
};
NavigationTags TagsFor(const Configuration& config);

} // namespace app
