// Finding the toolkit's controls by name through their windows alone, in this process or from
// another one (an end-to-end driver): each control's window carries the window properties
//   "OrvoName"      a global atom holding the control's name (GlobalGetAtomNameW)
//   "OrvoTag"       the control's Tag; absent when 0
//   "OrvoTabOrder"  the tab order + 1; absent when the control takes no focus
// Top-level windows are named too ("Form1", "Form2"), so FindTopLevel finds them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/paint_surface.h"

namespace ui {

constexpr const wchar_t* kNameProperty = L"OrvoName";
constexpr const wchar_t* kTagProperty = L"OrvoTag";
constexpr const wchar_t* kTabOrderProperty = L"OrvoTabOrder";

// The name a window carries; empty when it is none of ours.
std::string ControlName(NativeWindow window);
std::intptr_t ControlTag(NativeWindow window);
// -1 when the control takes no focus.
int ControlTabOrder(NativeWindow window);

// The descendant of `root` (at any depth) named `name`, or nullptr.
NativeWindow FindControl(NativeWindow root, std::string_view name);
// Every named descendant of `root`, in the system's enumeration order.
std::vector<NativeWindow> NamedDescendants(NativeWindow root);
// A top-level window of this desktop named `name` (any process), or nullptr.
NativeWindow FindTopLevel(std::string_view name);

} // namespace ui
