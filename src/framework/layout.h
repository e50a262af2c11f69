// The window layout: a small declarative text compiled into the program as a
// resource and read at run time. This is only its parsed form; applying it to
// real windows is the framework's business, one property write at a time in
// the listed order.
//
//   Form1 : TForm1 {                 # a component: Name : Class { ... }
//       Caption = "a\r\nb"           # string, escapes \" \\ \r \n \t \xHH
//       Color = 0xFFFFFF             # integer: decimal or 0x hex, optional '-'
//       Increment = 0.5              # floating point: decimal with '.' or an
//                                    # exponent (1e3, -2.5E-4), as long double
//       Font.Style = [fsBold]        # set of identifiers
//       Visible = false              # boolean
//       OnCreate = FormCreate        # identifier (handler, enum, reference)
//       Icon.Data = <00 01 FF>       # binary: hex digit pairs
//       Status : TCheckBox { ... }   # a child component
//   }
//
// The text is bytes: string values pass bytes of 0x80 and above through
// unchanged (the resource holds Windows-1251).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace tarvik::fw {

struct LayoutValue {
    enum class Kind { Integer, String, Boolean, Identifier, Set, Binary, Float };
    Kind kind = Kind::Integer;
    std::int64_t integer = 0;         // Integer
    long double real = 0;             // Float (always finite)
    bool boolean = false;             // Boolean
    Text text;                        // String (bytes as in the resource), Identifier
    std::vector<Text> items;          // Set
    std::vector<std::uint8_t> bytes;  // Binary
};

struct LayoutProperty {
    Text name;  // a dotted path such as "Font.Style"
    LayoutValue value;
    int line = 0;
};

struct LayoutObject {
    Text name;
    Text className;
    std::vector<LayoutProperty> properties;
    std::vector<LayoutObject> children;
    int line = 0;
};

// Components nest at most this deep, the root counting as one: the parser
// recurses per level, and a resource must not be able to exhaust the stack.
constexpr int kMaxLayoutDepth = 32;

// Throws tarvik::Error("Layout line <n>: <what>") on malformed input; never
// reads past the input.
LayoutObject ParseLayout(std::string_view text);

// The layout as text that ParseLayout reads back to the same tree (line
// numbers aside); for tests and diagnostics.
Text PrintLayout(const LayoutObject& root);

// Throws tarvik::Error("expected <kind>, found <kind>") unless `value` is of
// `kind`; the one check behind every typed read of a value.
void ExpectLayoutKind(const LayoutValue& value, LayoutValue::Kind kind);
// The name an identifier value holds; another kind throws as above.
const Text& LayoutIdentifier(const LayoutValue& value);

}  // namespace tarvik::fw
