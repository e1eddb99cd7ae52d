// The stored properties: control texts and line lists that the settings file may replace, so
// that every visible text can be reworded without rebuilding the program. Each is named by an
// entry "Component.Property". A text is kept under the key "Component_Property" in the
// storage's section; a list in a section of its own, "<section>.Component_Property", as
// "Count" and "Item0", "Item1", ...
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "services/stored_property_host.h"

namespace services {

class FormStorage;

struct StoredPropName {
    std::string component;
    std::string property;
};

// The entry split at its first ".", each part without blanks around it; nothing when there is
// no "." or either part is empty.
std::optional<StoredPropName> SplitStoredProp(const std::string& entry);

// Without spaces and control characters at either end.
std::string TrimBlanks(const std::string& text);

// More lines than this are not read back from one list section: the count comes from the file,
// and every line costs a read of the whole file.
constexpr int kMaxStoredListLines = 4096;

// The entries bound to the window's components.
class StoredProperties {
  public:
    // Keeps the entries that split and whose component the window has (names match without
    // regard to case), bound to that component; removes the others from `entries`.
    void Prepare(std::vector<std::string>& entries, const StoredPropertyHost& host);

    // The entries again, from the bound components' current names.
    std::vector<std::string> Rebuild(const StoredPropertyHost& host) const;

    // Writes every entry, in order, through the storage's text accesses. A failed write ends
    // it with the error.
    void Save(FormStorage& storage, const StoredPropertyHost& host) const;

    // Reads every entry, in order, into the window. An absent text key leaves the text as it
    // is; a list is replaced only when its section counts at least one line. A value the
    // window or the file refuses is passed over; the returned lines say which and why.
    std::vector<std::string> Restore(const FormStorage& storage, StoredPropertyHost& host) const;

  private:
    struct Binding {
        int component;
        std::string property;
    };

    // The binding's key and its property as the window spells it, or nothing when the
    // component's current name no longer makes an entry or it has no such property.
    struct Target {
        std::string key; // Component_Property
        StoredPropertyInfo property;
    };
    std::optional<Target> Find(const Binding& binding, const StoredPropertyHost& host) const;

    std::vector<Binding> bindings_;
};

} // namespace services
