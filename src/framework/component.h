// Components: named parts of a form. An owner destroys what it owns, newest
// first; a component may ask to be told when another one it refers to (but
// does not own) is destroyed; and the layout reader sets each component's
// properties one by one while the component is in its loading state.
#pragma once

#include <vector>

#include "base/text.h"

namespace tarvik::fw {

struct LayoutValue;
class LayoutReader;

// Something whose properties a layout can write: a component, or a
// sub-object of one (a font, an icon) reached by a dotted path.
class Persistent {
public:
    virtual ~Persistent() = default;

    // Applies one property; false for a name this class does not have (the
    // reader then reports it). Wrong value kinds throw tarvik::Error.
    virtual bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader);

    // The sub-object that a dotted path "<name>.Property" writes to, or null;
    // with null the reader hands the whole dotted name to ReadProperty.
    virtual Persistent* SubObject(const Text& name);

    // The class's name as layouts and error messages give it ("TFont").
    virtual Text ClassName() const { return "TPersistent"; }
};

class Component : public Persistent {
public:
    // A component with an owner is destroyed by it, unless destroyed first.
    explicit Component(Component* owner = nullptr);
    ~Component() override;
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    const Text& Name() const { return name_; }
    Text ClassName() const override { return "TComponent"; }
    void SetName(const Text& name) { name_ = name; }

    Component* Owner() const { return owner_; }
    // The components this one owns, in the order of their creation.
    const std::vector<Component*>& Components() const { return owned_; }
    // An owned component by name (case-sensitive), or null.
    Component* FindComponent(const Text& name) const;

    // Asks `peer` to call this component's PeerRemoved when it is destroyed
    // (and the other way round); for references to components not owned.
    void FreeNotification(Component* peer);
    void RemoveFreeNotification(Component* peer);

    bool IsLoading() const { return loading_; }
    bool IsDestroying() const { return destroying_; }

    // Set by the layout reader before the first property is applied.
    void BeginLoading() { loading_ = true; }
    // Runs once the whole layout has been read and every reference resolved;
    // an override calls the base first.
    virtual void FinishLoading() { loading_ = false; }

    // The layout nests components: this one is placed inside `parent`
    // (a control in its container, a menu item in its menu). The default
    // accepts only its owner (a timer or menu listed in the form) and throws
    // for anything else.
    virtual void SetParentComponent(Component* parent);

    bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) override;

protected:
    // A component referred to by FreeNotification is being destroyed; drop
    // every pointer to it.
    virtual void PeerRemoved(Component* peer);

    // A derived destructor calls this first, since C++ runs this class's
    // destructor last: from here on IsDestroying() is true.
    void BeginDestroy() { destroying_ = true; }
    // Destroys the owned components, newest first. The destructor does it
    // anyway; a derived class calls it earlier when they depend on its parts.
    void DestroyComponents();

private:
    void Insert(Component* child);
    void Remove(Component* child);

    Text name_;
    Component* owner_ = nullptr;
    std::vector<Component*> owned_;
    std::vector<Component*> peers_;  // told of each other's destruction
    bool loading_ = false;
    bool destroying_ = false;
};

}  // namespace tarvik::fw
