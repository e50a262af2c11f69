#include "framework/layout.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>

#include "base/error.h"

namespace tarvik::fw {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsNameStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsNameChar(char c) { return IsNameStart(c) || IsDigit(c); }

// The C library converts numbers with the decimal point of the C locale in
// force, while a layout always writes '.'; these streams of libstdc++ are
// avoided since they would double the program's size.
char DecimalPoint() { return *std::localeconv()->decimal_point; }
std::string InCLocale(std::string_view number, char from, char to) {
    std::string converted(number);
    for (char& c : converted)
        if (c == from) c = to;
    return converted;
}

int HexDigit(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Recursive descent straight over the bytes; every read goes through Peek or
// checks AtEnd first, so a truncated resource ends in an error, not a read
// past its end.
class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    LayoutObject ParseRoot() {
        SkipBlanks();
        if (AtEnd()) Fail("the layout is empty");
        LayoutObject root;
        root.line = line_;
        root.name = Name("expected the name of the root component");
        ParseComponent(root, 1);
        SkipBlanks();
        if (!AtEnd()) Fail("unexpected text after the root component");
        return root;
    }

private:
    [[noreturn]] void Fail(const char* what) const {
        throw Error("Layout line " + std::to_string(line_) + ": " + what);
    }

    bool AtEnd() const { return pos_ >= text_.size(); }
    // A NUL at the end stands for "no more input"; it matches no token.
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    void Advance() {
        if (text_[pos_] == '\n') ++line_;
        ++pos_;
    }

    // Whitespace and comments may stand between any two tokens.
    void SkipBlanks() {
        while (!AtEnd()) {
            if (IsBlank(text_[pos_])) {
                Advance();
            } else if (text_[pos_] == '#') {
                while (!AtEnd() && text_[pos_] != '\n') ++pos_;
            } else {
                break;
            }
        }
    }

    void Expect(char c, const char* what) {
        SkipBlanks();
        if (Peek() != c) Fail(what);
        Advance();
    }

    Text Name(const char* what) {
        if (!IsNameStart(Peek())) Fail(what);
        const std::size_t start = pos_;
        while (IsNameChar(Peek())) ++pos_;
        return Text(text_.substr(start, pos_ - start));
    }

    Text DottedName(const char* what) {
        Text path = Name(what);
        while (Peek() == '.') {
            ++pos_;
            path += '.';
            path += Name("expected a name after '.'");
        }
        return path;
    }

    // The component's name is read; this reads ": Class { members }".
    void ParseComponent(LayoutObject& component, int depth) {
        Expect(':', "expected ':' and a class name after the component name");
        SkipBlanks();
        component.className = Name("expected a class name after ':'");
        Expect('{', "expected '{' after the class name");
        for (;;) {
            SkipBlanks();
            if (AtEnd()) Fail("missing '}' at the end of the layout");
            if (Peek() == '}') {
                Advance();
                return;
            }
            const int line = line_;
            Text name = DottedName("expected a property, a component or '}'");
            SkipBlanks();
            if (Peek() == ':') {
                if (name.find('.') != Text::npos) Fail("a component name cannot contain '.'");
                if (depth >= kMaxLayoutDepth) Fail("components are nested too deeply");
                LayoutObject child;
                child.name = std::move(name);
                child.line = line;
                ParseComponent(child, depth + 1);
                component.children.push_back(std::move(child));
            } else if (Peek() == '=') {
                Advance();
                SkipBlanks();
                LayoutProperty property;
                property.name = std::move(name);
                property.line = line;
                property.value = Value();
                component.properties.push_back(std::move(property));
            } else {
                Fail("expected '=' or ':' after the name");
            }
        }
    }

    LayoutValue Value() {
        const char c = Peek();
        if (c == '"') return String();
        if (c == '[') return Set();
        if (c == '<') return Binary();
        if (c == '-' || IsDigit(c)) return IsFloat() ? Float() : Integer();
        if (IsNameStart(c)) {
            LayoutValue value;
            value.text = DottedName("expected a value");
            if (value.text == "true" || value.text == "false") {
                value.kind = LayoutValue::Kind::Boolean;
                value.boolean = value.text == "true";
                value.text.clear();
            } else {
                value.kind = LayoutValue::Kind::Identifier;
            }
            return value;
        }
        Fail("expected a value");
    }

    LayoutValue Integer() {
        const bool negative = Peek() == '-';
        if (negative) ++pos_;
        // Accumulate the magnitude against the limit of its sign, so that
        // INT64_MIN reads and nothing wraps.
        const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
        std::uint64_t base = 10;
        if (Peek() == '0' && pos_ + 1 < text_.size() && (text_[pos_ + 1] == 'x' || text_[pos_ + 1] == 'X')) {
            base = 16;
            pos_ += 2;
        }
        std::uint64_t magnitude = 0;
        int digits = 0;
        for (int d; (d = HexDigit(Peek())) >= 0 && std::uint64_t(d) < base; ++pos_, ++digits) {
            if (magnitude > (limit - std::uint64_t(d)) / base) Fail("integer out of the 64-bit range");
            magnitude = magnitude * base + std::uint64_t(d);
        }
        if (digits == 0 || IsNameChar(Peek()) || Peek() == '.') Fail("malformed number");
        LayoutValue value;
        value.kind = LayoutValue::Kind::Integer;
        // 0 - magnitude in unsigned arithmetic is the two's complement.
        value.integer = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
        return value;
    }

    // A number with a '.' or an exponent after its decimal digits is a float.
    bool IsFloat() const {
        std::size_t at = pos_ + (Peek() == '-' ? 1 : 0);
        while (at < text_.size() && IsDigit(text_[at])) ++at;
        return at < text_.size() && (text_[at] == '.' || text_[at] == 'e' || text_[at] == 'E');
    }

    // -?digits[.digits][(e|E)[+|-]digits], converted in the classic locale so
    // that the user's decimal separator never changes what a layout means.
    LayoutValue Float() {
        const std::size_t start = pos_;
        if (Peek() == '-') ++pos_;
        const auto digits = [this] {
            int n = 0;
            for (; IsDigit(Peek()); ++pos_) ++n;
            return n;
        };
        if (digits() == 0) Fail("malformed number");
        if (Peek() == '.') {
            ++pos_;
            if (digits() == 0) Fail("malformed number");
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++pos_;
            if (Peek() == '+' || Peek() == '-') ++pos_;
            if (digits() == 0) Fail("malformed number");
        }
        if (IsNameChar(Peek()) || Peek() == '.') Fail("malformed number");
        LayoutValue value;
        value.kind = LayoutValue::Kind::Float;
        const std::string number = InCLocale(text_.substr(start, pos_ - start), '.', DecimalPoint());
        value.real = std::strtold(number.c_str(), nullptr);
        // Overflow gives infinity; underflow gives a subnormal or zero.
        if (!std::isfinite(value.real)) Fail("floating-point number out of range");
        return value;
    }

    LayoutValue String() {
        LayoutValue value;
        value.kind = LayoutValue::Kind::String;
        ++pos_;  // the opening quote
        for (;;) {
            if (AtEnd() || Peek() == '\n' || Peek() == '\r') Fail("unterminated string");
            const char c = text_[pos_++];
            if (c == '"') return value;
            if (c != '\\') {
                value.text += c;
                continue;
            }
            switch (Peek()) {
                case '"': value.text += '"'; break;
                case '\\': value.text += '\\'; break;
                case 'r': value.text += '\r'; break;
                case 'n': value.text += '\n'; break;
                case 't': value.text += '\t'; break;
                case 'x': {
                    const int high = pos_ + 1 < text_.size() ? HexDigit(text_[pos_ + 1]) : -1;
                    const int low = pos_ + 2 < text_.size() ? HexDigit(text_[pos_ + 2]) : -1;
                    if (high < 0 || low < 0) Fail("\\x needs two hex digits");
                    value.text += static_cast<char>(high * 16 + low);
                    pos_ += 2;
                    break;
                }
                default: Fail("unknown escape in a string");
            }
            ++pos_;
        }
    }

    LayoutValue Set() {
        LayoutValue value;
        value.kind = LayoutValue::Kind::Set;
        ++pos_;  // '['
        SkipBlanks();
        if (Peek() == ']') {
            ++pos_;
            return value;
        }
        for (;;) {
            SkipBlanks();
            value.items.push_back(Name("expected a name in the set"));
            SkipBlanks();
            if (Peek() == ']') {
                ++pos_;
                return value;
            }
            if (Peek() != ',') Fail("expected ',' or ']' in the set");
            ++pos_;
        }
    }

    LayoutValue Binary() {
        LayoutValue value;
        value.kind = LayoutValue::Kind::Binary;
        ++pos_;  // '<'
        for (;;) {
            SkipBlanks();
            if (AtEnd()) Fail("missing '>' at the end of the binary value");
            if (Peek() == '>') {
                ++pos_;
                return value;
            }
            const int high = HexDigit(Peek());
            if (high < 0) Fail("expected hex digits or '>' in the binary value");
            ++pos_;
            const int low = HexDigit(Peek());
            if (low < 0) Fail("odd number of hex digits in the binary value");
            ++pos_;
            value.bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

const char kHex[] = "0123456789ABCDEF";

void PrintString(const Text& text, Text& out) {
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    out += "\\x";
                    out += kHex[byte >> 4];
                    out += kHex[byte & 15];
                } else {
                    out += c;  // Windows-1251 letters stay as they are
                }
        }
    }
    out += '"';
}

// Enough digits that the same long double reads back, always with a '.' or an
// exponent so that it reads back as a float.
void PrintFloat(long double real, Text& out) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*Lg", std::numeric_limits<long double>::max_digits10, real);
    Text printed = InCLocale(buffer, DecimalPoint(), '.');
    if (printed.find_first_of(".e") == Text::npos) printed += ".0";
    out += printed;
}

