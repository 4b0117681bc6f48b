#include "settings/registry.h"

#include "settings/hive_cache.h"

#include "replay/byte_reader.h"
#include "replay/byte_writer.h"

namespace {

// Archive counts and string lengths: the short form, or an escape marker
// followed by a wider field.
constexpr uint16_t kWideCount = 0xFFFF;
constexpr uint8_t kWideLength = 0xFF;
constexpr uint16_t kUnicodeMarker = 0xFFFE;  // strings written by a Unicode build; never by ours

void WriteCount(ByteWriter& out, size_t count) {
    if (count < kWideCount) {
        out.U16(static_cast<uint16_t>(count));
    } else {
        out.U16(kWideCount);
        out.U32(static_cast<uint32_t>(count));
    }
}

// False for the 64-bit count of later framework versions: no value of this
// program is that large.
bool ReadCount(ByteReader& in, uint32_t& count) {
    const uint16_t narrow = in.U16();
    if (narrow != kWideCount) {
        count = narrow;
        return in.ok();
    }
    count = in.U32();
    return in.ok() && count != 0xFFFFFFFFu;
}

void WriteStringLength(ByteWriter& out, size_t length) {
    if (length < kWideLength) {
        out.U8(static_cast<uint8_t>(length));
    } else if (length < kUnicodeMarker) {
        out.U8(kWideLength);
        out.U16(static_cast<uint16_t>(length));
    } else {
        out.U8(kWideLength);
        out.U16(0xFFFF);
        out.U32(static_cast<uint32_t>(length));
    }
}

bool ReadStringLength(ByteReader& in, uint32_t& length) {
    const uint8_t narrow = in.U8();
    if (narrow != kWideLength) {
        length = narrow;
        return in.ok();
    }
    const uint16_t middle = in.U16();
    if (middle == kUnicodeMarker) return false;
    if (middle != 0xFFFF) {
        length = middle;
        return in.ok();
    }
    length = in.U32();
    return in.ok() && length != 0xFFFFFFFFu;
}

// The hive's store as its file stands. A file that cannot be read, or is
// not in the store's format, gives its error: the hive then counts as empty
// for reads and is never written over.
RegistryStore& LoadHive(RegistryHive hive, long& error) {
    HiveCache::Status status = HiveCache::Status::kOk;
    RegistryStore& store = HiveCache::Get(hive, status);
    switch (status) {
        case HiveCache::Status::kUnreadable: error = CRegistry::kErrorAccessDenied; break;
        case HiveCache::Status::kDamaged: error = CRegistry::kErrorBadDatabase; break;
        case HiveCache::Status::kOk: error = CRegistry::kErrorSuccess; break;
    }
    return store;
}

long LockError(HiveCache::LockStatus status) {
    switch (status) {
        case HiveCache::LockStatus::kHeld: return CRegistry::kErrorSuccess;
        case HiveCache::LockStatus::kBusy: return CRegistry::kErrorLockViolation;
        case HiveCache::LockStatus::kBarred: return CRegistry::kErrorUnreadAtStart;
        case HiveCache::LockStatus::kReadOnly: return CRegistry::kErrorWriteProtect;
        case HiveCache::LockStatus::kFailed: break;
    }
    return CRegistry::kErrorWriteFault;
}

long SaveHive(RegistryHive hive) {
    switch (HiveCache::Save(hive)) {
        case HiveCache::SaveStatus::kSaved: return CRegistry::kErrorSuccess;
        case HiveCache::SaveStatus::kBarred: return CRegistry::kErrorUnreadAtStart;
        case HiveCache::SaveStatus::kReadOnly: return CRegistry::kErrorWriteProtect;
        case HiveCache::SaveStatus::kFailed: break;
    }
    return CRegistry::kErrorWriteFault;
}

}  // namespace

CRegistry::CRegistry(RegistryHive root) : hive_(root) {}

template <class Check, class Apply>
long CRegistry::Change(RegistryHive hive, Check check, Apply apply) {
    long error = 0;
    // A hive file that exists but cannot be read is never replaced: that
    // would throw away every value in it.
    if (const long needed = check(LoadHive(hive, error)); error || needed)
        return error ? error : needed == kStoredAlready ? kErrorSuccess : needed;
    HiveCache::Lock lock(hive);
    if (const long refused = LockError(lock.status())) return refused;
    // Read again under the lock: another run may have saved meanwhile.
    RegistryStore& store = LoadHive(hive, error);
    if (error) return error;
    if (const long needed = check(store)) return needed == kStoredAlready ? kErrorSuccess : needed;
    if (const long refused = apply(store)) {
        // Part of a batch may be made already; the file holds none of it.
        HiveCache::Forget(hive);
        return refused;
    }
    return SaveHive(hive);
}

CRegistry::~CRegistry() { Close(); }

bool CRegistry::Fail(long error, uint32_t type, uint32_t size) {
    last_error_ = error;
    last_type_ = type;
    last_size_ = size;
    return false;
}

bool CRegistry::Succeed(uint32_t type, uint32_t size) {
    last_error_ = kErrorSuccess;
    last_type_ = type;
    last_size_ = size;
    return true;
}

