// A one-line edit box for a number, with a pair of spin buttons inside its
// right end: the interval and the alert threshold of the main window. The
// number lives in the text; the rules between the two are spin_value.h's.
#pragma once

#include <cstdint>

#include "controls/spin_value.h"
#include "framework/controls_win.h"

namespace tarvik {
class TSpinButton;
class TSpinUpDown;
}  // namespace tarvik

namespace tarvik {

enum TSpinButtonKind { bkStandard, bkDiagonal };

class TSpinEdit : public fw::Edit {
public:
    Text ClassName() const override { return "TSpinEdit"; }
    explicit TSpinEdit(fw::Component* owner);
    ~TSpinEdit() override;

    // Parsed afresh from the text on every read; writing clamps and formats.
    Extended Value() const;
    void SetValue(Extended value);
    // The value truncated, its low 32 bits: 0 for a text that does not read.
    std::int32_t IntegerValue() const;

    bool ArrowKeys() const { return arrowKeys_; }
    void SetArrowKeys(bool value) { arrowKeys_ = value; }
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool value) { autoSelect_ = value; }
    TSpinButtonKind ButtonKind() const { return buttonKind_; }
    void SetButtonKind(TSpinButtonKind kind);
    int Decimal() const { return decimal_; }
    void SetDecimal(int decimal);
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool value) { editorEnabled_ = value; }
    Extended Increment() const { return increment_; }
    void SetIncrement(Extended value) { increment_ = value; }
    Extended MinValue() const { return minValue_; }
    void SetMinValue(Extended value) { minValue_ = value; }
    Extended MaxValue() const { return maxValue_; }
    void SetMaxValue(Extended value) { maxValue_ = value; }
    TValueType ValueType() const { return valueType_; }
    void SetValueType(TValueType type);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool Modified() const;

    // The key filter for one typed character.
    virtual bool AcceptsChar(char c) const;
    // One step up or down: the buttons, the Up and Down keys and the up-down
    // control call these.
    virtual void StepUp(fw::Component& sender);
    virtual void StepDown(fw::Component& sender);

    fw::NotifyEvent OnTopClick;
    fw::NotifyEvent OnBottomClick;

    bool ReadProperty(const Text& name, const fw::LayoutValue& value, fw::LayoutReader& reader) override;

protected:
    CreateParams GetCreateParams() override;
    void HandleCreated() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool Command(WORD code) override;
    void BoundsChanged() override;
    void FontChanged() override;
    void KeyDown(std::uint16_t& key, fw::ShiftState shift) override;
    void KeyPress(char& key) override;
    void DoEnter() override;
    void DoExit() override;
    void EnabledChanged() override;

    // The height below which the field grows back: the font's cell, the
    // borders and one pixel.
    int MinHeight();

private:
    class ButtonHost;

    void BuildButtonPart();
    void DestroyButtonPart();
    void LayoutButtons();
    void Step(Extended delta, const fw::NotifyEvent& after);
    LRESULT WriteText(WPARAM wParam, const Text& text);
    // OnChange, unless a step is under way or the field is going.
    void TextChanged();
    void SetTextRect();
    char DecimalSeparator() const;

    bool arrowKeys_ = true;
    bool autoSelect_ = true;
    TSpinButtonKind buttonKind_ = bkDiagonal;
    int decimal_ = 2;
    bool editorEnabled_ = true;
    Extended increment_ = 1;
    Extended minValue_ = 0;
    Extended maxValue_ = 0;
    TValueType valueType_ = vtInteger;
    bool readOnly_ = false;
    bool changing_ = false;  // a step rewrites the text, or the field is going
    bool settingText_ = false;  // the whole text is being written
    // The button part, owned: a host square inside the edit with the spin
    // button (bkDiagonal), or the up-down control (bkStandard).
    ButtonHost* host_ = nullptr;
    TSpinButton* button_ = nullptr;
    TSpinUpDown* upDown_ = nullptr;

public:
    // The square that holds the spin button (bkDiagonal), or null.
    fw::Control* Host() const;
    TSpinButton* Button() const { return button_; }
    TSpinUpDown* UpDown() const { return upDown_; }
};

void RegisterSpinEditClass();

}  // namespace tarvik
