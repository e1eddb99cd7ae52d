// The choice controls: radio buttons (one checked per parent), a drop-down list combo box
// (the user picks an entry, no free typing) and a check list box (items with check boxes).
#pragma once

#include <string>
#include <vector>

#include "ui/control.h"

namespace ui {

// Radio buttons that share a parent form one group: checking one unchecks the others.
class RadioButton : public Control {
  public:
    bool Checked() const;
    // Without events; a user's click checks the button and then fires on_click.
    void SetChecked(bool checked);
    void Click() override;

  protected:
    CreateParams GetCreateParams() const override;
    bool HandleNotification(Message& message) override;
};

class ComboBox : public Control {
  public:
    // An editable one takes a typed or pasted text as well as its entries.
    explicit ComboBox(bool editable = false);
    std::vector<std::string> Items() const;
    void SetItems(const std::vector<std::string>& items);
    void AddItem(const std::string& item);
    void ClearItems();
    // Replaces the text of one entry; the selection stays where it was.
    void SetItemText(int index, const std::string& text);
    int ItemCount() const;
    // -1: none. Setting it fires no event; a user's pick fires on_change, as does every change
    // of an editable one's typed text.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // The selected entry's text, or an editable one's text as typed; setting it selects the
    // entry with exactly that text.
    std::string Text() const override;
    void SetText(const std::string& text) override;
    // Picks an entry as the user would: selects it and fires on_change.
    void Pick(int index);
    // What the user chose last: the entry picked, or the text typed. While on_change runs
    // for a pick, Text() still shows the entry before it.
    std::string Chosen() const;
    bool LastChangeTyped() const { return typed_; }

  protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;
    bool HandleNotification(Message& message) override;
    bool UsesParentColor() const override { return false; }
    void FontChanged() override {
        if (HandleAllocated()) FitClosedHeight();
    }

  private:
    void FitClosedHeight();

    // The entries and selection until the window exists.
    std::vector<std::string> pending_items_;
    int pending_index_ = -1;
    bool typed_ = false; // the last change was typed, not picked
    bool editable_ = false;
};

// Clicking an item's check box (or Space on the selected item) toggles it; every click on
// the list and every keyboard change of the selection fires on_click, after the toggle.
class CheckListBox : public Control {
  public:
    explicit CheckListBox(int item_height = 13);
    int ItemHeight() const { return item_height_; }
    std::vector<std::string> Items() const;
    void SetItems(const std::vector<std::string>& items);
    int ItemCount() const;
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    // Toggles as a click on the item's check box does, and fires on_click.
    void ClickCheck(int index);
    int ItemIndex() const;
    // The width the check box takes at each item's left.
    int CheckWidth() const { return item_height_ + 2; }

  protected:
    CreateParams GetCreateParams() const override;
    void AfterCreate() override;
    bool HandleMessage(Message& message) override;
    bool HandleNotification(Message& message) override;
    bool UsesParentColor() const override { return false; }

  private:
    void DrawItem(const void* draw_item);

    int item_height_;
    bool in_mouse_down_ = false;
    // The entries and their checks until the window exists.
    std::vector<std::string> pending_items_;
    std::vector<bool> pending_checks_;
};

} // namespace ui
