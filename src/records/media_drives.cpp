#include "records/media_drives.h"

MediaDrives::~MediaDrives() = default;

std::string MediaDrives::WindowsFileSystemName(std::string_view linux_type) {
    if (linux_type == "iso9660") return "CDFS";
    if (linux_type == "udf") return "UDF";
    // Windows tells FAT12 and FAT16 from FAT32; the mount table does not,
    // and removable media are almost always FAT32.
    if (linux_type == "vfat" || linux_type == "msdos") return "FAT32";
    if (linux_type == "ntfs" || linux_type == "ntfs3") return "NTFS";
    if (linux_type == "exfat") return "exFAT";
    return std::string(linux_type);
}

bool IsRemovableOrCDDrive(const MediaDrives& media, const std::string& root) {
    for (const MediaDrives::Medium& m : media.List())
        if (m.root == root) return m.kind == MediaDrives::Kind::kRemovable || m.kind == MediaDrives::Kind::kOptical;
    return false;
}
