#include "settings/registry_store.h"

#include <cstdlib>
#include <system_error>

#include "replay/byte_reader.h"
#include "replay/byte_writer.h"
#include "settings/atomic_file.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMagic("OSTREG1\0", 8);
// Smallest encodings, used to bound counts by the bytes that are left.
constexpr size_t kMinKeyBytes = 2 + 4;
constexpr size_t kMinValueBytes = 2 + 4 + 4;

std::string EnvOrEmpty(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// Registry names compare without regard to ASCII case.
std::string Folded(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string ReadText(ByteReader& in, size_t length) {
    std::string s(length, '\0');
    if (length > 0 && !in.Bytes(s.data(), length)) return {};
    return s;
}

}  // namespace

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

RegistryStore::LoadResult RegistryStore::Load(const fs::path& file) {
    keys_.clear();
    std::string bytes;
    switch (atomic_file::Read(file, kMaxFileBytes, bytes)) {
        case atomic_file::ReadResult::kMissing: return LoadResult::kMissing;
        case atomic_file::ReadResult::kUnreadable: return LoadResult::kUnreadable;
        case atomic_file::ReadResult::kRead: break;
    }
    return Decode(bytes);
}

bool RegistryStore::Save(const fs::path& file) const {
    if (file.empty()) return false;
    std::error_code ec;
    const fs::path folder = file.parent_path();
    if (!fs::is_directory(folder, ec)) {
        fs::create_directories(folder, ec);
        if (ec) return false;
        // Only the user reads the settings and the ranking login.
        fs::permissions(folder, fs::perms::owner_all, ec);
    }
    return atomic_file::Write(file, Encode(), fs::perms::owner_read | fs::perms::owner_write);
}

RegistryStore::LoadResult RegistryStore::Decode(std::string_view bytes) {
    keys_.clear();
    if (bytes.substr(0, kMagic.size()) != kMagic) return LoadResult::kDamaged;
    ByteReader in(bytes.data(), bytes.size());
    in.Skip(kMagic.size());
    const uint32_t key_count = in.U32();
    if (!in.ok() || key_count > in.remaining() / kMinKeyBytes) return LoadResult::kDamaged;
    for (uint32_t k = 0; k < key_count; ++k) {
        const uint16_t path_len = in.U16();
        const std::string path = NormalizeKeyPath(ReadText(in, path_len));
        const uint32_t value_count = in.U32();
        if (!in.ok() || path_len > kMaxNameBytes || value_count > in.remaining() / kMinValueBytes)
            return LoadResult::kDamaged;
        CreateKey(path);
        for (uint32_t v = 0; v < value_count; ++v) {
            const uint16_t name_len = in.U16();
            const std::string name = ReadText(in, name_len);
            const uint32_t type = in.U32();
            const uint32_t data_len = in.U32();
            if (!in.ok() || name_len > kMaxNameBytes || data_len > kMaxValueBytes || data_len > in.remaining())
                return LoadResult::kDamaged;
            const std::string data = ReadText(in, data_len);
            if (!in.ok()) return LoadResult::kDamaged;
            // A value named twice in a damaged file: the first one stands.
            if (!FindValue(path, name)) SetValue(path, name, type, data);
        }
    }
    return in.remaining() == 0 ? LoadResult::kLoaded : LoadResult::kDamaged;
}

std::string RegistryStore::Encode() const {
    ByteWriter out;
    out.Raw(kMagic);
    out.U32(static_cast<uint32_t>(keys_.size()));
    for (const auto& [folded, key] : keys_) {
        out.U16(static_cast<uint16_t>(key.path.size()));
        out.Raw(key.path);
        out.U32(static_cast<uint32_t>(key.values.size()));
        for (const auto& [folded_name, v] : key.values) {
            out.U16(static_cast<uint16_t>(v.name.size()));
            out.Raw(v.name);
            out.U32(v.type);
            out.U32(static_cast<uint32_t>(v.data.size()));
            out.Raw(v.data);
        }
    }
    return std::move(out.bytes());
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
    if (normalized.size() > kMaxNameBytes) return;
    keys_.try_emplace(Folded(normalized), Key{normalized, {}});
}

const RegistryStore::Value* RegistryStore::FindValue(std::string_view path, std::string_view name) const {
    const auto key = keys_.find(Folded(NormalizeKeyPath(path)));
    if (key == keys_.end()) return nullptr;
    const auto value = key->second.values.find(Folded(name));
    return value == key->second.values.end() ? nullptr : &value->second;
}

bool RegistryStore::SetValue(std::string_view path, std::string_view name, uint32_t type, std::string_view data) {
    const std::string normalized = NormalizeKeyPath(path);
    if (normalized.size() > kMaxNameBytes || name.size() > kMaxNameBytes || data.size() > kMaxValueBytes)
        return false;
    Key& key = keys_.try_emplace(Folded(normalized), Key{normalized, {}}).first->second;
    // A value that is written again keeps the name it was first stored under.
    Value& value = key.values.try_emplace(Folded(name), Value{std::string(name), type, {}}).first->second;
    value.type = type;
    value.data.assign(data);
    return true;
}

bool RegistryStore::DeleteValue(std::string_view path, std::string_view name) {
    const auto key = keys_.find(Folded(NormalizeKeyPath(path)));
    return key != keys_.end() && key->second.values.erase(Folded(name)) > 0;
}
