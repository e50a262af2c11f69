#include <gtest/gtest.h>

#include <vector>

#include "base/error.h"
#include "framework/component_classes.h"
#include "framework/controls_win.h"
#include "framework/form_win.h"
#include "framework/layout.h"
#include "framework/layout_reader.h"
#include "framework/menu.h"
#include "framework/timer_win.h"

namespace tarvik::fw {
namespace {

std::vector<Text> recorded;

// A component that notes each property write with its loading state, and
// the end of loading.
class Recorder : public Component {
public:
    explicit Recorder(Component* owner) : Component(owner) {}
    bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) override {
        if (name == "Peer") {
            reader.Reference(value, [this](Component* peer) { recorded.push_back(Name() + ".Peer=" + peer->Name()); });
            return true;
        }
        if (name != "Note") return Component::ReadProperty(name, value, reader);
        recorded.push_back(Name() + (IsLoading() ? " loading " : " loaded ") + LayoutReader::String(value));
        return true;
    }
    void FinishLoading() override {
        Component::FinishLoading();
        recorded.push_back(Name() + " finished");
    }
};

class TestForm : public Form {
public:
    TestForm() {
        RegisterComponentClass("TRecorder", [](Component& owner) -> Component* { return new Recorder(&owner); });
        Handlers().Add<NotifyEvent>("Clicked", [this](Component& sender) { clicks.push_back(sender.Name()); });
        Handlers().Add<CloseQueryEvent>("AskClose", [](Component&, bool&) {});
    }
    void Read(const Text& text) {
        LayoutReader reader(*this, Handlers());
        reader.Read(ParseLayout(text), "TTestForm");
    }
    std::vector<Text> clicks;
};

TEST(LayoutReader, BuildsNestedControlsAppliesPropertiesInOrderAndResolvesLaterNames) {
    recorded.clear();
    TestForm form;
    form.Read(R"(
Form1 : TTestForm {
    Font.Height = -13
    First : TRecorder {
        Note = "a"
        Peer = Last
    }
    Pages : TPageControl {
        ActivePage = Second
        One : TTabSheet { Caption = "1" }
        Second : TTabSheet {
            Caption = "2"
            Box : TCheckBox {
                Width = 80
                Height = 17
                Checked = true
                Font.Style = [fsBold]
                OnClick = Clicked
            }
        }
    }
    Last : TRecorder { Note = "b" }
})");
    EXPECT_EQ(form.Name(), "Form1");
    EXPECT_EQ(recorded, (std::vector<Text>{"First loading a", "Last loading b", "First.Peer=Last", "First finished",
                                           "Last finished"}));

    auto* pages = dynamic_cast<PageControl*>(form.FindComponent("Pages"));
    auto* second = dynamic_cast<TabSheet*>(form.FindComponent("Second"));
    ASSERT_TRUE(pages && second);
    EXPECT_EQ(pages->ActivePage(), second);
    EXPECT_EQ(pages->Pages().size(), 2u);
    EXPECT_EQ(GetParent(second->Handle()), pages->Handle());

    auto* box = dynamic_cast<CheckBox*>(form.FindComponent("Box"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Parent(), second);
    EXPECT_EQ(box->GetFont().Height(), -13);  // from the form, through the page
    EXPECT_EQ(box->GetFont().Style(), unsigned{fsBold});
    EXPECT_FALSE(box->ParentFont());
    EXPECT_TRUE(box->Checked());
    EXPECT_TRUE(form.clicks.empty());  // not while loading

    box->SetChecked(true);
    EXPECT_TRUE(form.clicks.empty());  // the same state runs nothing
    box->SetChecked(false);
    form.Show();  // a click needs a visible button
    SendMessageA(box->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.clicks, (std::vector<Text>{"Box", "Box"}));
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    // Only the active page shows.
    EXPECT_TRUE(IsWindowVisible(second->Handle()));
    EXPECT_FALSE(IsWindowVisible(form.FindComponent("One") ? dynamic_cast<Control*>(form.FindComponent("One"))->Handle() : nullptr));
}

TEST(LayoutReader, RefusesWhatDoesNotApplyNamingTheLine) {
    struct Case {
        const char* layout;
        const char* message;
    };
    const Case cases[] = {
        {"F : TOther {\n}", "Layout line 1: the layout is for TOther, not TTestForm"},
        {"F : TTestForm {\n  Bogus = 1\n}", "Layout line 2: unknown property Bogus of F"},
        {"F : TTestForm {\n  Font.Bogus = 1\n}", "Layout line 2: unknown property Font.Bogus of F"},
        {"F : TTestForm {\n  X : TNoSuchClass {\n  }\n}", "Layout line 2: unknown class TNoSuchClass"},
        {"F : TTestForm {\n  Caption = 5\n}", "Layout line 2: Caption of F: expected a string, found an integer"},
        {"F : TTestForm {\n  Left = 0x100000000\n}", "Layout line 2: Left of F: the number 4294967296 is out of range"},
        {"F : TTestForm {\n  OnCreate = Missing\n}", "Layout line 2: OnCreate of F: Unknown event handler Missing"},
        {"F : TTestForm {\n  OnCreate = AskClose\n}",
         "Layout line 2: OnCreate of F: Event handler AskClose does not fit the event"},
        {"F : TTestForm {\n  P : TPageControl {\n    ActivePage = Nowhere\n  }\n}", "Layout line 3: no component Nowhere"},
        {"F : TTestForm {\n  A : TLabel {\n  }\n  A : TLabel {\n  }\n}", "Layout line 4: a second component named A"},
        {"F : TTestForm {\n  T : TTimer {\n    L : TLabel {\n    }\n  }\n}",
         "Layout line 3: Component L cannot be placed inside T"},
        {"F : TTestForm {\n  N : TMenuItem {\n  }\n}", "Layout line 2: Component N cannot be placed inside F"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        TestForm form;
        try {
            form.Read(c.layout);
            ADD_FAILURE() << "no error";
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

}  // namespace
}  // namespace tarvik::fw
