#pragma once
// The registry of one hive, kept in a file of our own under the program's
// configuration folder: $OSTREVAN_CONFIG_DIR when set, else
// $XDG_CONFIG_HOME/Ostrevan, else $HOME/.config/Ostrevan. The current user's
// hive is "current_user.reg", the machine hive (where the simulator's setup
// key is read) "local_machine.reg".
//
// As in the Windows registry, key paths are split at '\' and compared
// without regard to case, a key implies its parent keys, and value names are
// compared without regard to case (the empty name is the key's default
// value). A value is typed (the Windows type codes) and holds raw bytes.
//
// File format (little-endian): the 8 bytes "OSTREG1\0"; u32 key count; per
// key: u16 path length, path bytes, u32 value count; per value: u16 name
// length, name bytes, u32 type, u32 data length, data bytes. Every count and
// length is checked against the bytes left, and data is limited to
// kMaxValueBytes and files to kMaxFileBytes. A damaged file keeps what was
// read before the damage.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

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

    enum class LoadResult {
        kLoaded,      // the whole file was read
        kMissing,     // no file yet: an empty hive
        kDamaged,     // not our format, or cut or corrupt: what came before the damage was kept
        kUnreadable,  // the file exists but cannot be read: empty, and must not be overwritten
    };

    struct Value {
        std::string name;
        uint32_t type = kTypeNone;
        std::string data;
    };

    // The configuration folder; empty when no environment variable names one.
    static std::filesystem::path ConfigFolder();
    // The hive's file in the configuration folder; empty when there is none.
    static std::filesystem::path FileOf(RegistryHive hive);

    // Key path with empty components dropped and '\' between the rest.
    static std::string NormalizeKeyPath(std::string_view path);

    LoadResult Load(const std::filesystem::path& file);
    // Creates the folder (mode 0700) when needed and writes the file
    // atomically with mode 0600. False on failure; the old file then stands.
    bool Save(const std::filesystem::path& file) const;

    // Parses the file format; returns kLoaded or kDamaged.
    LoadResult Decode(std::string_view bytes);
    std::string Encode() const;

    // The root (empty path) always exists.
    bool KeyExists(std::string_view path) const;
    void CreateKey(std::string_view path);
    // Null when the key or the value does not exist. Valid until the store changes.
    const Value* FindValue(std::string_view path, std::string_view name) const;
    // Creates the key when needed. False when the name or the data is too long.
    bool SetValue(std::string_view path, std::string_view name, uint32_t type, std::string_view data);
    // False when the value does not exist.
    bool DeleteValue(std::string_view path, std::string_view name);

    // Every key in the store with its values, in no particular order.
    size_t KeyCount() const { return keys_.size(); }

private:
    struct Key {
        std::string path;                    // normalised, in the case first written
        std::map<std::string, Value> values;  // by ASCII lower-case name
    };
    // Keys by ASCII lower-case normalised path, so that lookups stay cheap
    // however many keys a damaged file claims.
    std::map<std::string, Key> keys_;
};
