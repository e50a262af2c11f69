#include "framework/layout_reader.h"

#include <limits>
#include <string>

#include "base/error.h"
#include "framework/component_classes.h"
#include "framework/dpi_scale.h"

namespace tarvik::fw {

namespace {

Text LinePrefix(int line) { return "Layout line " + std::to_string(line) + ": "; }

}  // namespace

LayoutReader::LayoutReader(Component& root, const HandlerTable& handlers, int dpi)
    : root_(root), handlers_(handlers), dpi_(dpi) {}

int LayoutReader::Scaled(const LayoutValue& value) const { return ScaleToDpi(Int32(value), dpi_); }

void LayoutReader::Read(const LayoutObject& layout, const Text& rootClass) {
    line_ = layout.line;
    if (layout.className != rootClass)
        throw Error(LinePrefix(layout.line) + "the layout is for " + layout.className + ", not " + rootClass);
    root_.SetName(layout.name);
    Apply(root_, layout);
    for (const Fixup& fixup : fixups_) {
        Component* target = fixup.name == "none" ? nullptr : root_.FindComponent(fixup.name);
        if (!target && fixup.name == root_.Name()) target = &root_;
        if (!target && fixup.name != "none") throw Error(LinePrefix(fixup.line) + "no component " + fixup.name);
        fixup.assign(target);
    }
    fixups_.clear();
    for (Component* component : loaded_) component->FinishLoading();
}

void LayoutReader::Apply(Component& component, const LayoutObject& object) {
    component.BeginLoading();
    loaded_.push_back(&component);
    for (const LayoutProperty& property : object.properties) ApplyProperty(component, property);
    for (const LayoutObject& child : object.children) {
        line_ = child.line;
        const ComponentFactory* found = FindComponentClass(child.className);
        if (!found) throw Error(LinePrefix(child.line) + "unknown class " + child.className);
        const ComponentFactory factory = *found;  // a factory may register classes
        if (root_.FindComponent(child.name) || child.name == root_.Name())
            throw Error(LinePrefix(child.line) + "a second component named " + child.name);
        Component* created = factory(root_);
        created->SetName(child.name);
        try {
            created->SetParentComponent(&component);
        } catch (const Error& error) {
            throw Error(LinePrefix(child.line) + error.what());
        }
        Apply(*created, child);
    }
}

void LayoutReader::ApplyProperty(Component& component, const LayoutProperty& property) {
    line_ = property.line;
    // A dotted path walks down sub-objects ("Font.Height"); where there is no
    // such sub-object the component gets the whole name ("Icon.Data").
    Persistent* target = &component;
    Text name = property.name;
    for (std::size_t dot; (dot = name.find('.')) != Text::npos;) {
        Persistent* sub = target->SubObject(name.substr(0, dot));
        if (!sub) break;
        target = sub;
        name = name.substr(dot + 1);
    }
    bool known = false;
    try {
        known = target->ReadProperty(name, property.value, *this);
    } catch (const Error& error) {
        throw Error(LinePrefix(property.line) + property.name + " of " + component.Name() + ": " + error.what());
    }
    if (!known)
        throw Error(LinePrefix(property.line) + "unknown property " + property.name + " of " + component.Name());
}

void LayoutReader::Reference(const LayoutValue& value, std::function<void(Component*)> assign) {
    const Text& name = Identifier(value);
    Component* target = name == root_.Name() ? &root_ : root_.FindComponent(name);
    if (target || name == "none")
        assign(target);
    else
        fixups_.push_back({name, line_, std::move(assign)});
}

std::int64_t LayoutReader::Integer(const LayoutValue& value) {
    ExpectLayoutKind(value, LayoutValue::Kind::Integer);
    return value.integer;
}

std::int32_t LayoutReader::Int32(const LayoutValue& value) {
    const std::int64_t number = Integer(value);
    if (number < std::numeric_limits<std::int32_t>::min() || number > std::numeric_limits<std::int32_t>::max())
        throw Error("the number " + std::to_string(number) + " is out of range");
    return static_cast<std::int32_t>(number);
}

long double LayoutReader::Float(const LayoutValue& value) {
    if (value.kind == LayoutValue::Kind::Integer) return static_cast<long double>(value.integer);
    ExpectLayoutKind(value, LayoutValue::Kind::Float);
    return value.real;
}

bool LayoutReader::Boolean(const LayoutValue& value) {
    ExpectLayoutKind(value, LayoutValue::Kind::Boolean);
    return value.boolean;
}

const Text& LayoutReader::String(const LayoutValue& value) {
    ExpectLayoutKind(value, LayoutValue::Kind::String);
    return value.text;
}

const Text& LayoutReader::Identifier(const LayoutValue& value) { return LayoutIdentifier(value); }

const std::vector<Text>& LayoutReader::Set(const LayoutValue& value) {
    ExpectLayoutKind(value, LayoutValue::Kind::Set);
    return value.items;
}

const std::vector<std::uint8_t>& LayoutReader::Binary(const LayoutValue& value) {
    ExpectLayoutKind(value, LayoutValue::Kind::Binary);
    return value.bytes;
}

}  // namespace tarvik::fw
