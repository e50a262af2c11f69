#include "framework/component_classes.h"

#include <map>
#include <utility>

#include "framework/controls_win.h"
#include "framework/menu.h"
#include "framework/timer_win.h"

namespace tarvik::fw {

namespace {

template <class T>
ComponentFactory Make() {
    return [](Component& owner) -> Component* { return new T(&owner); };
}

std::map<Text, ComponentFactory>& Classes() {
    static std::map<Text, ComponentFactory> classes{
        {"TLabel", Make<Label>()},         {"TEdit", Make<Edit>()},
        {"TButton", Make<Button>()},       {"TCheckBox", Make<CheckBox>()},
        {"TGroupBox", Make<GroupBox>()},   {"TPageControl", Make<PageControl>()},
        {"TTabSheet", Make<TabSheet>()},   {"TTimer", Make<Timer>()},
        {"TPopupMenu", Make<PopupMenu>()}, {"TMenuItem", Make<MenuItem>()},
    };
    return classes;
}

}  // namespace

void RegisterComponentClass(const Text& className, ComponentFactory factory) {
    Classes()[className] = std::move(factory);
}

const ComponentFactory* FindComponentClass(const Text& className) {
    const auto found = Classes().find(className);
    return found == Classes().end() ? nullptr : &found->second;
}

}  // namespace tarvik::fw
