#pragma once
// CRegistry: a small wrapper of one registry key, used by the settings and
// by the records and ranking tools for their own values. Each operation goes
// to the hive's file (through HiveCache, which reads it only when it
// changed) at once, so several wrappers see each other's writes, as they
// would in the registry. Writing a value that is stored already writes
// nothing.
//
// A change (creating a key, writing or deleting a value) re-reads the hive
// file and writes it under the hive's lock (HiveCache::Lock), so changes of
// several runs at once all stand; a change that is stored already takes no
// lock and writes nothing. Values that belong together (the settings, a
// table, a login) are written as one change through a Batch: one lock,
// one wait for it at most, one save, and all of them stored or none.
//
// Every operation records a result code (Windows error numbers: 0 success,
// 2 not found, 5 the hive file cannot be read, 6 no open key, 13 a value
// whose bytes do not parse, 19 the hive file is read-only (or the run writes
// nothing), 29 the hive file cannot be written, 33 another run kept the hive
// file locked for longer than the lock is waited on, 234 a value larger than
// the reader takes, 1009 the hive
// file is not in the store's format, 1015 the hive file could not be read
// when this run first read it, so it is not written until the program is
// started again, 1630 a value of the wrong type) and the
// type and size of the value it touched, readable through LastError,
// LastType and LastSize. Boolean results are true on success.
//
// Arrays are stored as binary values in the archive form of the Windows
// framework that the stored values of earlier versions use: a count (16 bits,
// or 0xFFFF and 32 bits), then 32-bit numbers, or strings each with a length
// prefix of 1, 3 or 7 bytes and their characters.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/registry_store.h"

class CRegistry {
public:
    static constexpr long kErrorSuccess = 0;
    static constexpr long kErrorFileNotFound = 2;
    static constexpr long kErrorAccessDenied = 5;
    static constexpr long kErrorInvalidHandle = 6;
    static constexpr long kErrorInvalidData = 13;
    static constexpr long kErrorWriteProtect = 19;
    static constexpr long kErrorWriteFault = 29;
    static constexpr long kErrorLockViolation = 33;
    static constexpr long kErrorMoreData = 234;
    // A hive file that cannot be parsed: reads find nothing in it and
    // writes fail, so the file is never replaced.
    static constexpr long kErrorBadDatabase = 1009;
    // A hive file that could not be read when the run first read it: the
    // program holds defaults for it, so it is not written this run.
    static constexpr long kErrorUnreadAtStart = 1015;
    static constexpr long kErrorUnsupportedType = 1630;

    // Options of CreateKey. Volatile keys are kept like the others.
    static constexpr uint32_t kOptionNonVolatile = 0;
    static constexpr uint32_t kOptionVolatile = 1;

    // DWORD values hold at most 4 bytes.
    static constexpr size_t kDwordBytes = 4;

    // The root of the hive is the open key; the key path is empty.
    explicit CRegistry(RegistryHive root);
    virtual ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    // True when the key exists. Leaves the open key as it was. Type and size
    // become 0 on failure.
    bool KeyExists(RegistryHive root, std::string_view sub_key);
    // True when the open key holds the value. Type and size become 0.
    bool ValueExists(std::string_view name);
    // Creates the key (and its parents) when needed and makes it the open
    // key. Type and size become 0. False when the hive cannot be written.
    bool CreateKey(RegistryHive root, std::string_view sub_key, uint32_t options = kOptionNonVolatile);
    // Stores sub_key as the key path and opens it; when the key does not
    // exist no key is open afterwards. Type and size become 0.
    bool Open(RegistryHive root, std::string_view sub_key);
    void Close();

    // Type 4, size 4.
    bool WriteDword(std::string_view name, uint32_t value);
    // The text and a terminating NUL: type 1, size length + 1.
    bool WriteString(std::string_view name, std::string_view text);
    // Binary values in the archive form: type 3, size in bytes.
    bool WriteDWordArray(std::string_view name, const std::vector<uint32_t>& values);
    bool WriteStringArray(std::string_view name, const std::vector<std::string>& values);

