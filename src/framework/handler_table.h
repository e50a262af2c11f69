// The event handlers of a form, by the names its layout gives them.
#pragma once

#include <any>
#include <functional>
#include <map>
#include <type_traits>

#include "base/error.h"
#include "base/text.h"

namespace tarvik::fw {

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

}  // namespace tarvik::fw