void PrintValue(const LayoutValue& value, Text& out) {
    switch (value.kind) {
        case LayoutValue::Kind::Integer: out += std::to_string(value.integer); break;
        case LayoutValue::Kind::Float: PrintFloat(value.real, out); break;
        case LayoutValue::Kind::String: PrintString(value.text, out); break;
        case LayoutValue::Kind::Boolean: out += value.boolean ? "true" : "false"; break;
        case LayoutValue::Kind::Identifier: out += value.text; break;
        case LayoutValue::Kind::Set:
            out += '[';
            for (std::size_t i = 0; i < value.items.size(); ++i) {
                if (i) out += ", ";
                out += value.items[i];
            }
            out += ']';
            break;
        case LayoutValue::Kind::Binary:
            out += '<';
            for (std::size_t i = 0; i < value.bytes.size(); ++i) {
                if (i) out += ' ';
                out += kHex[value.bytes[i] >> 4];
                out += kHex[value.bytes[i] & 15];
            }
            out += '>';
            break;
    }
}

void PrintComponent(const LayoutObject& component, int depth, Text& out) {
    const Text indent(std::size_t(depth) * 4, ' ');
    out += indent + component.name + " : " + component.className + " {\n";
    for (const LayoutProperty& property : component.properties) {
        out += indent + "    " + property.name + " = ";
        PrintValue(property.value, out);
        out += '\n';
    }
    for (const LayoutObject& child : component.children) PrintComponent(child, depth + 1, out);
    out += indent + "}\n";
}

}  // namespace

LayoutObject ParseLayout(std::string_view text) { return Parser(text).ParseRoot(); }

Text PrintLayout(const LayoutObject& root) {
    Text out;
    PrintComponent(root, 0, out);
    return out;
}

namespace {

const char* KindName(LayoutValue::Kind kind) {
    switch (kind) {
    case LayoutValue::Kind::Integer: return "an integer";
    case LayoutValue::Kind::String: return "a string";
    case LayoutValue::Kind::Boolean: return "a boolean";
    case LayoutValue::Kind::Identifier: return "an identifier";
    case LayoutValue::Kind::Set: return "a set";
    case LayoutValue::Kind::Binary: return "binary data";
    case LayoutValue::Kind::Float: return "a floating-point number";
    }
    return "a value";
}

}  // namespace

void ExpectLayoutKind(const LayoutValue& value, LayoutValue::Kind kind) {
    if (value.kind != kind) throw Error(Text("expected ") + KindName(kind) + ", found " + KindName(value.kind));
}

const Text& LayoutIdentifier(const LayoutValue& value) {
    ExpectLayoutKind(value, LayoutValue::Kind::Identifier);
    return value.text;
}

}  // namespace tarvik::fw
