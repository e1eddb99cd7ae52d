#include "app/configuration.h"

namespace app {
namespace {

// The values in the order they are read and written; a null text field marks a number.
// The release may be empty; every other text must be given.
struct NamedValue {
    const char* key;
    std::string Configuration::*text;
    int Configuration::*number;
    bool required;
};
constexpr NamedValue kValues[] = {
    {"softname", &Configuration::softname, nullptr, true},
    {"company", &Configuration::company, nullptr, true},
    {"sversion", nullptr, &Configuration::sversion, false},
    {"srelease", &Configuration::srelease, nullptr, false},
    {"icons", nullptr, &Configuration::icons, false},
    {"progreg", &Configuration::progreg, nullptr, true},
    {"regdir", &Configuration::regdir, nullptr, true},
    {"idn", &Configuration::idn, nullptr, true},
    {"progname", &Configuration::progname, nullptr, true},
};
constexpr int kNumberDefault = 1;

} // namespace

Configuration ReadNamedValues(const services::FormStorage& storage) {
    Configuration config;
    for (const NamedValue& value : kValues) {
        if (value.text)
            config.*value.text = storage.ReadNamedString(value.key, "");
        else
            config.*value.number = storage.ReadNamedInteger(value.key, kNumberDefault);
    }
    return config;
}

void WriteNamedValues(services::FormStorage& storage, const Configuration& config) {
    for (const NamedValue& value : kValues) {
        if (value.text)
            storage.WriteNamedString(value.key, config.*value.text);
        else
            storage.WriteNamedInteger(value.key, config.*value.number);
    }
}

std::vector<std::string> NamedValueTexts(const Configuration& config) {
    std::vector<std::string> texts;
    for (const NamedValue& value : kValues)
        texts.push_back(std::string(value.key) + "=" +
                        (value.text ? config.*value.text : std::to_string(config.*value.number)));
    return texts;
}

bool HasRequiredValues(const Configuration& config) {
    return MissingValues(config).empty();
}

std::vector<std::string> MissingValues(const Configuration& config) {
    std::vector<std::string> missing;
    for (const NamedValue& value : kValues)
        if (value.required && (config.*value.text).empty()) missing.push_back(value.key);
    return missing;
}

std::vector<NamedValueKey> NamedValueKeys() {
    std::vector<NamedValueKey> keys;
    for (const NamedValue& value : kValues)
        keys.push_back({value.key, value.number != nullptr, value.required, kNumberDefault});
    return keys;
}

std::string TitleText(const Configuration& config) {
    return config.softname + " v." + std::to_string(config.sversion) + "." + config.srelease;
}

std::string BoxCaption(const Configuration& config) {
    return config.softname + " Setup";
}

NavigationTags TagsFor(const Configuration& config) {
    NavigationTags tags;
    if (config.icons == 0) {
        tags.folder_continue = Page::kSummary;
        tags.summary_back = Page::kDirectory;
    }
    return tags;
}

} // namespace app
