#include "settings/ini_file.h"

#include "settings/atomic_file.h"
#include "settings/path_lookup.h"

namespace {

// The blanks that the profile functions strip around names and values.
constexpr std::string_view kBlanks = " \t\r\v\f";

std::string_view Trim(std::string_view s) {
    const size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const size_t last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

std::string Folded(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace

IniFile::IniFile() = default;

std::vector<std::string_view> SplitTextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

IniFile::IniFile(std::string_view text) {
    for (std::string_view line : SplitTextLines(text)) lines_.push_back(Parse(std::string(line)));
    Reindex();
}

void IniFile::Reindex() {
    first_section_.clear();
    for (size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::kSection) first_section_.try_emplace(Folded(lines_[i].name), i);
}

IniFile::Line IniFile::Parse(std::string raw) {
    Line line;
    const std::string_view t = Trim(raw);
    if (!t.empty() && t.front() == '[') {
        // A header without its closing bracket is no header, as on Windows.
        const size_t close = t.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            line.kind = Kind::kSection;
            line.name = std::string(t.substr(1, close - 1));
        }
    } else if (!t.empty() && t.front() != ';') {
        const size_t eq = t.find('=');
        if (eq != std::string_view::npos) {
            line.kind = Kind::kKey;
            line.name = std::string(Trim(t.substr(0, eq)));
            line.value = std::string(Trim(t.substr(eq + 1)));
        }
    }
    line.raw = std::move(raw);
    return line;
}

bool IniFile::Load(const std::filesystem::path& file) {
    std::string text;
    if (atomic_file::Read(file, kMaxFileBytes, text) != atomic_file::ReadResult::kRead) {
        lines_.clear();
        first_section_.clear();
        return false;
    }
    *this = IniFile(text);
    return true;
}

bool IniFile::Save(const std::filesystem::path& file) const { return atomic_file::Write(file, Text()); }

std::string IniFile::Text() const {
    std::string out;
    for (const Line& line : lines_) {
        out += line.raw;
        out += "\r\n";
    }
    return out;
}

std::optional<size_t> IniFile::FindSection(std::string_view name) const {
    const auto it = first_section_.find(Folded(Trim(name)));
    if (it == first_section_.end()) return std::nullopt;
    return it->second;
}

size_t IniFile::SectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < lines_.size() && lines_[i].kind != Kind::kSection) ++i;
    return i;
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
    const auto header = FindSection(section);
    if (!header) return std::nullopt;
    const std::string_view wanted = Trim(key);
    const size_t end = SectionEnd(*header);
    for (size_t i = *header + 1; i < end; ++i)
        if (lines_[i].kind == Kind::kKey && path_lookup::EqualsNoCase(lines_[i].name, wanted)) return lines_[i].value;
    return std::nullopt;
}

std::string IniFile::GetString(std::string_view section, std::string_view key, std::string_view fallback) const {
    auto value = Find(section, key);
    return value ? std::move(*value) : std::string(fallback);
}

size_t IniFile::GetString(std::string_view section, std::string_view key, std::string_view fallback,
                          size_t buffer_size, std::string& out) const {
    out = GetString(section, key, fallback);
    // One byte of the caller's buffer holds the terminating NUL.
    if (buffer_size == 0) out.clear();
    else if (out.size() > buffer_size - 1) out.resize(buffer_size - 1);
    return out.size();
}

std::vector<std::string> IniFile::SectionNames() const {
    std::vector<std::string> names;
    for (const Line& line : lines_)
        if (line.kind == Kind::kSection && !line.name.empty()) names.push_back(line.name);
    return names;
}

bool IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view s = Trim(section);
    const std::string_view k = Trim(key);
    if (s.empty() || k.empty() || HasLineBreak(s) || HasLineBreak(k) || HasLineBreak(value) ||
        k.find('=') != std::string_view::npos || k.front() == '[' || k.front() == ';')
        return false;

    const auto header = FindSection(s);
    if (!header) {
        std::string header_line = "[";
        header_line += s;
        header_line += ']';
        lines_.push_back(Parse(header_line));
        lines_.push_back(Parse(std::string(k) + "=" + std::string(value)));
        Reindex();
        return true;
    }
    const size_t end = SectionEnd(*header);
    for (size_t i = *header + 1; i < end; ++i) {
        if (lines_[i].kind == Kind::kKey && path_lookup::EqualsNoCase(lines_[i].name, k)) {
            // The key keeps the spelling the file gave it.
            lines_[i] = Parse(lines_[i].name + "=" + std::string(value));
            return true;
        }
    }
    // After the section's last non-blank line, so the blank lines that
    // separate it from the next section stay in place.
    size_t at = end;
    while (at > *header + 1 && Trim(lines_[at - 1].raw).empty()) --at;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Parse(std::string(k) + "=" + std::string(value)));
    Reindex();
    return true;
}

bool IniFile::DeleteSection(std::string_view section) {
    bool removed = false;
    while (const auto header = FindSection(section)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(*header)));
        Reindex();
        removed = true;
    }
    return removed;
}
