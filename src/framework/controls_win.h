// The standard controls the forms use: labels, edit boxes, buttons, check
// boxes, group boxes and page controls with their pages.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/control_win.h"

namespace tarvik::fw {

enum class Alignment { taLeftJustify, taRightJustify, taCenter };
enum class BorderStyle { bsNone, bsSingle };

// A label sizes itself to its text unless AutoSize is cleared.
class Label : public Control {
public:
    Text ClassName() const override { return "TLabel"; }
    explicit Label(Component* owner);
    Alignment GetAlignment() const { return alignment_; }
    void SetAlignment(Alignment alignment);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) override;
    // The size fits the text again once the place is scaled.
    void ChangeDpi(int dpi, int previous) override;

protected:
    CreateParams GetCreateParams() override;
    void HandleCreated() override;
    bool Command(WORD code) override;
    void CaptionChanged() override;
    void FontChanged() override;
    bool MouseMakesClicks() const override { return false; }  // STN_CLICKED

private:
    void AdjustSize();

    Alignment alignment_ = Alignment::taLeftJustify;
    bool autoSize_ = true;
};

// The edit control reads its alignment and border only when it is created,
// so changing them makes the window anew (text, selection and focus stay).
class Edit : public Control {
public:
    Text ClassName() const override { return "TEdit"; }
    explicit Edit(Component* owner);
    Text GetText() const { return Caption(); }
    void SetText(const Text& text) { SetCaption(text); }
    // The most characters the user can type or paste; 0: the system's limit.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length);
    // With right-to-left reading, taLeftJustify draws the text at the right
    // end and taRightJustify at the left.
    Alignment GetAlignment() const { return alignment_; }
    void SetAlignment(Alignment alignment);
    // bsSingle: sunken with Ctl3D, else a plain line.
    fw::BorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(fw::BorderStyle style);
    NotifyEvent OnChange;
    bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) override;

protected:
    CreateParams GetCreateParams() override;
    void HandleCreated() override;
    void SaveWindowState() override;
    void BiDiModeChanged() override;
    void Ctl3DChanged() override;
    bool Command(WORD code) override;

private:
    int maxLength_ = 0;
    Alignment alignment_ = Alignment::taLeftJustify;
    fw::BorderStyle borderStyle_ = fw::BorderStyle::bsSingle;
    // The selection and modified flag of a window being made anew.
    bool stateKept_ = false;
    DWORD keptStart_ = 0, keptEnd_ = 0;
    bool keptModified_ = false;
};

class Button : public Control {
public:
    Text ClassName() const override { return "TButton"; }
    explicit Button(Component* owner);

    // Enter in the form presses its Default button, Escape its Cancel one.
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    // Pressed as by the user: runs OnClick.
    void Press() { Click(); }
    bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) override;

protected:
    CreateParams GetCreateParams() override;
    bool Command(WORD code) override;
    bool MouseMakesClicks() const override { return false; }  // BN_CLICKED

private:
    bool default_ = false;
    bool cancel_ = false;
};

// Every change of Checked, by the user or by the program, runs OnClick
// (except while the layout is being read).
class CheckBox : public Control {
public:
    Text ClassName() const override { return "TCheckBox"; }
    explicit CheckBox(Component* owner);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) override;

protected:
    CreateParams GetCreateParams() override;
    void HandleCreated() override;
    bool Command(WORD code) override;
    // With a theme, the text in the font's colour (custom draw).
    bool Notify(NMHDR& header, LRESULT& result) override;
    bool MouseMakesClicks() const override { return false; }  // BN_CLICKED
    void CaptionChanged() override;
    void FontChanged() override;

private:
    // Away from 96 dpi a font is not always exactly as much wider as the
    // scale: the box then grows to the right so that its text is not cut.
    void FitText();

    bool checked_ = false;
};

class GroupBox : public Control {
public:
    Text ClassName() const override { return "TGroupBox"; }
    explicit GroupBox(Component* owner);

protected:
    CreateParams GetCreateParams() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class TabSheet;

// Tabs drawn as buttons above the pages; exactly the active page is shown.
class PageControl : public Control {
public:
    Text ClassName() const override { return "TPageControl"; }
    explicit PageControl(Component* owner);
    ~PageControl() override;
    const std::vector<TabSheet*>& Pages() const { return pages_; }
    TabSheet* ActivePage() const { return activePage_; }
    void SetActivePage(TabSheet* page);
    NotifyEvent OnChange;
    bool ReadProperty(const Text& name, const LayoutValue& value, LayoutReader& reader) override;

protected:
    CreateParams GetCreateParams() override;
    void HandleCreated() override;
    bool Notify(NMHDR& header, LRESULT& result) override;
    void FontChanged() override;  // the tabs' height follows it
    void ChildAdded(Control& child) override;
    void ChildRemoved(Control& child) override;
    void BoundsChanged() override;

private:
    friend class TabSheet;
    void PageCaptionChanged(TabSheet& page);
    void PlacePages();
    void ShowActivePage();
    int IndexOf(const TabSheet* page) const;

    std::vector<TabSheet*> pages_;
    TabSheet* activePage_ = nullptr;
};

class TabSheet : public Control {
public:
    Text ClassName() const override { return "TTabSheet"; }
    explicit TabSheet(Component* owner);
    PageControl* Pages() const;

protected:
    CreateParams GetCreateParams() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void CaptionChanged() override;
};

}  // namespace tarvik::fw
