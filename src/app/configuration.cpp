#include "app/configuration.h"

namespace app {
namespace {

// The values in the order they are read and written; a null text field marks a number.
struct NamedValue {
    const char* key;
    std::string Configuration::*text;
    int Configuration::*number;
};
constexpr NamedValue kValues[] = {
    {"softname", &Configuration::softname, nullptr},
    {"company", &Configuration::company, nullptr},
    {"sversion", nullptr, &Configuration::sversion},
    {"srelease", &Configuration::srelease, nullptr},
    {"icons", nullptr, &Configuration::icons},
    {"progreg", &Configuration::progreg, nullptr},
    {"regdir", &Configuration::regdir, nullptr},
    {"idn", &Configuration::idn, nullptr},
    {"progname", &Configuration::progname, nullptr},
};

} // namespace

Configuration ReadNamedValues(const services::FormStorage& storage) {
    Configuration config;
    for (const NamedValue& value : kValues) {
        if (value.text)
            config.*value.text = storage.ReadNamedString(value.key, "");
        else
            config.*value.number = storage.ReadNamedInteger(value.key, 1);
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
        if (value.text && value.text != &Configuration::srelease && (config.*value.text).empty())
            missing.push_back(value.key);
    return missing;
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
        tags.folder_continue = kPageSummary;
        tags.summary_back = kPageDirectory;
    }
    return tags;
}

} // namespace app
