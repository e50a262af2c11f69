#include "framework/menu.h"

#include <windows.h>

#include <algorithm>

#include "base/error.h"
#include "framework/application_win.h"
#include "framework/layout.h"
#include "framework/layout_reader.h"
#include "system/handles_win.h"
#include "system/system_error_win.h"
#include "system/wide_text_win.h"

namespace tarvik::fw {

// ---- MenuItem

MenuItem::MenuItem(Component* owner) : Component(owner) {}

MenuItem::~MenuItem() {
    BeginDestroy();
    if (menu_) menu_->Remove(*this);
}

void MenuItem::Click() { Raise(OnClick, *this); }

void MenuItem::SetParentComponent(Component* parent) {
    // An item belongs inside a menu; anywhere else the layout is wrong.
    auto* menu = dynamic_cast<PopupMenu*>(parent);
    if (!menu)
        throw Error("Component " + Name() + " cannot be placed inside " + (parent ? parent->Name() : Text("nothing")));
    menu->Add(*this);
}

bool MenuItem::ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) {
    if (name == "Caption") SetCaption(LayoutReader::String(value));
    else if (name == "Default") SetDefault(LayoutReader::Boolean(value));
    else if (name == "Enabled") SetEnabled(LayoutReader::Boolean(value));
    else if (name == "OnClick") OnClick = reader.Handler<NotifyEvent>(value);
    else return Component::ReadProperty(name, value, reader);
    return true;
}

// ---- PopupMenu

PopupMenu::PopupMenu(Component* owner) : Component(owner) {}

PopupMenu::~PopupMenu() {
    BeginDestroy();
    for (MenuItem* item : items_) item->menu_ = nullptr;
    items_.clear();
}

void PopupMenu::Add(MenuItem& item) {
    if (item.menu_) item.menu_->Remove(item);
    items_.push_back(&item);
    item.menu_ = this;
}

void PopupMenu::Remove(MenuItem& item) {
    items_.erase(std::remove(items_.begin(), items_.end(), &item), items_.end());
    if (item.menu_ == this) item.menu_ = nullptr;
}

void PopupMenu::SetPopupComponent(Component* component) {
    if (component == popupComponent_) return;
    if (popupComponent_) RemoveFreeNotification(popupComponent_);
    popupComponent_ = component;
    if (component) FreeNotification(component);
}

void PopupMenu::Popup(int x, int y) {
    const std::vector<MenuItem*> shown = items_;  // the ids are indexes into this
    MenuHandle menu(CreatePopupMenu());
    if (!menu) ThrowSystemError("Unable to create a menu", GetLastError());
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const MenuItem& item = *items_[i];
        const UINT flags = MF_STRING | (item.Enabled() ? MF_ENABLED : MF_GRAYED);
        if (!AppendMenuW(menu.Get(), flags, i + 1, Wide(item.Caption()).c_str()))
            ThrowSystemError("Unable to add the menu item " + item.Name(), GetLastError());
        if (item.Default()) SetMenuDefaultItem(menu.Get(), static_cast<UINT>(i + 1), FALSE);
    }
    HWND owner = Application::Instance().Handle();
    const auto chosen = static_cast<std::size_t>(TrackPopupMenu(
        menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0, owner, nullptr));
    // Lets the menu close properly when the owner was put in the foreground.
    PostMessageA(owner, WM_NULL, 0, 0);
    if (chosen < 1 || chosen > shown.size()) return;
    // An item removed while the menu was open is not clicked.
    MenuItem* item = shown[chosen - 1];
    if (std::find(items_.begin(), items_.end(), item) != items_.end()) item->Click();
}

bool PopupMenu::ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) {
    if (name != "AutoPopup") return Component::ReadProperty(name, value, reader);
    SetAutoPopup(LayoutReader::Boolean(value));
    return true;
}

void PopupMenu::PeerRemoved(Component* peer) {
    if (peer == popupComponent_) popupComponent_ = nullptr;
}

}  // namespace tarvik::fw