    // Reads a value of at most 4 bytes of any type; shorter data is taken as
    // the low bytes of the number. A longer value fails (234). On failure the
    // out value is unchanged. Type and size are the value's.
    bool ReadDword(std::string_view name, uint32_t& value);
    // Reads a string value (type 1 or 2) whole, up to its first NUL; values
    // of other types fail (1630). On failure the out text is unchanged.
    bool ReadString(std::string_view name, std::string& text);
    // Read a binary value written by the matching write. The array keeps the
    // size it had on entry: the stored elements fill it from the front and
    // the rest are zero (empty strings); stored elements beyond it are
    // dropped. A missing value, one of another type (1630) or one whose bytes
    // do not parse (13) fails and leaves the array unchanged.
    bool ReadDWordArray(std::string_view name, std::vector<uint32_t>& values);
    bool ReadStringArray(std::string_view name, std::vector<std::string>& values);

    // Type and size become 0.
    bool DeleteValue(std::string_view name);

    // Changes of the values of one key, gathered and then made as one:
    // Commit re-reads the hive file under its lock (taking it once, so a
    // lock held by another run is waited on once), makes every change and
    // writes the file once. So every change is stored or none is, and no
    // other run ever reads some of them without the rest. Changes that are
    // stored already take no lock and write nothing.
    class Batch {
    public:
        // The key is created, with its parents, when a value is written.
        Batch(RegistryHive hive, std::string_view key);
        void WriteDword(std::string_view name, uint32_t value);
        void WriteString(std::string_view name, std::string_view text);
        void WriteDWordArray(std::string_view name, const std::vector<uint32_t>& values);
        void WriteStringArray(std::string_view name, const std::vector<std::string>& values);
        // Afterwards the value is absent; one that is absent already is
        // no failure.
        void DeleteValue(std::string_view name);
        // True when every change is stored (an empty batch stores nothing).
        // False when none is, with the reason in LastError (the codes above);
        // the hive file is then as it was. The changes stay gathered.
        bool Commit();
        long LastError() const { return last_error_; }

    private:
        struct Edit {
            std::string name;
            bool remove = false;
            uint32_t type = 0;
            std::string data;
        };
        void Write(std::string_view name, uint32_t type, std::string data);
        RegistryHive hive_;
        std::string key_;
        std::vector<Edit> edits_;
        long last_error_ = kErrorSuccess;
    };

    long LastError() const { return last_error_; }
    uint32_t LastType() const { return last_type_; }
    uint32_t LastSize() const { return last_size_; }
    bool IsOpen() const { return open_; }
    const std::string& KeyPath() const { return key_path_; }

    // The archive form of the arrays; the Decode functions return false
    // when the bytes do not hold a whole array.
    static std::string EncodeDWordArray(const std::vector<uint32_t>& values);
    static std::string EncodeStringArray(const std::vector<std::string>& values);
    static bool DecodeDWordArray(std::string_view bytes, std::vector<uint32_t>& values);
    static bool DecodeStringArray(std::string_view bytes, std::vector<std::string>& values);

private:
    // The value named on the open key, read from the hive file; null with
    // the error recorded when there is none.
    std::optional<RegistryStore::Value> Query(std::string_view name);
    // Makes a change on the store as the hive file stands under its lock.
    // check tells whether it is needed: 0 yes, kStoredAlready no, else the
    // error that refuses it; apply makes it and returns 0 or an error. The
    // result is 0 (changed and written, or stored already) or an error.
    static constexpr long kStoredAlready = -1;
    template <class Check, class Apply>
    static long Change(RegistryHive hive, Check check, Apply apply);
    bool Write(std::string_view name, uint32_t type, std::string_view data);
    bool Fail(long error, uint32_t type = 0, uint32_t size = 0);
    bool Succeed(uint32_t type, uint32_t size);

    long last_error_ = kErrorSuccess;
    uint32_t last_type_ = 0;
    uint32_t last_size_ = 0;
    bool open_ = true;
    RegistryHive hive_;
    std::string open_path_;  // the open key, normalised
    std::string key_path_;   // the path given to the last Open
};
