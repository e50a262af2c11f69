#include "settings/ini_text.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/cp1251.h"

namespace tarvik {

namespace {

enum class Encoding { Bytes, Utf8, Utf16Le, Utf16Be };

struct Key {
    std::u16string name;
    std::optional<std::u16string> value;  // none for a line without "="
};

struct Section {
    std::u16string name;  // "" for the lines before any header
    std::vector<Key> keys;
};

struct Document {
    Encoding encoding = Encoding::Bytes;
    std::vector<Section> sections;  // the nameless one first, always
};

const char kUtf8Mark[] = "\xEF\xBB\xBF";

bool IsBlank(char16_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20; }

std::u16string Trimmed(std::u16string_view text) {
    std::size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return std::u16string(text.substr(first, last - first));
}

// ASCII letters without regard to case: the names asked for are ASCII.
bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    const auto upper = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

// UTF-8 as Windows decodes it: a byte that starts no valid sequence, and a
// sequence cut short, become U+FFFD.
std::u16string FromUtf8(std::string_view bytes) {
    std::u16string text;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        int more = lead < 0x80 ? 0 : lead >= 0xC2 && lead <= 0xDF ? 1 : lead >= 0xE0 && lead <= 0xEF ? 2
                 : lead >= 0xF0 && lead <= 0xF4 ? 3 : -1;
        if (more < 0) {
            text += u'\xFFFD';
            ++i;
            continue;
        }
        char32_t code = more == 0 ? lead : lead & (0x3F >> more);
        std::size_t at = i + 1;
        bool whole = true;
        for (int n = 0; n < more; ++n, ++at) {
            const unsigned char next = at < bytes.size() ? static_cast<unsigned char>(bytes[at]) : 0;
            // The second byte's range rules out overlong forms, surrogates
            // and values past U+10FFFF.
            const unsigned char low = n == 0 && lead == 0xE0 ? 0xA0 : n == 0 && lead == 0xF0 ? 0x90 : 0x80;
            const unsigned char high = n == 0 && lead == 0xED ? 0x9F : n == 0 && lead == 0xF4 ? 0x8F : 0xBF;
            if (next < low || next > high) {
                whole = false;
                break;
            }
            code = (code << 6) | (next & 0x3F);
        }
        if (!whole) {
            text += u'\xFFFD';
            i = at;
            continue;
        }
        if (code >= 0x10000) {
            text += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            text += static_cast<char16_t>(code);
        }
        i = at;
    }
    return text;
}

std::string ToUtf8(std::u16string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (code >= 0xD800 && code <= 0xDFFF)
            code = 0xFFFD;  // half a pair
        if (code < 0x80) {
            bytes += static_cast<char>(code);
        } else if (code < 0x800) {
            bytes += static_cast<char>(0xC0 | (code >> 6));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            bytes += static_cast<char>(0xE0 | (code >> 12));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            bytes += static_cast<char>(0xF0 | (code >> 18));
            bytes += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            bytes += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return bytes;
}

std::u16string FromUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned first = static_cast<unsigned char>(bytes[2 * i]);
        const unsigned second = static_cast<unsigned char>(bytes[2 * i + 1]);
        text[i] = static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return text;
}

std::string ToUtf16(std::u16string_view text, bool bigEndian) {
    std::string bytes;
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

std::u16string Decoded(const Text& content, Encoding& encoding) {
    const std::string_view bytes(content);
    if (bytes.substr(0, 3) == kUtf8Mark) {
        encoding = Encoding::Utf8;
        return FromUtf8(bytes.substr(3));
    }
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        encoding = bytes[0] == '\xFF' ? Encoding::Utf16Le : Encoding::Utf16Be;
        return FromUtf16(bytes.substr(2), encoding == Encoding::Utf16Be);
    }
    encoding = Encoding::Bytes;
    return Utf16FromCp1251(bytes);
}

Text Encoded(std::u16string_view text, Encoding encoding) {
    switch (encoding) {
    case Encoding::Utf8: return kUtf8Mark + ToUtf8(text);
    case Encoding::Utf16Le: return "\xFF\xFE" + ToUtf16(text, false);
    case Encoding::Utf16Be: return "\xFE\xFF" + ToUtf16(text, true);
    case Encoding::Bytes: break;
    }
    Text bytes = Cp1251FromUtf16(text);
    // A first line beginning "юя", "яю" or "п»ї" would read back as a mark
    // of Unicode, and the whole file with it: a blank in front, dropped when
    // the line is read, keeps it Windows-1251.
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF" || bytes.substr(0, 3) == kUtf8Mark)
        bytes.insert(0, " ");
    return bytes;
}

Document Parsed(const Text& content) {
    Document document;
    const std::u16string text = Decoded(content, document.encoding);
    document.sections.emplace_back();
    std::size_t next = 0;
    while (next < text.size()) {
        const std::size_t start = next;
        while (next < text.size() && text[next] != u'\r' && text[next] != u'\n') ++next;
        const std::u16string line = Trimmed(std::u16string_view(text).substr(start, next - start));
        while (next < text.size() && (text[next] == u'\r' || text[next] == u'\n')) ++next;
        if (line.empty()) continue;
        if (line[0] == u'[') {
            const std::size_t close = line.rfind(u']');
            if (close != std::u16string::npos && close > 0) {
                document.sections.push_back({Trimmed(std::u16string_view(line).substr(1, close - 1)), {}});
                continue;
            }
        }
        Key key;
        const std::size_t equals = line.find(u'=');
        if (equals == std::u16string::npos) {
            key.name = line;
        } else {
            key.name = Trimmed(std::u16string_view(line).substr(0, equals));
            key.value = Trimmed(std::u16string_view(line).substr(equals + 1));
        }
        // Lines without a name in a row count once.
        std::vector<Key>& keys = document.sections.back().keys;
        if (!key.name.empty() || keys.empty() || !keys.back().name.empty()) keys.push_back(std::move(key));
    }
    return document;
}

Section* FindSection(Document& document, std::u16string_view name) {
    for (Section& section : document.sections)
        if (SameName(section.name, name)) return &section;
    return nullptr;
}

Key* FindKey(Section& section, std::u16string_view name) {
    for (Key& key : section.keys)
        if (SameName(key.name, name)) return &key;
    return nullptr;
}

Text Serialized(const Document& document) {
    std::u16string text;
    for (const Section& section : document.sections) {
        if (!section.name.empty()) text += u"[" + section.name + u"]\r\n";
        for (const Key& key : section.keys) {
            text += key.name;
            if (key.value) text += u"=" + *key.value;
            text += u"\r\n";
        }
    }
    return Encoded(text, document.encoding);
}

}  // namespace

