#include "settings/registry_store.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <cerrno>
#include <system_error>

#include <sys/stat.h>

#include "settings/atomic_file.h"
#include "settings/ini_file.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kRegedit4Header = "REGEDIT4";
constexpr std::string_view kWineHeader = "WINE REGISTRY Version 2";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// The registry editor wraps hex data after this many columns.
constexpr size_t kHexWrapColumn = 76;

std::string EnvOrEmpty(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Registry names compare without regard to ASCII case.
std::string Folded(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = Lower(c);
    return out;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Lower(s[i]) != Lower(prefix[i])) return false;
    return true;
}

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (IsSpace(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = Lower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Wine keeps strings as UTF-16 and escapes every code unit above 127; ours
// are Windows-1252 bytes. Code units 0x80 to 0xFF map to themselves, the
// Windows-1252 letters and signs of 0x80 to 0x9F from their own code points.
char FromCodeUnit(uint32_t unit) {
    static constexpr uint16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (unit <= 0xFF) return static_cast<char>(unit);
    for (size_t i = 0; i < 32; ++i)
        if (kHigh[i] == unit) return static_cast<char>(0x80 + i);
    return '?';
}

// Reads a quoted text starting at s[at] == '"'; at ends after the closing
// quote. The registry editor escapes only '\' and '"' (any other backslash
// stands for itself); Wine uses C escapes with \x of up to four hex digits
// and octal escapes of up to three digits. nullopt when the quote is not
// closed or close_char ends the text first (Wine's key names end at ']').
std::optional<std::string> ReadQuoted(std::string_view s, size_t& at, bool wine, char close_char = '"') {
    std::string out;
    for (++at; at < s.size(); ++at) {
        const char c = s[at];
        if (c == close_char) {
            ++at;
            return out;
        }
        if (c != '\\' || at + 1 >= s.size()) {
            out.push_back(c);
            continue;
        }
        const char e = s[++at];
        if (!wine) {
            if (e != '\\' && e != '"') out.push_back('\\');
            out.push_back(e);
            continue;
        }
        switch (e) {
            case 'a': out.push_back('\a'); break;
            case 'b': out.push_back('\b'); break;
            case 'e': out.push_back('\x1B'); break;
            case 'f': out.push_back('\f'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'v': out.push_back('\v'); break;
            case 'x': {
                uint32_t unit = 0;
                int digits = 0;
                while (digits < 4 && at + 1 < s.size() && HexDigit(s[at + 1]) >= 0) {
                    unit = unit * 16 + static_cast<uint32_t>(HexDigit(s[++at]));
                    ++digits;
                }
                out.push_back(digits ? FromCodeUnit(unit) : 'x');
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    uint32_t unit = static_cast<uint32_t>(e - '0');
                    for (int digits = 1; digits < 3 && at + 1 < s.size() && s[at + 1] >= '0' && s[at + 1] <= '7';
                         ++digits)
                        unit = unit * 8 + static_cast<uint32_t>(s[++at] - '0');
                    out.push_back(FromCodeUnit(unit));
                } else {
                    out.push_back(e);
                }
        }
    }
    return std::nullopt;
}

// Comma-separated bytes of one or two hex digits each; blanks around them
// and a trailing comma (before a continuation) are allowed.
std::optional<std::string> ReadHexBytes(std::string_view s) {
    std::string out;
    size_t at = 0;
    while (true) {
        while (at < s.size() && IsSpace(s[at])) ++at;
        if (at == s.size()) return out;
        int digits = 0, byte = 0;
        while (at < s.size() && digits < 2 && HexDigit(s[at]) >= 0) {
            byte = byte * 16 + HexDigit(s[at++]);
            ++digits;
        }
        if (digits == 0) return std::nullopt;
        if (out.size() == RegistryStore::kMaxValueBytes) return std::nullopt;
        out.push_back(static_cast<char>(byte));
        while (at < s.size() && IsSpace(s[at])) ++at;
        if (at == s.size()) return out;
        if (s[at] != ',') return std::nullopt;
        ++at;
    }
}

// A hex number of one to eight digits filling the whole text.
std::optional<uint32_t> ReadHexNumber(std::string_view s) {
    if (s.empty() || s.size() > 8) return std::nullopt;
    uint32_t v = 0;
    for (char c : s) {
        const int d = HexDigit(c);
        if (d < 0) return std::nullopt;
        v = v * 16 + static_cast<uint32_t>(d);
    }
    return v;
}

// Where a value line's data begins (after "Name"= or @=); npos when the
// line does not start like a value.
size_t DataStart(std::string_view line, bool wine) {
    size_t at = 0;
    if (line.empty()) return std::string_view::npos;
    if (line[0] == '@') at = 1;
    else if (line[0] != '"' || !ReadQuoted(line, at, wine)) return std::string_view::npos;
    while (at < line.size() && IsSpace(line[at])) ++at;
    return at < line.size() && line[at] == '=' ? at + 1 : std::string_view::npos;
}

// One value line (continuations joined): "Name"=data or @=data.
std::optional<RegistryStore::Value> ParseValue(std::string_view line, bool wine) {
    RegistryStore::Value v;
    size_t at = 0;
    if (line.empty()) return std::nullopt;
    if (line[0] == '@') {
        at = 1;
    } else {
        auto name = ReadQuoted(line, at, wine);
        if (!name || name->size() > RegistryStore::kMaxNameBytes) return std::nullopt;
        v.name = std::move(*name);
    }
    std::string_view rest = TrimLeft(line.substr(at));
    if (rest.empty() || rest[0] != '=') return std::nullopt;
    rest = TrimRight(TrimLeft(rest.substr(1)));

    auto quoted_text = [&](std::string_view text, uint32_t type) -> bool {
        size_t q = 0;
        auto s = ReadQuoted(text, q, wine);
        if (!s || !TrimLeft(text.substr(q)).empty() || s->size() >= RegistryStore::kMaxValueBytes) return false;
        v.type = type;
        v.data = std::move(*s);
        v.data.push_back('\0');
        return true;
    };
    if (!rest.empty() && rest[0] == '"') {
        if (!quoted_text(rest, RegistryStore::kTypeString)) return std::nullopt;
        return v;
    }
    if (StartsWithNoCase(rest, "dword:")) {
        const auto n = ReadHexNumber(rest.substr(6));
        if (!n) return std::nullopt;
        v.type = RegistryStore::kTypeDword;
        for (int i = 0; i < 4; ++i) v.data.push_back(static_cast<char>((*n >> (8 * i)) & 0xFF));
        return v;
    }
    std::string_view bytes;
    if (StartsWithNoCase(rest, "hex:")) {
        v.type = RegistryStore::kTypeBinary;
        bytes = rest.substr(4);
    } else if (StartsWithNoCase(rest, "hex(") || (wine && StartsWithNoCase(rest, "str("))) {
        const size_t close = rest.find("):");
        if (close == std::string_view::npos) return std::nullopt;
        const auto type = ReadHexNumber(rest.substr(4, close - 4));
        if (!type) return std::nullopt;
        if (StartsWithNoCase(rest, "str(")) {
            if (!quoted_text(rest.substr(close + 2), *type)) return std::nullopt;
            return v;
        }
        v.type = *type;
        bytes = rest.substr(close + 2);
    } else {
        return std::nullopt;
    }
    auto data = ReadHexBytes(bytes);
    if (!data) return std::nullopt;
    v.data = std::move(*data);
    return v;
}

// Whether a value line's name is this one (ASCII lower-case).
bool IsValueNamed(std::string_view line, std::string_view folded) {
    const std::string_view t = TrimLeft(line);
    if (t.empty()) return false;
    if (t[0] == '@') return folded.empty();
    size_t at = 0;
    const auto name = ReadQuoted(t, at, false);
    return name && Folded(*name) == folded;
}

void AppendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
}

void AppendHex(std::string& out, uint32_t v, int width) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[v & 0xF]);
        v >>= 4;
    } while (v != 0);
    if (static_cast<int>(digits.size()) < width) digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
    out += digits;
}

