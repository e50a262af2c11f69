// A pop-up menu with its items, as the notification-area icon shows it.
#pragma once

#include <vector>

#include "framework/component.h"
#include "framework/events.h"

namespace tarvik::fw {

class PopupMenu;

class MenuItem : public Component {
public:
    Text ClassName() const override { return "TMenuItem"; }
    explicit MenuItem(Component* owner);
    ~MenuItem() override;

    const Text& Caption() const { return caption_; }
    void SetCaption(const Text& caption) { caption_ = caption; }
    // The item a double-click on the menu's icon chooses; shown in bold.
    bool Default() const { return default_; }
    void SetDefault(bool value) { default_ = value; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value) { enabled_ = value; }

    NotifyEvent OnClick;
    // What choosing the item does: its OnClick, with the item as sender.
    virtual void Click();

    PopupMenu* Menu() const { return menu_; }
    void SetParentComponent(Component* parent) override;
    bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) override;

private:
    friend class PopupMenu;
    Text caption_;
    bool default_ = false;
    bool enabled_ = true;
    PopupMenu* menu_ = nullptr;
};

class PopupMenu : public Component {
public:
    Text ClassName() const override { return "TPopupMenu"; }
    explicit PopupMenu(Component* owner);
    ~PopupMenu() override;

    // The top-level items in menu order.
    const std::vector<MenuItem*>& Items() const { return items_; }
    // Appends an item (it leaves any menu it was in).
    void Add(MenuItem& item);
    void Remove(MenuItem& item);

    // Whether the component that shows this menu shows it on its own.
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool value) { autoPopup_ = value; }

    // The component that showed the menu last, so that item handlers can tell
    // who raised it; forgotten when that component is destroyed.
    Component* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(Component* component);

    // Shows the menu at the screen point and tracks it until it closes; the
    // chosen item's Click runs before this returns (and may throw).
    void Popup(int x, int y);

    bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) override;

protected:
    void PeerRemoved(Component* peer) override;

private:
    std::vector<MenuItem*> items_;
    bool autoPopup_ = true;
    Component* popupComponent_ = nullptr;
};

}  // namespace tarvik::fw
