#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "base/error.h"
#include "framework/layout.h"

namespace tarvik::fw {
namespace {

using Kind = LayoutValue::Kind;

// The message of the error ParseLayout throws, or "" when it parses.
Text ErrorOf(std::string_view text) {
    try {
        ParseLayout(text);
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

LayoutValue ValueOf(const Text& value) {
    const LayoutObject root = ParseLayout("F : T { P = " + value + " }");
    EXPECT_EQ(root.properties.size(), 1u) << value;
    return root.properties.empty() ? LayoutValue{} : root.properties[0].value;
}

TEST(ParseLayout, ReadsComponentsPropertiesAndLinesInOrder) {
    const LayoutObject root = ParseLayout(
        "# window\n"
        "Form1 : TForm1 {\n"
        "    Caption = \"Tarvik\"\n"
        "    Font.Style = [fsBold]\n"
        "    Status : TCheckBox {   # child\n"
        "        Left = 59\n"
        "    }\n"
        "    OnCreate = FormCreate\n"
        "    Tray : TTrayIcon { Icon.Data = <00 01\n"
        "                                     FF> }\n"
        "}\n");
    EXPECT_EQ(root.name, "Form1");
    EXPECT_EQ(root.className, "TForm1");
    EXPECT_EQ(root.line, 2);
    ASSERT_EQ(root.properties.size(), 3u);
    EXPECT_EQ(root.properties[0].name, "Caption");
    EXPECT_EQ(root.properties[0].line, 3);
    EXPECT_EQ(root.properties[1].name, "Font.Style");
    EXPECT_EQ(root.properties[2].name, "OnCreate");
    EXPECT_EQ(root.properties[2].line, 8);
    ASSERT_EQ(root.children.size(), 2u);
    EXPECT_EQ(root.children[0].name, "Status");
    EXPECT_EQ(root.children[0].className, "TCheckBox");
    EXPECT_EQ(root.children[0].line, 5);
    ASSERT_EQ(root.children[0].properties.size(), 1u);
    EXPECT_EQ(root.children[0].properties[0].line, 6);
    EXPECT_EQ(root.children[1].name, "Tray");
    ASSERT_EQ(root.children[1].properties.size(), 1u);
    EXPECT_EQ(root.children[1].properties[0].value.bytes, (std::vector<std::uint8_t>{0, 1, 0xFF}));
}

TEST(ParseLayout, Integers) {
    const struct { Text in; std::int64_t out; } cases[] = {
        {"0", 0}, {"219", 219}, {"-11", -11}, {"007", 7},
        {"0xFFFFFF", 0xFFFFFF}, {"0Xff", 255}, {"-0x10", -16},
        {"9223372036854775807", INT64_MAX}, {"-9223372036854775808", INT64_MIN},
        {"0x7FFFFFFFFFFFFFFF", INT64_MAX}, {"-0x8000000000000000", INT64_MIN},
    };
    for (const auto& c : cases) {
        const LayoutValue v = ValueOf(c.in);
        EXPECT_EQ(v.kind, Kind::Integer) << c.in;
        EXPECT_EQ(v.integer, c.out) << c.in;
    }
}

TEST(ParseLayout, FloatsReadInTheClassicLocaleAndPrintBackExactly) {
    const struct { Text in; long double out; } cases[] = {
        {"1.0", 1.0L}, {"-2.5", -2.5L}, {"0.1", 0.1L}, {"1e3", 1000.0L}, {"2.5E-2", 0.025L},
        {"-0.0", -0.0L}, {"1e-5000", 0.0L}, {"1.18973149535723176502e+4932", 1.18973149535723176502e+4932L},
    };
    for (const auto& c : cases) {
        const LayoutValue v = ValueOf(c.in);
        EXPECT_EQ(v.kind, Kind::Float) << c.in;
        EXPECT_EQ(v.real, c.out) << c.in;
    }
    // Values that a decimal with fewer digits would not give back.
    for (const long double real : {0.1L, 1.0L / 3, -5.0L, 3.6451995318824746025e-4951L, 123456789012345678.0L}) {
        LayoutObject root{"F", "T", {{"P", {}, 0}}, {}, 0};
        root.properties[0].value.kind = Kind::Float;
        root.properties[0].value.real = real;
        const LayoutValue again = ParseLayout(PrintLayout(root)).properties.at(0).value;
        EXPECT_EQ(again.kind, Kind::Float) << PrintLayout(root);
        EXPECT_EQ(again.real, real) << PrintLayout(root);
    }
}

TEST(ParseLayout, StringsKeepTheirBytes) {
    const struct { Text in, out; } cases[] = {
        {R"("")", ""},
        {R"("a\r\nb")", "a\r\nb"},
        {R"("\"\\\t")", "\"\\\t"},
        {R"("\x41\xff\x00")", Text("A\xFF\0", 3)},
        {"\"\xD2\xE0\xF0\xE2\xE8\xEA \"", "\xD2\xE0\xF0\xE2\xE8\xEA "},  // Windows-1251 bytes
        {"\"# not a comment\"", "# not a comment"},
    };
    for (const auto& c : cases) {
        const LayoutValue v = ValueOf(c.in);
        EXPECT_EQ(v.kind, Kind::String) << c.in;
        EXPECT_EQ(v.text, c.out) << c.in;
    }
}

TEST(ParseLayout, OtherValueKinds) {
    EXPECT_EQ(ValueOf("true").kind, Kind::Boolean);
    EXPECT_TRUE(ValueOf("true").boolean);
    EXPECT_EQ(ValueOf("false").kind, Kind::Boolean);
    EXPECT_FALSE(ValueOf("false").boolean);

    const LayoutValue id = ValueOf("Form1.PopupMenu1");
    EXPECT_EQ(id.kind, Kind::Identifier);
    EXPECT_EQ(id.text, "Form1.PopupMenu1");
    EXPECT_EQ(ValueOf("trueish").kind, Kind::Identifier);

    EXPECT_EQ(ValueOf("[]").kind, Kind::Set);
    EXPECT_TRUE(ValueOf("[ ]").items.empty());
    EXPECT_EQ(ValueOf("[fsBold, fsItalic,\n fsUnderline]").items,
              (std::vector<Text>{"fsBold", "fsItalic", "fsUnderline"}));

    const LayoutValue bin = ValueOf("<>");
    EXPECT_EQ(bin.kind, Kind::Binary);
    EXPECT_TRUE(bin.bytes.empty());
    EXPECT_EQ(ValueOf("<0aFf\n  # comment\n 10>").bytes, (std::vector<std::uint8_t>{0x0A, 0xFF, 0x10}));
}

TEST(ParseLayout, RefusesMalformedInputNamingTheLine) {
    const struct { Text in, message; } cases[] = {
        {"", "Layout line 1: the layout is empty"},
        {"\n# only a comment\n", "Layout line 3: the layout is empty"},
        {"F : T {\n P = 9223372036854775808 }", "Layout line 2: integer out of the 64-bit range"},
        {"F : T { P = -9223372036854775809 }", "Layout line 1: integer out of the 64-bit range"},
        {"F : T { P = 0x8000000000000000 }", "Layout line 1: integer out of the 64-bit range"},
        {"F : T { P = 0x10000000000000000 }", "Layout line 1: integer out of the 64-bit range"},
        {"F : T { P = 99999999999999999999 }", "Layout line 1: integer out of the 64-bit range"},
        {"F : T { P = 12px }", "Layout line 1: malformed number"},
        {"F : T { P = 0x }", "Layout line 1: malformed number"},
        {"F : T { P = - }", "Layout line 1: malformed number"},
        {"F : T { P = 1.5.2 }", "Layout line 1: malformed number"},
        {"F : T { P = 1. }", "Layout line 1: malformed number"},
        {"F : T { P = -1e+ }", "Layout line 1: malformed number"},
        {"F : T { P = 2.5x }", "Layout line 1: malformed number"},
        {"F : T { P = 1e5000 }", "Layout line 1: floating-point number out of range"},
        {"F : T { P = <0> }", "Layout line 1: odd number of hex digits in the binary value"},
        {"F : T { P = <00\n1> }", "Layout line 2: odd number of hex digits in the binary value"},
        {"F : T { P = <0 0> }", "Layout line 1: odd number of hex digits in the binary value"},
        {"F : T { P = <0g> }", "Layout line 1: odd number of hex digits in the binary value"},
        {"F : T { P = <00", "Layout line 1: missing '>' at the end of the binary value"},
        {"F : T { P = \"abc", "Layout line 1: unterminated string"},
        {"F : T { P = \"ab\ncd\" }", "Layout line 1: unterminated string"},
        {"F : T { P = \"a\\", "Layout line 1: unknown escape in a string"},
        {"F : T { P = \"\\q\" }", "Layout line 1: unknown escape in a string"},
        {"F : T { P = \"\\x4\" }", "Layout line 1: \\x needs two hex digits"},
        {"F : T { P = \"\\x4", "Layout line 1: \\x needs two hex digits"},
        {"F : T { P = [a, ] }", "Layout line 1: expected a name in the set"},
        {"F : T { P = [a b] }", "Layout line 1: expected ',' or ']' in the set"},
        {"F : T { P = }", "Layout line 1: expected a value"},
        {"F : T { P }", "Layout line 1: expected '=' or ':' after the name"},
        {"F : T { A.B : C { } }", "Layout line 1: a component name cannot contain '.'"},
        {"F : T { P. = 1 }", "Layout line 1: expected a name after '.'"},
        {"F : T {\n P = 1\n", "Layout line 3: missing '}' at the end of the layout"},
        {"F : T { } G : T { }", "Layout line 1: unexpected text after the root component"},
        {"F { }", "Layout line 1: expected ':' and a class name after the component name"},
        {"F : { }", "Layout line 1: expected a class name after ':'"},
        {"F : T P = 1", "Layout line 1: expected '{' after the class name"},
        {"1 : T { }", "Layout line 1: expected the name of the root component"},
        {Text("F : T { P = 1 \0 }", 17), "Layout line 1: expected a property, a component or '}'"},
    };
    for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.in), c.message) << c.in;
}

Text Nested(int depth) {
    Text text;
    for (int i = 0; i < depth; ++i) text += "C : T {\n";
    for (int i = 0; i < depth; ++i) text += "}\n";
    return text;
}

TEST(ParseLayout, BoundsNestingSoAResourceCannotExhaustTheStack) {
    EXPECT_EQ(ErrorOf(Nested(kMaxLayoutDepth)), "");
    EXPECT_EQ(ErrorOf(Nested(kMaxLayoutDepth + 1)), "Layout line 33: components are nested too deeply");
    EXPECT_EQ(ErrorOf(Nested(100000)), "Layout line 33: components are nested too deeply");
}

TEST(ParseLayout, EveryTruncationIsAnErrorNotAnOverread) {
    const Text full =
        "F : T {\n A.B = \"x\\x41\\\"\" C = -0x1F D = [a, b] E = <00 ff> G = true H = I.J\n K : L { }\n}";
    ASSERT_EQ(ErrorOf(full), "");
    for (std::size_t n = 0; n < full.size(); ++n) {
        // An exactly sized copy, so the sanitizers see any read past its end.
        const auto copy = std::make_unique<char[]>(n + 1);
        full.copy(copy.get(), n);
        EXPECT_NE(ErrorOf(std::string_view(copy.get(), n)), "") << n;
    }
}

TEST(PrintLayout, ReadsBackToTheSameTree) {
    LayoutObject root = ParseLayout(
        "F : T { A = -9223372036854775808 B = \"\" C = [] D = [x, y] E = <> G = <00 7F 80 FF> H = false"
        " I = J.K  L : M { N = 1 } }");
    LayoutValue every;
    every.kind = Kind::String;
    for (int byte = 0; byte < 256; ++byte) every.text += static_cast<char>(byte);
    root.children[0].properties.push_back({"All", every, 0});

    const Text printed = PrintLayout(root);
    const LayoutObject again = ParseLayout(printed);
    EXPECT_EQ(PrintLayout(again), printed);
    ASSERT_EQ(again.children.size(), 1u);
    ASSERT_EQ(again.children[0].properties.size(), 2u);
    EXPECT_EQ(again.children[0].properties[1].value.text, every.text);
    EXPECT_EQ(again.properties[0].value.integer, INT64_MIN);
}

}  // namespace
}  // namespace tarvik::fw