// The value's line (or lines) in the registry editor's form; long hex data
// runs on over lines joined by eol.
std::string FormatValue(const RegistryStore::Value& v, std::string_view eol = "\r\n") {
    std::string out;
    if (v.name.empty()) {
        out = "@";
    } else {
        out = "\"";
        AppendEscaped(out, v.name);
        out += "\"";
    }
    out += '=';
    const std::string_view data(v.data);
    // A string is written as text only when it reads back to the same bytes:
    // one terminating NUL, and nothing that would break the line.
    if (v.type == RegistryStore::kTypeString && !data.empty() && data.back() == '\0' &&
        data.substr(0, data.size() - 1).find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos) {
        out += '"';
        AppendEscaped(out, data.substr(0, data.size() - 1));
        out += '"';
        return out;
    }
    if (v.type == RegistryStore::kTypeDword && data.size() == 4) {
        uint32_t n = 0;
        for (int i = 0; i < 4; ++i) n |= static_cast<uint32_t>(static_cast<uint8_t>(data[i])) << (8 * i);
        out += "dword:";
        AppendHex(out, n, 8);
        return out;
    }
    if (v.type == RegistryStore::kTypeBinary) {
        out += "hex:";
    } else {
        out += "hex(";
        AppendHex(out, v.type, 1);
        out += "):";
    }
    size_t column = out.size();
    for (size_t i = 0; i < data.size(); ++i) {
        AppendHex(out, static_cast<uint8_t>(data[i]), 2);
        column += 2;
        if (i + 1 == data.size()) break;
        out += ',';
        ++column;
        if (column > kHexWrapColumn) {
            out += '\\';
            out += eol;
            out += "  ";
            column = 2;
        }
    }
    return out;
}

}  // namespace

