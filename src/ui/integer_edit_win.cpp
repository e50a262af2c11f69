#include "ui/integer_edit_win.h"

#include "base/integer_text.h"
#include "framework/layout.h"
#include "framework/layout_reader.h"

namespace tarvik {

std::int32_t TIntegerEdit::IntegerValue() const {
    std::int32_t value = 0;
    return TryParseInt32(GetText(), value) ? value : 0;
}

void TIntegerEdit::SetValue(std::int32_t value) { SetText(IntToText(value)); }

bool TIntegerEdit::ReadProperty(const Text& name, const fw::LayoutValue& value, fw::LayoutReader& reader) {
    if (name != "Value") return fw::Edit::ReadProperty(name, value, reader);
    SetValue(fw::LayoutReader::Int32(value));
    return true;
}

}  // namespace tarvik
