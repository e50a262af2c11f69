// Reads a form's layout from the program's resources and applies it: child
// components are created by class name, properties written one at a time in
// the listed order, references to other components resolved (also to ones
// listed further down), and each component told when reading is done.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "framework/component.h"
#include "framework/layout.h"

namespace tarvik::fw {

// Creates a component of one class for an owner (the form).
using ComponentFactory = std::function<Component*(Component& owner)>;

// Makes a class name usable in layouts. The framework's own classes (TLabel,
// TEdit, TButton, TCheckBox, TGroupBox, TPageControl, TTabSheet, TTimer,
// TPopupMenu, TMenuItem) are always known; other classes register before the
// first form that uses them is built. A second registration replaces the first.
void RegisterComponentClass(const Text& className, ComponentFactory factory);

// The event handlers of a form, by the names a layout gives them.
class HandlerTable {
    template <class T>
    struct IsFunction : std::false_type {};
    template <class Signature>
    struct IsFunction<std::function<Signature>> : std::true_type {};

public:
    // `handler` is one of the event types of events.h (Get looks it up by
    // that type): Add<NotifyEvent>("FormCreate", lambda), or an event object.
    template <class Event>
    void Add(const Text& name, Event handler) {
        static_assert(IsFunction<Event>::value, "name the event type: Add<NotifyEvent>(...)");
        handlers_[name] = std::move(handler);
    }
    // Throws tarvik::Error when the name is unknown or the handler does not
    // fit the event it is assigned to.
    template <class Event>
    Event Get(const Text& name) const {
        const auto found = handlers_.find(name);
        if (found == handlers_.end()) throw Error("Unknown event handler " + name);
        if (const Event* event = std::any_cast<Event>(&found->second)) return *event;
        throw Error("Event handler " + name + " does not fit the event");
    }

private:
    std::map<Text, std::any> handlers_;
};

class LayoutReader {
public:
    LayoutReader(Component& root, const HandlerTable& handlers);

    // Builds `root`'s parts from the layout: the root object's class must be
    // `rootClass`. Throws tarvik::Error("Layout line <n>: ...") on anything
    // that does not apply.
    void Read(const LayoutObject& layout, const Text& rootClass);

    // An event handler named by an identifier value.
    template <class Event>
    Event Handler(const LayoutValue& value) const {
        return handlers_.Get<Event>(Identifier(value));
    }
    // A component named by an identifier value ("none" for no component):
    // `assign` runs at once when the component exists, else once the whole
    // layout has been read.
    void Reference(const LayoutValue& value, std::function<void(Component*)> assign);

    // The value as each kind; a value of another kind throws tarvik::Error.
    static std::int64_t Integer(const LayoutValue& value);
    static std::int32_t Int32(const LayoutValue& value);  // range-checked
    static bool Boolean(const LayoutValue& value);
    static const Text& String(const LayoutValue& value);
    static const Text& Identifier(const LayoutValue& value);
    static const std::vector<Text>& Set(const LayoutValue& value);
    static const std::vector<std::uint8_t>& Binary(const LayoutValue& value);

private:
    void Apply(Component& component, const LayoutObject& object);
    void ApplyProperty(Component& component, const LayoutProperty& property);

    Component& root_;
    const HandlerTable& handlers_;
    std::vector<Component*> loaded_;
    struct Fixup {
        Text name;
        int line;
        std::function<void(Component*)> assign;
    };
    std::vector<Fixup> fixups_;
    int line_ = 0;
};

// The layout text stored as the RCDATA resource named `resourceName` in the
// program file; throws tarvik::Error when there is none.
Text LoadLayoutResource(const Text& resourceName);

}  // namespace tarvik::fw
