// Applies a parsed layout to a form: child components are created by class
// name, properties written one at a time in the listed order, references to
// other components resolved (also to ones listed further down), and each
// component told when reading is done.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "base/text.h"
#include "framework/component.h"
#include "framework/handler_table.h"
#include "framework/layout.h"

namespace tarvik::fw {

class LayoutReader {
public:
    // `dpi`: the display's dots per inch, at which the layout's 96-dpi
    // positions and sizes are applied.
    LayoutReader(Component& root, const HandlerTable& handlers, int dpi = 96);

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

    // A position or a size of the layout (an integer value) at the display's
    // dpi.
    int Scaled(const LayoutValue& value) const;
    int PixelsPerInch() const { return dpi_; }

    // The value as each kind; a value of another kind throws tarvik::Error.
    static std::int64_t Integer(const LayoutValue& value);
    static std::int32_t Int32(const LayoutValue& value);  // range-checked
    static long double Float(const LayoutValue& value);  // a float or an integer
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
    int dpi_;
    std::vector<Component*> loaded_;
    struct Fixup {
        Text name;
        int line;
        std::function<void(Component*)> assign;
    };
    std::vector<Fixup> fixups_;
    int line_ = 0;
};

}  // namespace tarvik::fw
