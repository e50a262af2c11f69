#include "settings/ini_text.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace tarvik {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

Text TrimBlanks(const Text& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// ASCII letters without regard to case; every other byte as it is.
bool SameName(const Text& a, const Text& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

std::vector<Text> Lines(const Text& content) {
    std::vector<Text> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == Text::npos) end = content.size();
        Text line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// The section's name when the line is a header.
std::optional<Text> HeaderName(const Text& line) {
    const Text trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed[0] != '[') return std::nullopt;
    const std::size_t close = trimmed.find(']');
    return TrimBlanks(trimmed.substr(1, close == Text::npos ? Text::npos : close - 1));
}

bool IsComment(const Text& line) {
    const Text trimmed = TrimBlanks(line);
    return !trimmed.empty() && trimmed[0] == ';';
}

Text KeyOf(const Text& line) { return TrimBlanks(line.substr(0, line.find('='))); }

// Where a section's lines are: its header, and the first line after it that
// is not its own.
struct SectionLines {
    std::size_t header, end;
};

std::optional<SectionLines> FindSection(const std::vector<Text>& lines, const Text& section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = HeaderName(lines[i]);
        if (!name || !SameName(*name, section)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !HeaderName(lines[end])) ++end;
        return SectionLines{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<Text>& lines, const SectionLines& in, const Text& key,
                                   bool withValueOnly) {
    for (std::size_t i = in.header + 1; i < in.end; ++i) {
        const Text& line = lines[i];
        if (IsComment(line) || TrimBlanks(line).empty()) continue;
        if (withValueOnly && line.find('=') == Text::npos) continue;
        if (SameName(KeyOf(line), key)) return i;
    }
    return std::nullopt;
}

}  // namespace

Text IniTextValue(const Text& content, const Text& section, const Text& key) {
    const std::vector<Text> lines = Lines(content);
    const auto in = FindSection(lines, section);
    if (!in) return Text();
    const auto at = FindKey(lines, *in, key, true);
    if (!at) return Text();
    const Text& line = lines[*at];
    Text value = TrimBlanks(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        value = value.substr(1, value.size() - 2);
    return value;
}

Text IniTextWithValue(const Text& content, const Text& section, const Text& key, const Text& value) {
    std::vector<Text> lines = Lines(content);
    if (const auto in = FindSection(lines, section)) {
        if (const auto at = FindKey(lines, *in, key, false)) {
            lines[*at] = KeyOf(lines[*at]) + "=" + value;
        } else {
            // After the section's last line, before the blank lines that
            // part it from the next.
            std::size_t after = in->end;
            while (after > in->header + 1 && TrimBlanks(lines[after - 1]).empty()) --after;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after), key + "=" + value);
        }
    } else {
        lines.push_back("[" + section + "]");
        lines.push_back(key + "=" + value);
    }
    Text out;
    for (const Text& line : lines) out += line + "\r\n";
    return out;
}

}  // namespace tarvik