RegistryStore::RegistryStore(RegistryHive hive) : hive_(hive) {}

fs::path RegistryStore::ConfigFolder() {
    if (auto dir = EnvOrEmpty("OSTREVAN_CONFIG_DIR"); !dir.empty()) return dir;
    // The XDG rules ignore a relative XDG_CONFIG_HOME.
    if (auto xdg = EnvOrEmpty("XDG_CONFIG_HOME"); !xdg.empty() && fs::path(xdg).is_absolute())
        return fs::path(xdg) / "Ostrevan";
    if (auto home = EnvOrEmpty("HOME"); !home.empty()) return fs::path(home) / ".config" / "Ostrevan";
    return {};
}

fs::path RegistryStore::FileOf(RegistryHive hive) {
    const fs::path folder = ConfigFolder();
    if (folder.empty()) return {};
    return folder / (hive == RegistryHive::kCurrentUser ? "current_user.reg" : "local_machine.reg");
}

std::string RegistryStore::NormalizeKeyPath(std::string_view path) {
    std::string out;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) {
            if (!out.empty()) out.push_back('\\');
            out.append(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return out;
}

std::string RegistryStore::RootName() const {
    return hive_ == RegistryHive::kCurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

void RegistryStore::Clear() {
    keys_.clear();
    order_.clear();
    source_.clear();
    eol_ = "\r\n";
    removed_.clear();
    kept_lines_ = 0;
}

RegistryStore::LoadResult RegistryStore::Load(const fs::path& file) {
    Clear();
    std::string bytes;
    switch (atomic_file::Read(file, kMaxFileBytes, bytes)) {
        case atomic_file::ReadResult::kMissing: return LoadResult::kMissing;
        case atomic_file::ReadResult::kUnreadable: return LoadResult::kUnreadable;
        case atomic_file::ReadResult::kRead: break;
    }
    source_ = std::move(bytes);
    const std::string_view view(source_);
    return Parse(view, Dialect::kRegedit4);
}

RegistryStore::LoadResult RegistryStore::LoadWine(const fs::path& file) {
    Clear();
    std::string bytes;
    switch (atomic_file::Read(file, kMaxFileBytes, bytes)) {
        case atomic_file::ReadResult::kMissing: return LoadResult::kMissing;
        case atomic_file::ReadResult::kUnreadable: return LoadResult::kUnreadable;
        case atomic_file::ReadResult::kRead: break;
    }
    return DecodeWine(bytes);
}

bool RegistryStore::IsReadOnly(const fs::path& file) {
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
}

bool RegistryStore::MakeFolder(const fs::path& file) {
    std::error_code ec;
    const fs::path folder = file.parent_path();
    if (fs::is_directory(folder, ec)) return true;
    fs::create_directories(folder, ec);
    if (ec) return false;
    // Only the user reads the settings and the ranking login.
    fs::permissions(folder, fs::perms::owner_all, ec);
    return true;
}

bool RegistryStore::Save(const fs::path& file) const {
    if (file.empty()) return false;
    // The user made the file read-only: it is theirs to keep as it is.
    if (IsReadOnly(file)) {
        errno = EROFS;
        return false;
    }
    if (!MakeFolder(file)) return false;
    return atomic_file::Write(file, Encode(), fs::perms::owner_read | fs::perms::owner_write);
}

RegistryStore::LoadResult RegistryStore::Decode(std::string_view bytes) {
    Clear();
    source_.assign(bytes);
    const std::string_view view(source_);
    return Parse(view, Dialect::kRegedit4);
}

RegistryStore::LoadResult RegistryStore::DecodeWine(std::string_view bytes) {
    Clear();
    return Parse(bytes, Dialect::kWine);
}

namespace {

// The last line of the value line lines[i] with the lines it runs on over:
// hex data continues on lines after one that ends in '\', up to a blank
// line (the end of a section). With logical given, the value's text joined.
size_t ValueLines(const std::vector<std::string_view>& lines, size_t i, bool wine, std::string* logical) {
    const std::string_view t = TrimRight(TrimLeft(lines[i]));
    const size_t data = DataStart(t, wine);
    const bool hex = data != std::string_view::npos && StartsWithNoCase(TrimLeft(t.substr(data)), "hex");
    size_t size = t.size();
    if (logical) logical->assign(t);
    bool more = hex && !t.empty() && t.back() == '\\';
    while (more && i + 1 < lines.size() && !TrimRight(lines[i + 1]).empty() &&
           size + lines[i + 1].size() <= RegistryStore::kMaxLineBytes) {
        const std::string_view next = TrimRight(TrimLeft(lines[++i]));
        size = size - 1 + next.size();
        if (logical) {
            logical->pop_back();
            *logical += next;
        }
        more = next.back() == '\\';
    }
    // A continuation mark with nothing after it ends the data.
    if (logical && hex && !logical->empty() && logical->back() == '\\') logical->pop_back();
    return i;
}

}  // namespace

// bytes is source_ for the export format (spans are offsets into it), and
// any text for Wine's file, which is never written. Only the sections are
// found here; a key's lines are read when the key is first used (LoadKey),
// so a large file of other programs' keys costs little more than a scan.
RegistryStore::LoadResult RegistryStore::Parse(std::string_view bytes, Dialect dialect) {
    const bool wine = dialect == Dialect::kWine;
    const char* const base = bytes.data();
    auto offset = [base](std::string_view part) { return static_cast<size_t>(part.data() - base); };
    const std::string_view whole = bytes;
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) bytes.remove_prefix(kUtf8Mark.size());
    // A file emptied by hand holds nothing that a save could lose; it is
    // written whole.
    if (bytes.find_first_not_of(" \t\r\n") == std::string_view::npos) {
        source_.clear();
        return LoadResult::kLoaded;
    }
    const std::vector<std::string_view> lines = SplitTextLines(bytes);
    if (TrimRight(lines[0]) != (wine ? kWineHeader : kRegedit4Header)) {
        source_.clear();
        return LoadResult::kDamaged;
    }
    if (const size_t lf = bytes.find('\n'); lf != std::string_view::npos)
        eol_ = lf > 0 && bytes[lf - 1] == '\r' ? "\r\n" : "\n";

    const std::string root = Folded(RootName());
    Key* key = nullptr;  // the section being read, when it is a key of this hive
    size_t body = 0;     // where its lines begin
    auto close = [&](size_t end) {
        if (key) key->pending.emplace_back(body, end);
    };
    // Lines outside the keys of this hive are kept as they stand.
    auto keep = [&] {
        if (!key && !wine) ++kept_lines_;
    };
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::string_view t = TrimLeft(line);
        if (TrimRight(t).empty()) continue;
        if (line.size() > kMaxLineBytes) {
            keep();
            continue;
        }
        if (t[0] == '[') {
            close(offset(line));
            std::optional<std::string> path;
            if (wine) {
                size_t at = 0;
                auto name = ReadQuoted(t, at, true, ']');
                if (name) path = NormalizeKeyPath(*name);
            } else {
                const size_t close_at = t.rfind(']');
                const std::string_view inside = t.substr(1, close_at == std::string_view::npos ? 0 : close_at - 1);
                const size_t cut = std::min(inside.find('\\'), inside.size());
                if (close_at != std::string_view::npos && Folded(inside.substr(0, cut)) == root)
                    path = NormalizeKeyPath(inside.substr(cut));
            }
            key = nullptr;
            if (path && path->size() <= kMaxNameBytes) {
                const size_t before = keys_.size();
                key = AddKey(*path);
                if (keys_.size() != before) key->header_end = offset(line) + line.size();
                body = offset(line) + line.size();
            } else if (!wine) {
                ++kept_lines_;  // another hive's key, a key deletion: kept with its lines
            }
            continue;
        }
        if (t[0] == '"' || t[0] == '@') i = ValueLines(lines, i, wine, nullptr);
        keep();
    }
    close(offset(whole.substr(whole.size())));
    if (wine) {
        // Wine's file is not kept: its keys are read now.
        for (auto& [folded, k] : keys_) LoadKey(k, whole, true);
        source_.clear();
    }
    return LoadResult::kLoaded;
}

