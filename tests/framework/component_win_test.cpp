#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "framework/component.h"
#include "framework/menu.h"

namespace tarvik::fw {
namespace {

// Records its destruction and the peers it was told about.
class Probe : public Component {
public:
    Probe(Component* owner, const Text& name, std::vector<Text>& log) : Component(owner), log_(log) {
        SetName(name);
    }
    ~Probe() override {
        BeginDestroy();
        log_.push_back("destroyed " + Name());
    }
    Component* reference = nullptr;
    void Refer(Component* peer) {
        reference = peer;
        FreeNotification(peer);
    }

protected:
    void PeerRemoved(Component* peer) override {
        log_.push_back(Name() + " told of " + peer->Name());
        if (peer == reference) reference = nullptr;
    }

private:
    std::vector<Text>& log_;
};

TEST(Component, OwnerDestroysOwnedNewestFirst) {
    std::vector<Text> log;
    auto* owner = new Probe(nullptr, "owner", log);
    new Probe(owner, "a", log);
    auto* b = new Probe(owner, "b", log);
    new Probe(owner, "c", log);
    delete b;  // an owned component destroyed early leaves its owner
    EXPECT_EQ(owner->Components().size(), 2u);
    EXPECT_EQ(owner->FindComponent("c")->Name(), "c");
    EXPECT_EQ(owner->FindComponent("b"), nullptr);
    log.clear();
    delete owner;
    EXPECT_EQ(log, (std::vector<Text>{"destroyed owner", "destroyed c", "destroyed a"}));
}

TEST(Component, PeerIsToldWhenReferredComponentGoesAndNotAfterItselfGoes) {
    std::vector<Text> log;
    auto* menu = new Probe(nullptr, "menu", log);
    auto* icon = new Probe(nullptr, "icon", log);
    icon->Refer(menu);
    delete menu;
    EXPECT_EQ(icon->reference, nullptr);
    EXPECT_NE(std::find(log.begin(), log.end(), "icon told of menu"), log.end());

    // The other way round: the referring side goes first, and the referred
    // one must not call into it later.
    auto* menu2 = new Probe(nullptr, "menu2", log);
    icon->Refer(menu2);
    delete icon;
    log.clear();
    delete menu2;
    EXPECT_EQ(log, (std::vector<Text>{"destroyed menu2"}));
}

TEST(PopupMenu, ItemsClickAndForgetTheirMenuAndPopupComponent) {
    Component form;
    auto* menu = new PopupMenu(&form);
    auto* first = new MenuItem(&form);
    auto* second = new MenuItem(&form);
    first->SetParentComponent(menu);
    second->SetParentComponent(menu);
    ASSERT_EQ(menu->Items(), (std::vector<MenuItem*>{first, second}));

    Component* sender = nullptr;
    second->OnClick = [&](Component& s) { sender = &s; };
    second->Click();
    EXPECT_EQ(sender, second);
    first->Click();  // no handler: nothing happens

    delete first;
    EXPECT_EQ(menu->Items(), (std::vector<MenuItem*>{second}));

    auto* shower = new Component(&form);
    menu->SetPopupComponent(shower);
    delete shower;
    EXPECT_EQ(menu->PopupComponent(), nullptr);

    delete menu;  // before its item: the item must not reach back into it
    EXPECT_EQ(second->Menu(), nullptr);
}

}  // namespace
}  // namespace tarvik::fw