bool CRegistry::KeyExists(RegistryHive root, std::string_view sub_key) {
    long error = 0;
    const RegistryStore& store = LoadHive(root, error);
    if (error) return Fail(error);
    if (!store.KeyExists(sub_key)) return Fail(kErrorFileNotFound);
    last_error_ = kErrorSuccess;
    return true;
}

bool CRegistry::ValueExists(std::string_view name) {
    const bool found = Query(name).has_value();
    last_type_ = 0;
    last_size_ = 0;
    return found;
}

bool CRegistry::CreateKey(RegistryHive root, std::string_view sub_key, uint32_t /*options*/) {
    // An existing key is only opened, so starting the program does not
    // rewrite the hive file.
    const long error = Change(
        root, [&](const RegistryStore& store) { return store.KeyExists(sub_key) ? kStoredAlready : 0; },
        [&](RegistryStore& store) {
            store.CreateKey(sub_key);
            return 0L;
        });
    if (error) {
        open_ = false;
        return Fail(error);
    }
    hive_ = root;
    open_path_ = RegistryStore::NormalizeKeyPath(sub_key);
    open_ = true;
    return Succeed(0, 0);
}

bool CRegistry::Open(RegistryHive root, std::string_view sub_key) {
    key_path_ = std::string(sub_key);
    open_ = false;
    long error = 0;
    const RegistryStore& store = LoadHive(root, error);
    if (error) return Fail(error);
    if (!store.KeyExists(sub_key)) return Fail(kErrorFileNotFound);
    hive_ = root;
    open_path_ = RegistryStore::NormalizeKeyPath(sub_key);
    open_ = true;
    return Succeed(0, 0);
}

void CRegistry::Close() {
    open_ = false;
    open_path_.clear();
}

std::optional<RegistryStore::Value> CRegistry::Query(std::string_view name) {
    if (!open_) {
        Fail(kErrorInvalidHandle);
        return std::nullopt;
    }
    long error = 0;
    const RegistryStore& store = LoadHive(hive_, error);
    if (error) {
        Fail(error);
        return std::nullopt;
    }
    const RegistryStore::Value* value = store.FindValue(open_path_, name);
    if (!value) {
        Fail(kErrorFileNotFound);
        return std::nullopt;
    }
    last_error_ = kErrorSuccess;
    return *value;
}

bool CRegistry::Write(std::string_view name, uint32_t type, std::string_view data) {
    if (!open_) return Fail(kErrorInvalidHandle);
    const long error = Change(
        hive_,
        [&](const RegistryStore& store) {
            const RegistryStore::Value* stored = store.FindValue(open_path_, name);
            return stored && stored->type == type && stored->data == data ? kStoredAlready : 0;
        },
        [&](RegistryStore& store) { return store.SetValue(open_path_, name, type, data) ? 0 : kErrorInvalidData; });
    if (error) return Fail(error);
    return Succeed(type, static_cast<uint32_t>(data.size()));
}

bool CRegistry::WriteDword(std::string_view name, uint32_t value) {
    ByteWriter out;
    out.U32(value);
    return Write(name, RegistryStore::kTypeDword, out.bytes());
}

bool CRegistry::WriteString(std::string_view name, std::string_view text) {
    std::string data(text);
    data.push_back('\0');
    return Write(name, RegistryStore::kTypeString, data);
}

bool CRegistry::WriteDWordArray(std::string_view name, const std::vector<uint32_t>& values) {
    return Write(name, RegistryStore::kTypeBinary, EncodeDWordArray(values));
}

bool CRegistry::WriteStringArray(std::string_view name, const std::vector<std::string>& values) {
    return Write(name, RegistryStore::kTypeBinary, EncodeStringArray(values));
}

bool CRegistry::ReadDword(std::string_view name, uint32_t& value) {
    const auto stored = Query(name);
    if (!stored) return false;
    const auto size = static_cast<uint32_t>(stored->data.size());
    // A value of another type is taken as raw bytes when it fits; shorter
    // data fills the low bytes rather than leaving the rest undefined.
    if (size > kDwordBytes) return Fail(kErrorMoreData, stored->type, size);
    uint32_t v = 0;
    for (uint32_t i = 0; i < size; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(stored->data[i])) << (8 * i);
    value = v;
    return Succeed(stored->type, size);
}

bool CRegistry::ReadString(std::string_view name, std::string& text) {
    const auto stored = Query(name);
    if (!stored) return false;
    const auto size = static_cast<uint32_t>(stored->data.size());
    if (stored->type != RegistryStore::kTypeString && stored->type != RegistryStore::kTypeExpandString)
        return Fail(kErrorUnsupportedType, stored->type, size);
    // Read whole: cutting a long folder name at a fixed buffer would make it
    // unreadable, and the next save would then replace it.
    const size_t nul = stored->data.find('\0');
    text = stored->data.substr(0, nul);
    return Succeed(stored->type, size);
}