void RegistryStore::LoadKey(Key& key, std::string_view base, bool wine) const {
    if (key.pending.empty()) return;
    const std::vector<std::pair<size_t, size_t>> spans = std::move(key.pending);
    key.pending.clear();
    for (size_t s = 0; s < spans.size(); ++s) {
        const bool first_section = s == 0;
        auto keep = [&](size_t begin, size_t end, bool duplicate = false) {
            if (wine) return;  // Wine's file is only read
            ++kept_lines_;
            Entry e;
            e.begin = begin;
            e.end = end;
            e.first_section = first_section;
            e.duplicate = duplicate;
            key.entries.push_back(std::move(e));
        };
        const std::vector<std::string_view> lines =
            SplitTextLines(base.substr(spans[s].first, spans[s].second - spans[s].first));
        auto offset = [&base](std::string_view part) { return static_cast<size_t>(part.data() - base.data()); };
        std::string logical;
        for (size_t i = 0; i < lines.size(); ++i) {
            const std::string_view line = lines[i];
            const std::string_view t = TrimLeft(line);
            if (TrimRight(t).empty()) continue;
            if (line.size() > kMaxLineBytes || (t[0] != '"' && t[0] != '@')) {
                keep(offset(line), offset(line) + line.size());  // comments, Wine's #time lines, anything else
                continue;
            }
            const size_t begin = offset(line);
            i = ValueLines(lines, i, wine, &logical);
            const size_t end = offset(lines[i]) + lines[i].size();
            auto value = ParseValue(logical, wine);
            if (!value || HasLineBreak(value->name)) {
                keep(begin, end);
                continue;
            }
            const std::string folded = Folded(value->name);
            if (key.values.count(folded)) {
                // The first of duplicate values stands; the others are kept as text.
                keep(begin, end, true);
                continue;
            }
            Entry e;
            e.is_value = true;
            e.value = std::move(*value);
            e.begin = wine ? kNoSpan : begin;
            e.end = wine ? kNoSpan : end;
            e.first_section = first_section;
            key.entries.push_back(std::move(e));
            key.values.emplace(folded, std::prev(key.entries.end()));
        }
    }
}

