#pragma once
// The registry of one hive, kept in a text file of our own under the
// program's configuration folder: $OSTREVAN_CONFIG_DIR when set, else
// $XDG_CONFIG_HOME/Ostrevan, else $HOME/.config/Ostrevan. The current user's
// hive is "current_user.reg", the machine hive (where the simulator's setup
// key is read) "local_machine.reg".
//
// As in the Windows registry, key paths are split at '\' and compared
// without regard to case, a key implies its parent keys, and value names are
// compared without regard to case (the empty name is the key's default
// value). A value is typed (the Windows type codes) and holds raw bytes.
//
// File format: the registry editor's export format version 4, so users can
// read, fix and carry their settings, and a file exported from the Windows
// registry editor loads as it stands. Windows-1252 bytes, CR LF line ends:
//   REGEDIT4
//   <blank line>
//   [HKEY_CURRENT_USER\Software\Ostrevan\Ostrevan\Settings]
//   "QELDirectory"="C:\\Games\\QEL"        (type 1: '\' and '"' escaped)
//   "MPH"=dword:00000001                   (type 4, exactly 4 bytes)
//   "Laps"=hex:02,00,01,00,00,00,02,00,\   (type 3; long lines continue
//     00,00                                 after a trailing '\')
//   @=hex(2):43,3a,00                      (other types; @ the default value)
// Reading is lenient and loses nothing: a line that is not understood (a
// comment, a damaged value, a key of another hive, a duplicate value - the
// first one stands, as in the registry editor's import) is kept where it
// stands. Every line is bounded (kMaxLineBytes); longer ones are kept
// unread. An empty file is an empty hive. A file whose first line is not
// "REGEDIT4" cannot be read at all (kDamaged): it is reported by the
// callers and must never be overwritten.
//
// Reading finds the sections of the file; the lines of a key are read
// when the key is first used, so a large file of other programs' keys
// costs little more than a scan.
//
// Writing a file that was read changes only the lines of the values that
// changed: new values join the first section of their key, new keys go at
// the end, and every other byte (line ends, a byte-order mark, blank lines,
// comments, repeated sections, the form a value was written in) stays as
// it stood. New lines take the file's own line end. A store that was not
// read from a file is written whole in the form above.
//
// Wine's own registry file (system.reg of a Wine prefix: a "WINE REGISTRY
// Version 2" header, key lines relative to the machine hive with C-style
// escapes and a time stamp after the bracket, the same value forms, and
// str(N): for strings of other types) is read by LoadWine; it is never
// written.

#include <cstdint>
#include <filesystem>
#include <list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

enum class RegistryHive { kCurrentUser, kLocalMachine };

class RegistryStore {
public:
    // Windows value type codes.
    static constexpr uint32_t kTypeNone = 0;
    static constexpr uint32_t kTypeString = 1;        // REG_SZ
    static constexpr uint32_t kTypeExpandString = 2;  // REG_EXPAND_SZ
    static constexpr uint32_t kTypeBinary = 3;        // REG_BINARY
    static constexpr uint32_t kTypeDword = 4;         // REG_DWORD

    static constexpr size_t kMaxValueBytes = 1024 * 1024;
    static constexpr size_t kMaxFileBytes = 64 * 1024 * 1024;
    static constexpr size_t kMaxNameBytes = 16383;
    // A value line with its continuations: room for the largest value in hex.
    static constexpr size_t kMaxLineBytes = 4 * kMaxValueBytes;

    enum class LoadResult {
        kLoaded,      // read; lines that were not understood are kept
        kMissing,     // no file yet: an empty hive
        kDamaged,     // not in the file format: an empty hive, and the file must not be overwritten
        kUnreadable,  // the file exists but cannot be read: empty, and must not be overwritten
    };

    struct Value {
        std::string name;
        uint32_t type = kTypeNone;
        std::string data;
    };

    // The hive names the root of the key lines ("HKEY_CURRENT_USER" or
    // "HKEY_LOCAL_MACHINE").
    explicit RegistryStore(RegistryHive hive = RegistryHive::kCurrentUser);
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;

