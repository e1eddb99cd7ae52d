#include "services/stored_properties.h"

#include <algorithm>

#include "services/form_storage.h"

namespace services {
namespace {

// Component and property names are identifiers: ASCII letters fold, nothing else does.
bool SameIdentifier(const std::string& a, const std::string& b) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return fold(x) == fold(y); });
}

std::optional<int> FindComponent(const StoredPropertyHost& host, const std::string& name) {
    for (int i = 0, n = host.ComponentCount(); i < n; ++i)
        if (SameIdentifier(host.ComponentName(i), name)) return i;
    return std::nullopt;
}

} // namespace

std::string TrimBlanks(const std::string& text) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    size_t begin = 0, end = text.size();
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::optional<StoredPropName> SplitStoredProp(const std::string& entry) {
    const size_t dot = entry.find('.');
    if (dot == std::string::npos) return std::nullopt;
    StoredPropName name{TrimBlanks(entry.substr(0, dot)), TrimBlanks(entry.substr(dot + 1))};
    if (name.component.empty() || name.property.empty()) return std::nullopt;
    return name;
}

void StoredProperties::Prepare(std::vector<std::string>& entries, const StoredPropertyHost& host) {
    bindings_.clear();
    std::vector<std::string> kept;
    for (const std::string& entry : entries) {
        std::optional<StoredPropName> name = SplitStoredProp(entry);
        if (!name) continue;
        std::optional<int> component = FindComponent(host, name->component);
        if (!component) continue;
        bindings_.push_back({*component, name->property});
        kept.push_back(entry);
    }
    entries = std::move(kept);
}

std::vector<std::string> StoredProperties::Rebuild(const StoredPropertyHost& host) const {
    std::vector<std::string> entries;
    for (const Binding& binding : bindings_)
        entries.push_back(host.ComponentName(binding.component) + "." + binding.property);
    return entries;
}

std::optional<StoredProperties::Target> StoredProperties::Find(
    const Binding& binding, const StoredPropertyHost& host) const {
    // Split again: a component renamed to something odd no longer makes a valid entry.
    std::optional<StoredPropName> name =
        SplitStoredProp(host.ComponentName(binding.component) + "." + binding.property);
    if (!name) return std::nullopt;
    for (const StoredPropertyInfo& property : host.Properties(binding.component))
        if (SameIdentifier(property.name, name->property))
            return Target{name->component + "_" + name->property, property};
    return std::nullopt;
}

void StoredProperties::Save(FormStorage& storage, const StoredPropertyHost& host) const {
    for (const Binding& binding : bindings_) {
        std::optional<Target> target = Find(binding, host);
        if (!target) continue;
        const std::string& property = target->property.name;
        if (target->property.kind == StoredPropertyKind::kText) {
            storage.WriteString(storage.IniSection(), target->key,
                                TrimBlanks(host.Text(binding.component, property)));
            continue;
        }
        // The section holds exactly the current lines: erased first, so that no Item keys of
        // a longer list stay behind, and left out when there are none.
        const std::string section = storage.ListSection(target->key);
        storage.EraseSection(section);
        const std::vector<std::string> lines = host.Lines(binding.component, property);
        if (lines.empty()) continue;
        storage.WriteInteger(section, "Count", static_cast<int>(lines.size()));
        for (size_t i = 0; i < lines.size(); ++i)
            storage.WriteString(section, "Item" + std::to_string(i), lines[i]);
    }
}

std::vector<std::string> StoredProperties::Restore(const FormStorage& storage,
                                                   StoredPropertyHost& host) const {
    std::vector<std::string> passed_over;
    for (const Binding& binding : bindings_) {
        // One entry the window cannot take must not keep the others from their texts.
        try {
            std::optional<Target> target = Find(binding, host);
            if (!target) continue;
            const std::string& property = target->property.name;
            if (target->property.kind == StoredPropertyKind::kText) {
                const std::string current = host.Text(binding.component, property);
                host.SetText(
                    binding.component, property,
                    TrimBlanks(storage.ReadString(storage.IniSection(), target->key, current)));
                continue;
            }
            const std::string section = storage.ListSection(target->key);
            const int count = std::min(
                FormStorage::ToInteger(TrimBlanks(storage.ReadString(section, "Count", "0")), 0),
                kMaxStoredListLines);
            if (count <= 0) continue;
            std::vector<std::string> lines;
            for (int i = 0; i < count; ++i)
                lines.push_back(storage.ReadString(section, "Item" + std::to_string(i), ""));
            host.SetLines(binding.component, property, lines);
        } catch (const std::exception& error) {
            passed_over.push_back(host.ComponentName(binding.component) + "." + binding.property +
                                  ": " + error.what());
        }
    }
    return passed_over;
}

} // namespace services