std::string RegistryStore::EncodeWhole() const {
    std::string out;
    out += kRegedit4Header;
    out += "\r\n\r\n";
    const std::string root = RootName();
    for (const std::string& folded : order_) {
        const Key& key = keys_.at(folded);
        out += "[" + root + (key.path.empty() ? "" : "\\" + key.path) + "]\r\n";
        for (const Entry& e : key.entries)
            if (e.is_value) out += FormatValue(e.value) + "\r\n";
        out += "\r\n";
    }
    return out;
}

std::string RegistryStore::Encode() const {
    if (source_.empty()) return EncodeWhole();
    struct Edit {
        size_t at;
        size_t remove;
        std::string text;
    };
    std::vector<Edit> edits;
    for (const auto& [begin, end] : removed_) edits.push_back({begin, end - begin, {}});
    const std::string root = RootName();
    std::string new_keys;
    for (const std::string& folded : order_) {
        const Key& key = keys_.at(folded);
        std::string added;
        for (const Entry& e : key.entries)
            if (e.begin == kNoSpan && e.is_value) added += eol_ + FormatValue(e.value, eol_);
        if (key.header_end == kNoSpan) {
            new_keys += "[" + root + (key.path.empty() ? "" : "\\" + key.path) + "]";
            new_keys += added;
            new_keys += eol_ + eol_;
            continue;
        }
        // New values follow the last value of the key's first section.
        size_t anchor = key.header_end;
        const Entry* last = nullptr;
        for (const Entry& e : key.entries) {
            if (e.begin == kNoSpan) continue;
            if (e.is_value && e.edited) edits.push_back({e.begin, e.end - e.begin, FormatValue(e.value, eol_)});
            if (e.is_value && e.first_section) {
                anchor = e.end;
                last = &e;
            }
        }
        if (added.empty()) continue;
        // Hex data whose last line still ends in a continuation mark would
        // take the new line in: that value is written afresh.
        if (last && !last->edited && TrimRight(std::string_view(source_).substr(last->begin, last->end - last->begin))
                                             .ends_with('\\'))
            edits.push_back({last->begin, last->end - last->begin, FormatValue(last->value, eol_)});
        edits.push_back({anchor, 0, std::move(added)});
    }
    std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.at < b.at; });
    std::string out;
    out.reserve(source_.size() + new_keys.size() + 256);
    size_t at = 0;
    for (const Edit& e : edits) {
        out.append(source_, at, e.at - at);
        out += e.text;
        at = e.at + e.remove;
    }
    out.append(source_, at, std::string::npos);
    if (!new_keys.empty()) {
        // A blank line before the new sections, as between any two.
        if (!out.ends_with('\n')) out += eol_;
        if (!out.ends_with(eol_ + eol_) && !out.ends_with("\n\n")) out += eol_;
        out += new_keys;
    }
    return out;
}

