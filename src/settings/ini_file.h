#pragma once
// IniFile: an ini file (the simulator's season file and driver profiles,
// track.ini, the lap-times file) read and edited with the rules of the
// Windows profile functions that wrote and read these files:
//
// - Section and key names compare without regard to ASCII case; the names
//   asked for are trimmed of blanks. A section header is the text between
//   "[" and the last "]" of its line, kept as written: "[ monaco ]" is the
//   section " monaco ", which no trimmed name finds (driver profiles are
//   repaired before they are read for this reason).
// - A key line is "key=value"; key and value are trimmed of blanks and tabs.
//   Lines starting with ";" are comments; other lines without "=" and lines
//   before the first section are kept but hold no keys.
// - When a section or a key occurs twice, the first one wins.
// - Writing a key replaces its line in place; a new key goes after the last
//   non-blank line of its section, a new section at the end of the file.
//   Every other line is kept byte for byte.
// - The file is written with CR LF line ends, atomically. Bytes are passed
//   through unchanged (Windows-1252 text stays as it is).

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The lines of a text, split at LF; a CR before the LF belongs to the line
// end. A last line without LF is still a line; an empty text has none.
std::vector<std::string_view> SplitTextLines(std::string_view text);

class IniFile {
public:
    // Larger files are refused rather than read.
    static constexpr size_t kMaxFileBytes = 16 * 1024 * 1024;

    // An empty file.
    IniFile();
    // Parses text; LF and CR LF line ends are both accepted.
    explicit IniFile(std::string_view text);

    // Reads the file. False when it is missing, unreadable or too large; the
    // object is then empty, so reads give their defaults and a Save writes a
    // new file.
    bool Load(const std::filesystem::path& file);
    // Writes Text() atomically; an existing file keeps its permissions.
    // False when the file could not be written (the old one then stands).
    bool Save(const std::filesystem::path& file) const;
    // The lines joined with CR LF, the last one terminated too.
    std::string Text() const;

    // The value of the first matching key of the first matching section;
    // nullopt when either is missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    // The value, or fallback when it is missing.
    std::string GetString(std::string_view section, std::string_view key, std::string_view fallback) const;
    // As the profile functions fill a caller's buffer of buffer_size bytes:
    // out gets the value (or fallback) cut to buffer_size - 1 characters, and
    // the result is the number of characters in out. A buffer size of 0
    // gives an empty text and 0.
    size_t GetString(std::string_view section, std::string_view key, std::string_view fallback, size_t buffer_size,
                     std::string& out) const;

    // Names of the sections in file order, as written between the brackets,
    // duplicates included; sections with an empty name are left out.
    std::vector<std::string> SectionNames() const;

    // Sets key=value in the section, creating the key and the section when
    // they are missing. False (nothing changed) when a name is empty, a name
    // or the value holds CR or LF, or the key holds "=" or starts with "["
    // or ";", since such a line would not read back as the same key.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    // Removes every section of that name with all its lines. False when
    // there was none.
    bool DeleteSection(std::string_view section);

private:
    enum class Kind { kOther, kSection, kKey };
    struct Line {
        std::string raw;
        Kind kind = Kind::kOther;
        std::string name;   // section name, or key (trimmed)
        std::string value;  // key lines: trimmed value
    };
    static Line Parse(std::string raw);
    // Index of the first header of the section; nullopt when missing.
    std::optional<size_t> FindSection(std::string_view name) const;
    // Rebuilds first_section_ after lines were added or removed.
    void Reindex();
    // One past the last line of the section whose header is at index.
    size_t SectionEnd(size_t header) const;

    std::vector<Line> lines_;
    // Line index of the first header of each section, by ASCII lower-case
    // name, so lookups do not walk the whole file.
    std::unordered_map<std::string, size_t> first_section_;
};