    // The configuration folder; empty when no environment variable names one.
    static std::filesystem::path ConfigFolder();
    // The hive's file in the configuration folder; empty when there is none.
    static std::filesystem::path FileOf(RegistryHive hive);
    // True when the file exists and its owner may not write it: the user
    // made it read-only, and it is kept as it is.
    static bool IsReadOnly(const std::filesystem::path& file);
    // Creates the folder of file (mode 0700) when it is missing; false
    // when it cannot be made.
    static bool MakeFolder(const std::filesystem::path& file);
    // True when a store loaded with this result may be saved over its file.
    static bool MayReplace(LoadResult result) {
        return result == LoadResult::kLoaded || result == LoadResult::kMissing;
    }

    // Key path with empty components dropped and '\' between the rest.
    static std::string NormalizeKeyPath(std::string_view path);

    LoadResult Load(const std::filesystem::path& file);
    // Reads Wine's registry file; kDamaged when it lacks Wine's header.
    LoadResult LoadWine(const std::filesystem::path& file);
    // Creates the folder (mode 0700) when needed and writes the file
    // atomically with mode 0600. False on failure; the old file then stands.
    // A file the user made read-only (no write permission for its owner) is
    // kept as it is: the save fails with errno EROFS.
    bool Save(const std::filesystem::path& file) const;

    // Parse the file formats; return kLoaded or kDamaged.
    LoadResult Decode(std::string_view bytes);
    LoadResult DecodeWine(std::string_view bytes);
    std::string Encode() const;

    // The root (empty path) always exists.
    bool KeyExists(std::string_view path) const;
    // Ignored for paths that are too long or hold a line break.
    void CreateKey(std::string_view path);
    // Null when the key or the value does not exist. Valid until the store changes.
    const Value* FindValue(std::string_view path, std::string_view name) const;
    // Creates the key when needed. False when the path, the name or the data
    // is too long, or the path or name holds a line break.
    bool SetValue(std::string_view path, std::string_view name, uint32_t type, std::string_view data);
    // False when the value does not exist.
    bool DeleteValue(std::string_view path, std::string_view name);

    size_t KeyCount() const { return keys_.size(); }
    // Lines kept without being understood (comments included).
    size_t KeptLineCount() const;

private:
    enum class Dialect { kRegedit4, kWine };
    static constexpr size_t kNoSpan = static_cast<size_t>(-1);

    // A line of a key's section: a value, or a line kept as it stands.
    struct Entry {
        bool is_value = false;
        Value value;
        // The lines it was read from: [begin, end) of the source, without
        // the last line's line end; kNoSpan for a value added since.
        size_t begin = kNoSpan;
        size_t end = kNoSpan;
        bool edited = false;          // the value no longer matches its lines
        bool first_section = true;    // read from the key's first section
        bool duplicate = false;       // a kept line that repeats a value
    };
    struct Key {
        Key() = default;
        Key(Key&&) = default;
        Key(const Key&) = delete;
        Key& operator=(const Key&) = delete;
        std::string path;  // normalised, in the case first written
        std::list<Entry> entries;
        std::map<std::string, std::list<Entry>::iterator> values;  // by ASCII lower-case name
        size_t header_end = kNoSpan;  // end of its first section's header line in the source
        // Its sections' lines in the source, not yet read: [begin, end).
        std::vector<std::pair<size_t, size_t>> pending;
    };

    void Clear();
    LoadResult Parse(std::string_view bytes, Dialect dialect);
    // Reads the key's pending lines from base (the text its spans are in).
    void LoadKey(Key& key, std::string_view base, bool wine) const;
    Key* AddKey(const std::string& normalized);
    // The key with its lines read; null when there is none.
    Key* FindKey(std::string_view path) const;
    std::string RootName() const;
    std::string EncodeWhole() const;

    RegistryHive hive_;
    // Keys by ASCII lower-case normalised path, so that lookups stay cheap
    // however many keys a damaged file holds.
    // Mutable: a key's lines are read when it is first looked at.
    mutable std::map<std::string, Key> keys_;
    std::vector<std::string> order_;  // folded key paths, in file order, then as created
    // The file as read (empty when the store was not read from one); a
    // save changes only what changed in it.
    std::string source_;
    std::string eol_ = "\r\n";
    std::vector<std::pair<size_t, size_t>> removed_;  // spans of deleted lines, with their line ends
    mutable size_t kept_lines_ = 0;
};
