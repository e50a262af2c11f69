// The component classes a layout can name, each with the factory that
// creates one.
#pragma once

#include <functional>

#include "base/text.h"
#include "framework/component.h"

namespace tarvik::fw {

// Creates a component of one class for an owner (the form).
using ComponentFactory = std::function<Component*(Component& owner)>;

// Makes a class name usable in layouts. The framework's own classes (TLabel,
// TEdit, TButton, TCheckBox, TGroupBox, TPageControl, TTabSheet, TTimer,
// TPopupMenu, TMenuItem) are always known; other classes register before the
// first form that uses them is built. A second registration replaces the first.
void RegisterComponentClass(const Text& className, ComponentFactory factory);

// The factory of a class name, or null when no class of that name is known.
const ComponentFactory* FindComponentClass(const Text& className);

}  // namespace tarvik::fw
