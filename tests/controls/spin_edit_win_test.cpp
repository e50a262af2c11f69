// The numeric field on a real form under Wine: keys go through the
// application's own message handling, as typed keys would.
#include "controls/spin_edit_win.h"

#include "controls/spin_button_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "framework/form_win.h"
#include "framework/layout.h"
#include "framework/layout_reader.h"
#include "support/window_test_support_win.h"

namespace tarvik {
namespace {

using testing::Pump;

class FieldForm : public fw::Form {
public:
    // `fieldProperties`: more of the field's layout, after its own.
    explicit FieldForm(const Text& fieldProperties = "") {
        RegisterSpinEditClass();
        auto count = [](int& counter) { return [&counter](fw::Component&) { ++counter; }; };
        Handlers().Add<fw::NotifyEvent>("Changed", count(changes));
        Handlers().Add<fw::NotifyEvent>("Top", count(tops));
        Handlers().Add<fw::NotifyEvent>("Ok", count(oks));
        Handlers().Add<fw::NotifyEvent>("Cancel", count(cancels));
        Handlers().Add<fw::NotifyEvent>("Exit", [this](fw::Component&) { exitValue = field->IntegerValue(); });
        AddLoggingHandlers();
        fw::LayoutReader reader(*this, Handlers());
        reader.Read(fw::ParseLayout(R"(
F : TFieldForm {
    ClientWidth = 200
    ClientHeight = 100
    Field : TSpinEdit { Left = 8 Top = 8 Width = 57 Height = 21 Decimal = 0 Value = 5
                        OnChange = Changed OnTopClick = Top OnExit = Exit )" + fieldProperties + R"( }
    Other : TEdit { Left = 8 Top = 40 Width = 80 Height = 21 }
    OkButton : TButton { Left = 100 Top = 8 Width = 80 Height = 25 Default = true OnClick = Ok }
    CancelButton : TButton { Left = 100 Top = 40 Width = 80 Height = 25 Cancel = true OnClick = Cancel }
})"),
                    "TFieldForm");
        field = dynamic_cast<TSpinEdit*>(FindComponent("Field"));
        other = dynamic_cast<fw::Edit*>(FindComponent("Other"));
        Show();
        field->SetFocus();
        Pump(20);
        changes = 0;
    }
    // A key pressed and released on the field, through the message loop.
    void Key(WPARAM key) {
        PostMessageA(field->Handle(), WM_KEYDOWN, key, 1);
        PostMessageA(field->Handle(), WM_KEYUP, key, 0xC0000001);
        Pump(20);
    }
    void Type(const Text& characters) {
        for (char c : characters) PostMessageA(field->Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
        Pump(20);
    }
    // Handlers that write what they saw into `log`: OnKeyDown consumes Down,
    // OnKeyPress turns '8' into '9', OnContextPopup shows no menu.
    void AddLoggingHandlers() {
        auto note = [this](const char* what) { return [this, what](fw::Component&) { log.push_back(what); }; };
        Handlers().Add<fw::NotifyEvent>("TopLogged", note("top"));
        Handlers().Add<fw::NotifyEvent>("Click", note("click"));
        Handlers().Add<fw::NotifyEvent>("DblClick", note("double click"));
        Handlers().Add<fw::KeyEvent>("KeyDown", [this](fw::Component&, std::uint16_t& key, fw::ShiftState) {
            log.push_back("down " + std::to_string(key));
            if (key == VK_DOWN) key = 0;
        });
        Handlers().Add<fw::KeyEvent>("KeyUp", [this](fw::Component&, std::uint16_t& key, fw::ShiftState) {
            log.push_back("up " + std::to_string(key));
        });
        Handlers().Add<fw::KeyPressEvent>("KeyPress", [this](fw::Component&, char& key) {
            log.push_back(std::string("press ") + key);
            if (key == '8') key = '9';
        });
        Handlers().Add<fw::MouseEvent>("MouseDown", [this](fw::Component&, fw::MouseButton, fw::ShiftState shift, int,
                                                           int) {
            log.push_back(shift & fw::ssDouble ? "mouse down double" : "mouse down");
        });
        Handlers().Add<fw::MouseEvent>("MouseUp", [this](fw::Component&, fw::MouseButton, fw::ShiftState, int, int) {
            log.push_back("mouse up");
        });
        Handlers().Add<fw::MouseWheelUpDownEvent>("WheelDown", [this](fw::Component&, fw::ShiftState, int, int,
                                                                      bool&) { log.push_back("wheel down"); });
        Handlers().Add<fw::ContextPopupEvent>("Popup", [this](fw::Component&, int, int, bool& handled) {
            log.push_back("popup");
            handled = true;
        });
    }
    std::vector<std::string> log;
    TSpinEdit* field = nullptr;
    fw::Edit* other = nullptr;
    int changes = 0, tops = 0, oks = 0, cancels = 0;
    std::int32_t exitValue = -99;
};

TEST(SpinEdit, TheLayoutsDecimalThenValueGiveFive) {
    FieldForm form;
    EXPECT_EQ(form.field->GetText(), "5");
    EXPECT_EQ(form.field->IntegerValue(), 5);
}

TEST(SpinEdit, ArrowKeysStepWithOneChangeEachAndEnterPressesTheDefaultButton) {
    FieldForm form;
    form.Key(VK_UP);
    EXPECT_EQ(form.field->GetText(), "6");
    form.Key(VK_DOWN);
    form.Key(VK_DOWN);
    EXPECT_EQ(form.field->GetText(), "4");
    EXPECT_EQ(form.changes, 3);
    EXPECT_EQ(form.tops, 1);
    EXPECT_TRUE(form.field->Modified());
    form.Key(VK_RETURN);
    EXPECT_EQ(form.oks, 1);
    EXPECT_EQ(form.field->GetText(), "4");  // Enter inserts nothing
    form.Key(VK_ESCAPE);
    EXPECT_EQ(form.cancels, 1);
    EXPECT_EQ(form.field->GetText(), "4");
}

TEST(SpinEdit, TheKeyFilterAndTheEditorAndReadOnlySwitches) {
    FieldForm form;
    form.field->SetText("");
    form.Type("a5-");
    EXPECT_EQ(form.field->GetText(), "5-");  // the letter is dropped, the sign may go anywhere
    EXPECT_EQ(form.field->IntegerValue(), 0);

    form.field->SetEditorEnabled(false);
    SendMessageA(form.field->Handle(), EM_SETSEL, 0, -1);
    form.Type("7\b");
    SendMessageA(form.field->Handle(), WM_CUT, 0, 0);
    EXPECT_EQ(form.field->GetText(), "5-");
    form.field->SetText("1");
    form.Key(VK_UP);  // the keys still step
    EXPECT_EQ(form.field->GetText(), "2");

    form.field->SetReadOnly(true);
    form.tops = 0;
    form.Key(VK_UP);
    EXPECT_EQ(form.field->GetText(), "2");
    EXPECT_EQ(form.tops, 0);
}

TEST(SpinEdit, FocusArrivalSelectsAllAndLeavingCorrectsOnlyNumbersOutOfBounds) {
    FieldForm form;
    form.field->SetMinValue(1);
    form.field->SetMaxValue(10);
    const struct { Text typed, left; std::int32_t seenOnExit; } cases[] = {
        {"0", "1", 0}, {"11", "10", 11}, {"007", "007", 7}, {"+5", "+5", 5}, {"abc", "abc", 1},
    };
    for (const auto& c : cases) {
        form.field->SetText(c.typed);
        form.other->SetFocus();
        EXPECT_EQ(form.field->GetText(), c.left) << c.typed;
        EXPECT_EQ(form.exitValue, c.seenOnExit) << c.typed;
        form.field->SetFocus();
        DWORD start = 1, end = 0;
        SendMessageA(form.field->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, form.field->GetText().size());
    }
}

TEST(SpinEdit, TheDiagonalButtonSitsInItsSquareAndSteps) {
    FieldForm form;
    fw::Control* host = form.field->Host();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->Left(), 57 - 21 - 1);
    EXPECT_EQ(host->Top(), -1);
    EXPECT_EQ(host->Width(), 18);
    EXPECT_EQ(host->Height(), 18);
    ASSERT_NE(form.field->Button(), nullptr);
    EXPECT_EQ(form.field->Button()->Width(), 18);
    EXPECT_EQ(form.field->Button()->Height(), 18);
    auto press = [&](int x, int y) {
        const LPARAM at = MAKELPARAM(x, y);
        SendMessageA(host->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(host->Handle(), WM_LBUTTONUP, 0, at);
        Pump(20);
    };
    press(4, 4);    // upper half
    EXPECT_EQ(form.field->GetText(), "6");
    EXPECT_EQ(form.tops, 1);
    press(14, 14);  // lower half
    press(14, 14);
    EXPECT_EQ(form.field->GetText(), "4");

    form.field->SetButtonKind(bkStandard);
    EXPECT_EQ(form.field->Host(), nullptr);
    ASSERT_NE(form.field->UpDown(), nullptr);
    EXPECT_EQ(form.field->UpDown()->Width(), TSpinUpDown::StandardWidth());
}

TEST(SpinEdit, TypeAndDecimalWritesRewriteTheText) {
    FieldForm form;
    form.field->SetText("10");
    form.field->SetValueType(vtHex);
    EXPECT_EQ(form.field->GetText(), "10");  // now sixteen
    EXPECT_EQ(form.field->IntegerValue(), 16);
    form.field->SetText("1F");
    form.field->SetValueType(vtInteger);
    EXPECT_EQ(form.field->GetText(), "0");
    form.field->SetText("abc");
    form.field->SetDecimal(3);
    EXPECT_EQ(form.field->GetText(), "0");
    form.field->SetIncrement(0.5L);
    form.field->SetValueType(vtFloat);
    form.field->SetValueType(vtInteger);
    EXPECT_EQ(form.field->Increment(), 1);  // 0.5 rounds to the even 0, which becomes 1
}

// Writes of the whole text reach OnChange although the multi-line edit
// control reports none of them itself.
TEST(SpinEdit, EveryWriteThatChangesTheTextRaisesOnChangeOnce) {
    FieldForm form;
    const struct { const char* name; Text before; std::function<void(TSpinEdit&)> write; Text after; int changes; } cases[] = {
        {"Value", "5", [](TSpinEdit& f) { f.SetValue(7); }, "7", 1},
        {"equal Value", "7", [](TSpinEdit& f) { f.SetValue(7); }, "7", 0},
        {"Decimal", "abc", [](TSpinEdit& f) { f.SetDecimal(3); }, "0", 1},
        {"ValueType", "0F", [](TSpinEdit& f) { f.SetValueType(vtHex); }, "F", 1},
        {"equal ValueType", "010", [](TSpinEdit& f) { f.SetValueType(vtInteger); }, "010", 0},
        {"SetText", "5", [](TSpinEdit& f) { f.SetText("6"); }, "6", 1},
        {"exit correction", "0", [&form](TSpinEdit& f) { f.SetMinValue(1), f.SetMaxValue(10), form.other->SetFocus(); }, "1", 1},
    };
    for (const auto& c : cases) {
        form.field->SetValueType(vtInteger);
        form.field->SetMinValue(0);
        form.field->SetMaxValue(0);
        form.field->SetFocus();
        form.field->SetText(c.before);
        form.changes = 0;
        c.write(*form.field);
        EXPECT_EQ(form.field->GetText(), c.after) << c.name;
        EXPECT_EQ(form.changes, c.changes) << c.name;
    }
}

// Which third of the text rectangle the first character is drawn in.
enum Third { kLeft, kCentre, kRight };
Third FirstCharacter(TSpinEdit& field) {
    RECT text{};
    SendMessageA(field.Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    const int x = static_cast<short>(LOWORD(SendMessageA(field.Handle(), EM_POSFROMCHAR, 0, 0)));
    return static_cast<Third>(std::clamp<LONG>((x - text.left) * 3 / (text.right - text.left), 0, 2));
}

// The edit control reads these only when it is created.
TEST(SpinEdit, AlignmentReadingOrderAndBorderFromTheLayoutPlaceTextAndButton) {
    const struct { const char* layout; Third text; int hostLeft, hostTop, hostSide; } cases[] = {
        {"Alignment = taRightJustify", kRight, 35, -1, 18},
        {"Alignment = taCenter", kCentre, 35, -1, 18},
        {"BiDiMode = bdRightToLeft", kRight, -1, -1, 18},
        {"BiDiMode = bdRightToLeft Alignment = taRightJustify", kLeft, -1, -1, 18},
        {"Ctl3D = false", kLeft, 36, 0, 21},
        {"BorderStyle = bsNone", kLeft, 36, 0, 21},
    };
    for (const auto& c : cases) {
        FieldForm form(c.layout);
        EXPECT_EQ(FirstCharacter(*form.field), c.text) << c.layout;
        const fw::Control& host = *form.field->Host();
        EXPECT_EQ(host.Left(), c.hostLeft) << c.layout;
        EXPECT_EQ(host.Top(), c.hostTop) << c.layout;
        EXPECT_EQ(host.Width(), c.hostSide) << c.layout;
    }
}

// The field makes its window anew for the alignment and keeps everything the
// user sees of it.
TEST(SpinEdit, AlignmentWrittenInCodeKeepsTextSelectionFocusButtonAndTabPlace) {
    FieldForm form;
    int exits = 0;
    form.field->OnExit = [&exits](fw::Component&) { ++exits; };
    const HWND before = form.field->Handle();
    const HWND nextInTabOrder = GetWindow(before, GW_HWNDNEXT);
    form.field->SetText("7");
    SendMessageA(before, EM_SETSEL, 1, 1);
    SendMessageA(before, EM_SETMODIFY, TRUE, 0);

    form.field->SetAlignment(fw::Alignment::taRightJustify);
    const HWND after = form.field->Handle();
    EXPECT_FALSE(IsWindow(before));
    EXPECT_EQ(FirstCharacter(*form.field), kRight);
    EXPECT_EQ(form.field->GetText(), "7");
    DWORD start = 0, end = 0;
    SendMessageA(after, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 1u);
    EXPECT_TRUE(form.field->Modified());
    EXPECT_EQ(GetFocus(), after);
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(fw::Control::FromHandle(after), form.field);
    EXPECT_EQ(GetParent(form.field->Host()->Handle()), after);
    EXPECT_EQ(GetWindow(after, GW_HWNDNEXT), nextInTabOrder);
    EXPECT_EQ(form.changes, 1);  // the "7" only
}

// The events every edit box has, from a layout: the key events come before
// the field's own handling of the key, the filter before OnKeyPress.
TEST(SpinEdit, InheritedEventsComeInTheirOrder) {
    FieldForm form("OnKeyDown = KeyDown OnKeyPress = KeyPress OnKeyUp = KeyUp OnClick = Click OnDblClick = DblClick "
                   "OnMouseDown = MouseDown OnMouseUp = MouseUp OnMouseWheelDown = WheelDown OnContextPopup = Popup "
                   "OnTopClick = TopLogged");
    const HWND field = form.field->Handle();
    auto send = [field](UINT message, WPARAM wParam, LPARAM lParam) { SendMessageA(field, message, wParam, lParam); };
    const LPARAM at = MAKELPARAM(4, 4);
    POINT screen{4, 4};
    ClientToScreen(field, &screen);
    using Log = std::vector<std::string>;
    const struct { const char* name; std::function<void()> act; Log log; Text text; } cases[] = {
        {"Up", [&] { send(WM_KEYDOWN, VK_UP, 1), send(WM_KEYUP, VK_UP, 0xC0000001); }, {"down 38", "top", "up 38"}, "6"},
        {"Down consumed", [&] { send(WM_KEYDOWN, VK_DOWN, 1); }, {"down 40"}, "6"},
        {"a filtered out", [&] { send(WM_CHAR, 'a', 1); }, {}, "6"},
        {"8 made 9", [&] { send(EM_SETSEL, 0, -1), send(WM_CHAR, '8', 1); }, {"press 8"}, "9"},
        {"click", [&] { send(WM_LBUTTONDOWN, MK_LBUTTON, at), send(WM_LBUTTONUP, 0, at); },
         {"mouse down", "click", "mouse up"}, "9"},
        {"double click", [&] { send(WM_LBUTTONDBLCLK, MK_LBUTTON, at), send(WM_LBUTTONUP, 0, at); },
         {"double click", "mouse down double", "mouse up"}, "9"},
        {"wheel", [&] { send(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(screen.x, screen.y)); },
         {"wheel down"}, "9"},
        {"menu", [&] { send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(field), MAKELPARAM(screen.x, screen.y)); },
         {"popup"}, "9"},
    };
    for (const auto& c : cases) {
        form.log.clear();
        c.act();
        EXPECT_EQ(form.log, c.log) << c.name;
        EXPECT_EQ(form.field->GetText(), c.text) << c.name;
    }
}

// Who steps is the sender; the modifiers are not looked at; writing the type
// the field already has does nothing.
TEST(SpinEdit, StepsNameTheirSenderAltArrowsStepAndAnEqualTypeChangesNothing) {
    struct Field : TSpinEdit {
        using TSpinEdit::TSpinEdit;
        void StepUp(fw::Component& sender) override { senders.push_back(&sender), TSpinEdit::StepUp(sender); }
        void StepDown(fw::Component& sender) override { senders.push_back(&sender), TSpinEdit::StepDown(sender); }
        std::vector<fw::Component*> senders;
    };
    fw::Form form;
    auto* field = new Field(&form);
    field->SetParent(&form);
    field->SetBounds(8, 8, 57, 21);
    form.Show();
    const HWND host = field->Host()->Handle();
    SendMessageA(host, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageA(host, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    ASSERT_EQ(field->senders.size(), 1u);
    EXPECT_EQ(field->senders.back(), field->Button());

    const LPARAM alt = 1 | (1 << 29);
    SendMessageA(field->Handle(), WM_SYSKEYDOWN, VK_UP, alt);
    SendMessageA(field->Handle(), WM_SYSKEYDOWN, VK_UP, alt);
    SendMessageA(field->Handle(), WM_SYSKEYDOWN, VK_DOWN, alt);
    EXPECT_EQ(field->GetText(), "2");
    EXPECT_EQ(field->senders.back(), field);

    field->SetButtonKind(bkStandard);
    const HWND upDown = field->UpDown()->Handle();
    SendMessageA(upDown, UDM_SETPOS32, 0, 1);
    SendMessageA(field->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 1), reinterpret_cast<LPARAM>(upDown));
    EXPECT_EQ(field->GetText(), "3");
    EXPECT_EQ(field->senders.back(), field->UpDown());

    field->SetIncrement(0.5L);
    field->SetValueType(vtInteger);
    EXPECT_EQ(field->Increment(), 0.5L);
}

TEST(SpinEdit, AFieldMadeTooLowGrowsBack) {
    FieldForm form;
    form.field->SetBounds(8, 8, 57, 5);
    EXPECT_GT(form.field->Height(), 5);
    EXPECT_GE(form.field->Height(), 17);  // an 8-point font's cell, the borders and one pixel
}

}  // namespace
}  // namespace tarvik