RegistryStore::Key* RegistryStore::AddKey(const std::string& normalized) {
    const std::string folded = Folded(normalized);
    auto [it, added] = keys_.try_emplace(folded);
    if (added) {
        it->second.path = normalized;
        order_.push_back(folded);
    }
    return &it->second;
}

RegistryStore::Key* RegistryStore::FindKey(std::string_view path) const {
    const auto it = keys_.find(Folded(NormalizeKeyPath(path)));
    if (it == keys_.end()) return nullptr;
    LoadKey(it->second, source_, false);
    return &it->second;
}

bool RegistryStore::KeyExists(std::string_view path) const {
    const std::string folded = Folded(NormalizeKeyPath(path));
    if (folded.empty() || keys_.count(folded)) return true;
    // A stored key implies its parents: look for the first key below this one.
    const std::string below = folded + '\\';
    auto it = keys_.lower_bound(below);
    return it != keys_.end() && it->first.compare(0, below.size(), below) == 0;
}

void RegistryStore::CreateKey(std::string_view path) {
    const std::string normalized = NormalizeKeyPath(path);
    if (normalized.size() > kMaxNameBytes || HasLineBreak(normalized)) return;
    AddKey(normalized);
}

const RegistryStore::Value* RegistryStore::FindValue(std::string_view path, std::string_view name) const {
    const Key* key = FindKey(path);
    if (!key) return nullptr;
    const auto value = key->values.find(Folded(name));
    return value == key->values.end() ? nullptr : &value->second->value;
}

bool RegistryStore::SetValue(std::string_view path, std::string_view name, uint32_t type, std::string_view data) {
    const std::string normalized = NormalizeKeyPath(path);
    if (normalized.size() > kMaxNameBytes || name.size() > kMaxNameBytes || data.size() > kMaxValueBytes ||
        HasLineBreak(normalized) || HasLineBreak(name))
        return false;
    Key& key = *AddKey(normalized);
    LoadKey(key, source_, false);
    const std::string folded = Folded(name);
    if (auto found = key.values.find(folded); found != key.values.end()) {
        Entry& e = *found->second;
        // An unchanged value keeps the text it was read from.
        if (e.value.type != type || e.value.data != data) e.edited = true;
        // A value that is written again keeps the name it was first stored under.
        e.value.type = type;
        e.value.data.assign(data);
        return true;
    }
    Entry e;
    e.is_value = true;
    e.value = Value{std::string(name), type, std::string(data)};
    key.entries.push_back(std::move(e));
    key.values.emplace(folded, std::prev(key.entries.end()));
    return true;
}

bool RegistryStore::DeleteValue(std::string_view path, std::string_view name) {
    Key* key = FindKey(path);
    if (!key) return false;
    const std::string folded = Folded(name);
    const auto found = key->values.find(folded);
    if (found == key->values.end()) return false;
    // The value's lines go with their line end.
    auto remove = [this](const Entry& e) {
        if (e.begin == kNoSpan) return;
        size_t end = e.end;
        if (end < source_.size() && source_[end] == '\r') ++end;
        if (end < source_.size() && source_[end] == '\n') ++end;
        removed_.emplace_back(e.begin, end);
    };
    remove(*found->second);
    key->entries.erase(found->second);
    key->values.erase(found);
    // Duplicates kept from the file would otherwise stand in its place when
    // the file is read again.
    for (auto it = key->entries.begin(); it != key->entries.end();) {
        if (it->is_value || !it->duplicate || !IsValueNamed(std::string_view(source_).substr(it->begin, it->end - it->begin), folded)) {
            ++it;
            continue;
        }
        remove(*it);
        --kept_lines_;
        it = key->entries.erase(it);
    }
    return true;
}

size_t RegistryStore::KeptLineCount() const {
    for (auto& [folded, key] : keys_) LoadKey(key, source_, false);
    return kept_lines_;
}
