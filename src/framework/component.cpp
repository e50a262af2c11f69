#include "framework/component.h"

#include <algorithm>

#include "base/error.h"
#include "framework/layout.h"

namespace tarvik::fw {

namespace {
void Erase(std::vector<Component*>& list, Component* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}
}  // namespace

bool Persistent::ReadProperty(const Text&, const LayoutValue&, LayoutReader&) { return false; }

Persistent* Persistent::SubObject(const Text&) { return nullptr; }

Component::Component(Component* owner) {
    if (owner) owner->Insert(this);
}

Component::~Component() {
    destroying_ = true;
    DestroyComponents();
    // Tell every peer, and forget it, so neither keeps a dangling pointer.
    while (!peers_.empty()) {
        Component* peer = peers_.back();
        peers_.pop_back();
        Erase(peer->peers_, this);
        peer->PeerRemoved(this);
    }
    if (owner_) owner_->Remove(this);
}

Component* Component::FindComponent(const Text& name) const {
    if (name.empty()) return nullptr;
    for (Component* child : owned_)
        if (child->name_ == name) return child;
    return nullptr;
}

void Component::FreeNotification(Component* peer) {
    if (!peer || peer == this) return;
    if (std::find(peers_.begin(), peers_.end(), peer) == peers_.end()) peers_.push_back(peer);
    if (std::find(peer->peers_.begin(), peer->peers_.end(), this) == peer->peers_.end())
        peer->peers_.push_back(this);
}

void Component::RemoveFreeNotification(Component* peer) {
    if (!peer) return;
    Erase(peers_, peer);
    Erase(peer->peers_, this);
}

void Component::SetParentComponent(Component* parent) {
    // A component that is not a control sits directly in its owner.
    if (parent && parent == owner_) return;
    throw Error("Component " + name_ + " cannot be placed inside " + (parent ? parent->Name() : Text("nothing")));
}

bool Component::ReadProperty(const Text& name, const LayoutValue& value, LayoutReader&) {
    if (name == "Name") {
        SetName(LayoutIdentifier(value));
        return true;
    }
    return false;
}

void Component::PeerRemoved(Component*) {}

void Component::DestroyComponents() {
    while (!owned_.empty()) delete owned_.back();  // each removes itself
}

void Component::Insert(Component* child) {
    owned_.push_back(child);
    child->owner_ = this;
}

void Component::Remove(Component* child) {
    Erase(owned_, child);
    child->owner_ = nullptr;
}

}  // namespace tarvik::fw
