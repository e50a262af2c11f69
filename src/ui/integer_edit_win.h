// An edit box that holds a whole number in its text: the interval and the
// alert threshold of the main window.
#pragma once

#include <cstdint>

#include "framework/controls_win.h"

namespace tarvik {

class TIntegerEdit : public fw::Edit {
public:
    Text ClassName() const override { return "TIntegerEdit"; }
    explicit TIntegerEdit(fw::Component* owner) : fw::Edit(owner) {}

    // The text read by the settings file's integer rule; 0 when it does not
    // read as a number.
    std::int32_t IntegerValue() const;
    // Writes the number as the text.
    void SetValue(std::int32_t value);

    bool ReadProperty(const Text& name, const fw::LayoutValue& value, fw::LayoutReader& reader) override;
};

}  // namespace tarvik