bool CRegistry::ReadDWordArray(std::string_view name, std::vector<uint32_t>& values) {
    const auto stored = Query(name);
    if (!stored) return false;
    const auto size = static_cast<uint32_t>(stored->data.size());
    if (stored->type != RegistryStore::kTypeBinary) return Fail(kErrorUnsupportedType, stored->type, size);
    std::vector<uint32_t> read;
    if (!DecodeDWordArray(stored->data, read)) return Fail(kErrorInvalidData, stored->type, size);
    read.resize(values.size(), 0);
    values = std::move(read);
    return Succeed(stored->type, size);
}

bool CRegistry::ReadStringArray(std::string_view name, std::vector<std::string>& values) {
    const auto stored = Query(name);
    if (!stored) return false;
    const auto size = static_cast<uint32_t>(stored->data.size());
    if (stored->type != RegistryStore::kTypeBinary) return Fail(kErrorUnsupportedType, stored->type, size);
    std::vector<std::string> read;
    if (!DecodeStringArray(stored->data, read)) return Fail(kErrorInvalidData, stored->type, size);
    read.resize(values.size());
    values = std::move(read);
    return Succeed(stored->type, size);
}

bool CRegistry::DeleteValue(std::string_view name) {
    if (!open_) return Fail(kErrorInvalidHandle);
    const long error = Change(
        hive_, [&](const RegistryStore& store) { return store.FindValue(open_path_, name) ? 0 : kErrorFileNotFound; },
        [&](RegistryStore& store) { return store.DeleteValue(open_path_, name) ? 0 : kErrorFileNotFound; });
    if (error) return Fail(error);
    return Succeed(0, 0);
}

CRegistry::Batch::Batch(RegistryHive hive, std::string_view key)
    : hive_(hive), key_(RegistryStore::NormalizeKeyPath(key)) {}

void CRegistry::Batch::Write(std::string_view name, uint32_t type, std::string data) {
    edits_.push_back({std::string(name), false, type, std::move(data)});
}

void CRegistry::Batch::WriteDword(std::string_view name, uint32_t value) {
    ByteWriter out;
    out.U32(value);
    Write(name, RegistryStore::kTypeDword, std::move(out.bytes()));
}

void CRegistry::Batch::WriteString(std::string_view name, std::string_view text) {
    std::string data(text);
    data.push_back('\0');
    Write(name, RegistryStore::kTypeString, std::move(data));
}

void CRegistry::Batch::WriteDWordArray(std::string_view name, const std::vector<uint32_t>& values) {
    Write(name, RegistryStore::kTypeBinary, EncodeDWordArray(values));
}

void CRegistry::Batch::WriteStringArray(std::string_view name, const std::vector<std::string>& values) {
    Write(name, RegistryStore::kTypeBinary, EncodeStringArray(values));
}

void CRegistry::Batch::DeleteValue(std::string_view name) { edits_.push_back({std::string(name), true, 0, {}}); }

bool CRegistry::Batch::Commit() {
    last_error_ = kErrorSuccess;
    if (edits_.empty()) return true;
    last_error_ = Change(
        hive_,
        [&](const RegistryStore& store) {
            for (const Edit& e : edits_) {
                const RegistryStore::Value* stored = store.FindValue(key_, e.name);
                if (e.remove ? stored != nullptr : !stored || stored->type != e.type || stored->data != e.data)
                    return 0L;
            }
            return kStoredAlready;
        },
        [&](RegistryStore& store) {
            for (const Edit& e : edits_) {
                if (e.remove) store.DeleteValue(key_, e.name);
                else if (!store.SetValue(key_, e.name, e.type, e.data)) return kErrorInvalidData;
            }
            return 0L;
        });
    return last_error_ == kErrorSuccess;
}

std::string CRegistry::EncodeDWordArray(const std::vector<uint32_t>& values) {
    ByteWriter out;
    WriteCount(out, values.size());
    for (uint32_t v : values) out.U32(v);
    return std::move(out.bytes());
}

std::string CRegistry::EncodeStringArray(const std::vector<std::string>& values) {
    ByteWriter out;
    WriteCount(out, values.size());
    for (const std::string& s : values) {
        WriteStringLength(out, s.size());
        out.Raw(s);
    }
    return std::move(out.bytes());
}

// Bytes after the array are allowed: values written by the framework's
// memory file may carry zero padding behind it.
bool CRegistry::DecodeDWordArray(std::string_view bytes, std::vector<uint32_t>& values) {
    ByteReader in(bytes.data(), bytes.size());
    uint32_t count = 0;
    if (!ReadCount(in, count) || count > in.remaining() / 4) return false;
    values.assign(count, 0);
    for (uint32_t& v : values) v = in.U32();
    return in.ok();
}

bool CRegistry::DecodeStringArray(std::string_view bytes, std::vector<std::string>& values) {
    ByteReader in(bytes.data(), bytes.size());
    uint32_t count = 0;
    // Every string takes at least its one-byte length.
    if (!ReadCount(in, count) || count > in.remaining()) return false;
    values.clear();
    values.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t length = 0;
        if (!ReadStringLength(in, length) || length > in.remaining()) return false;
        std::string s(length, '\0');
        if (length > 0 && !in.Bytes(s.data(), length)) return false;
        values.push_back(std::move(s));
    }
    return true;
}
