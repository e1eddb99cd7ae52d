// A window for the settings component's tests: named components with text and list
// properties, a placement and traits the test sets, and a record of what was done to it.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/error.h"
#include "services/stored_property_host.h"

namespace services::testing {

class FakeWindow : public StoredPropertyHost {
  public:
    struct Property {
        std::string name;
        StoredPropertyKind kind = StoredPropertyKind::kText;
        std::string text;
        std::vector<std::string> lines;
        bool refuses = false; // its setter throws
    };
    struct Component {
        std::string name;
        std::vector<Property> properties;
    };

    void AddText(const std::string& component, const std::string& property,
                 const std::string& text) {
        Add(component).properties.push_back({property, StoredPropertyKind::kText, text, {}});
    }
    void AddList(const std::string& component, const std::string& property,
                 const std::vector<std::string>& lines) {
        Add(component).properties.push_back({property, StoredPropertyKind::kList, {}, lines});
    }
    Property& Prop(const std::string& component, const std::string& property) {
        for (Component& c : components)
            for (Property& p : c.properties)
                if (c.name == component && p.name == property) return p;
        throw std::logic_error("no property " + component + "." + property);
    }
    // The window's three events as the toolkit fires them.
    void Show() {
        if (events.shown) events.shown();
    }
    bool Close() {
        bool can_close = true;
        if (events.close_requested) events.close_requested(can_close);
        return can_close;
    }
    void Destroy() {
        if (events.destroyed) events.destroyed();
    }

    int ComponentCount() const override { return static_cast<int>(components.size()); }
    std::string ComponentName(int component) const override {
        return components.at(component).name;
    }
    std::vector<StoredPropertyInfo> Properties(int component) const override {
        std::vector<StoredPropertyInfo> infos;
        for (const Property& p : components.at(component).properties)
            infos.push_back({p.name, p.kind});
        return infos;
    }
    std::string Text(int component, const std::string& property) const override {
        return Find(component, property).text;
    }
    void SetText(int component, const std::string& property, const std::string& text) override {
        Settable(component, property).text = text;
    }
    std::vector<std::string> Lines(int component, const std::string& property) const override {
        return Find(component, property).lines;
    }
    void SetLines(int component, const std::string& property,
                  const std::vector<std::string>& lines) override {
        Settable(component, property).lines = lines;
    }
    WindowTraits Traits() const override { return traits; }
    platform::WindowPlacement Placement() const override { return placement; }
    void SetPlacement(const platform::WindowPlacement& p) override {
        if (placement_fails) throw platform::Error("Cannot place the window");
        placement = p;
        applied.push_back(p);
    }
    platform::ScreenMetrics Screen() const override { return screen; }
    void UseDesignedPosition() override {
        traits.position = WindowPosition::kDesigned;
        log.push_back("designed position");
    }
    void SetWindowState(WindowState state) override {
        traits.state = state;
        log.push_back(state == WindowState::kNormal      ? "normal"
                      : state == WindowState::kMinimized ? "minimized"
                                                         : "maximized");
    }
    void Repaint() override { log.push_back("repaint"); }
    void MinimizeApplication() override { log.push_back("minimize application"); }
    std::string ActiveControlName() const override { return active_control; }
    WindowEvents& Events() override { return events; }
    void ShowErrorBox(const std::string& text) override { errors.push_back(text); }

    std::vector<Component> components;
    WindowTraits traits;
    platform::WindowPlacement placement;
    platform::ScreenMetrics screen{1024, 768, 96};
    std::string active_control;
    bool placement_fails = false;
    WindowEvents events;
    std::vector<platform::WindowPlacement> applied; // every placement set, in order
    std::vector<std::string> log;                   // states, repaints, ...
    std::vector<std::string> errors;                // texts of the error boxes shown

  private:
    Component& Add(const std::string& name) {
        for (Component& c : components)
            if (c.name == name) return c;
        components.push_back({name, {}});
        return components.back();
    }
    const Property& Find(int component, const std::string& property) const {
        for (const Property& p : components.at(component).properties)
            if (p.name == property) return p;
        throw std::logic_error("asked for " + property + " spelled otherwise");
    }
    Property& Settable(int component, const std::string& property) {
        Property& p = const_cast<Property&>(Find(component, property));
        if (p.refuses) throw std::runtime_error("value does not fit");
        return p;
    }
};

} // namespace services::testing
