#include "records/mounted_media.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The mount table writes blanks, tabs, newlines and backslashes in paths
// as three-digit octal escapes ("\040").
std::string UnescapeOctal(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string digits = field.substr(i + 1, 3);
            if (std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                out.push_back(static_cast<char>(std::stoi(digits, nullptr, 8)));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

// udev writes characters that are unsafe in a file name as "\xHH".
std::string UnescapeHex(const std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (i + 3 < name.size() && name.compare(i, 2, "\\x") == 0) {
            const std::string hex = name.substr(i + 2, 2);
            if (std::all_of(hex.begin(), hex.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); })) {
                out.push_back(static_cast<char>(std::stoi(hex, nullptr, 16)));
                i += 3;
                continue;
            }
        }
        out.push_back(name[i]);
    }
    return out;
}

std::string FirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

struct BlockDevice {
    std::string name;  // kernel name of the device, "sdb1"
    std::string disk;  // kernel name of the disk it lies on, "sdb"
    MediaDrives::Kind kind = MediaDrives::Kind::kFixed;
};

MediaDrives::Kind KindOfDisk(const fs::path& disk_dir) {
    const std::string name = disk_dir.filename().string();
    // SCSI peripheral type 5 is a CD/DVD drive.
    if (name.rfind("sr", 0) == 0 || FirstLine(disk_dir / "device" / "type") == "5") return MediaDrives::Kind::kOptical;
    if (FirstLine(disk_dir / "removable") == "1") return MediaDrives::Kind::kRemovable;
    return MediaDrives::Kind::kFixed;
}

// The block device behind a major:minor number, or nothing for a file
// system with no device (proc, tmpfs, overlay, network mounts).
std::optional<BlockDevice> DeviceOf(const fs::path& sysfs, const std::string& major_minor) {
    std::error_code ec;
    const fs::path dir = fs::canonical(sysfs / "dev" / "block" / major_minor, ec);
    if (ec) return std::nullopt;
    BlockDevice d;
    d.name = dir.filename().string();
    const fs::path disk_dir = fs::exists(dir / "partition", ec) ? dir.parent_path() : dir;
    d.disk = disk_dir.filename().string();
    d.kind = KindOfDisk(disk_dir);
    return d;
}

// Labels by kernel device name, from the links udev keeps.
std::map<std::string, std::string> ReadLabels(const fs::path& folder) {
    std::map<std::string, std::string> labels;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path target = fs::read_symlink(it->path(), ec);
        if (ec) {
            ec.clear();
            continue;
        }
        labels[target.filename().string()] = UnescapeHex(it->path().filename().string());
    }
    return labels;
}

}  // namespace

MountedMedia::MountedMedia(fs::path mount_table, fs::path sysfs, fs::path labels)
    : mount_table_(std::move(mount_table)), sysfs_(std::move(sysfs)), labels_(std::move(labels)) {}

std::vector<MediaDrives::Medium> MountedMedia::List() const {
    std::ifstream in(mount_table_);
    if (!in) return {};
    const std::map<std::string, std::string> labels = ReadLabels(labels_);
    std::map<std::string, Medium> by_root;
    std::set<std::string> disks_in_use;
    std::string line;
    while (std::getline(in, line)) {
        // id parent major:minor root mount-point options [optional...] - type source super-options
        std::istringstream fields(line);
        std::string id, parent, major_minor, fs_root, mount_point, options, word;
        if (!(fields >> id >> parent >> major_minor >> fs_root >> mount_point >> options)) continue;
        while (fields >> word && word != "-") {
        }
        std::string type, source;
        if (word != "-" || !(fields >> type >> source)) continue;

        Medium m;
        m.root = UnescapeOctal(mount_point);
        m.device = UnescapeOctal(source);
        m.mounted = true;
        m.file_system = WindowsFileSystemName(type);
        if (const auto device = DeviceOf(sysfs_, major_minor)) {
            m.kind = device->kind;
            disks_in_use.insert(device->disk);
            if (const auto label = labels.find(device->name); label != labels.end()) m.volume_name = label->second;
        }
        // A later line mounted over an earlier one at the same place.
        by_root[m.root] = m;
    }

    std::error_code ec;
    for (fs::directory_iterator it(sysfs_ / "block", ec), end; !ec && it != end; it.increment(ec)) {
        const std::string disk = it->path().filename().string();
        if (disks_in_use.count(disk)) continue;
        const Kind kind = KindOfDisk(it->path());
        if (kind != Kind::kRemovable && kind != Kind::kOptical) continue;
        Medium m;
        m.root = m.device = "/dev/" + disk;
        m.kind = kind;
        by_root.emplace(m.root, m);
    }

    std::vector<Medium> media;
    for (auto& [root, m] : by_root) media.push_back(std::move(m));
    return media;
}