bool IniTextHasByteOrderMark(const Text& content) {
    Encoding encoding = Encoding::Bytes;
    Decoded(content.substr(0, 3), encoding);
    return encoding != Encoding::Bytes;
}

Text IniTextValue(const Text& content, const Text& section, const Text& key, std::size_t limit) {
    Document document = Parsed(content);
    Section* in = FindSection(document, Trimmed(Utf16FromCp1251(section)));
    const Key* found = in ? FindKey(*in, Trimmed(Utf16FromCp1251(key))) : nullptr;
    if (!found || !found->value) return Text();
    std::u16string value = *found->value;
    if (value.size() >= 2 && (value[0] == u'"' || value[0] == u'\'') && value.back() == value[0])
        value = value.substr(1, value.size() - 2);
    return Cp1251FromUtf16(std::u16string_view(value).substr(0, limit));
}

Text IniTextWithValue(const Text& content, const Text& section, const Text& key, const Text& value) {
    Document document = Parsed(content);
    const std::u16string sectionName = Trimmed(Utf16FromCp1251(section));
    const std::u16string keyName = Trimmed(Utf16FromCp1251(key));
    std::u16string newValue = Utf16FromCp1251(value);
    std::size_t blanks = 0;
    while (blanks < newValue.size() && IsBlank(newValue[blanks])) ++blanks;
    newValue.erase(0, blanks);
    Section* in = FindSection(document, sectionName);
    if (!in) {
        document.sections.push_back({sectionName, {}});
        in = &document.sections.back();
    }
    Key* found = FindKey(*in, keyName);
    if (!found) {
        in->keys.push_back({keyName, std::nullopt});
        found = &in->keys.back();
    }
    if (found->value == newValue) return content;
    found->value = newValue;
    return Serialized(document);
}

}  // namespace tarvik
