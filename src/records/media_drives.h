#pragma once
// The media the machine can read: every mounted file system, and every
// removable or optical drive that holds no mounted medium. This is where
// the program learns which "drives" could hold a replay CD, their labels and
// their file-system names, under the names Windows gives them (CDFS, UDF,
// FAT32, NTFS, exFAT), since those names end up in catalogue files shared
// with Windows users. The real list comes from the mount table and sysfs
// (MountedMedia); tests hand in a fixed list.

#include <string>
#include <string_view>
#include <vector>

class MediaDrives {
public:
    enum class Kind {
        kFixed,      // a disk that stays in the machine
        kRemovable,  // a drive whose medium can be taken out (a USB stick, a card reader)
        kOptical,    // a CD, DVD or Blu-ray drive
        kOther,      // no block device behind it (memory, network, kernel file systems)
    };

    struct Medium {
        // Where the medium's files are (its mount point). For a drive with
        // no mounted medium: the drive's device path.
        std::string root;
        std::string device;  // the device the mount table names, "/dev/sr0"; may be a name like "tmpfs"
        Kind kind = Kind::kOther;
        bool mounted = false;     // true when a readable medium is mounted at root
        std::string volume_name;  // the medium's label; empty when it has none
        std::string file_system;  // see WindowsFileSystemName
    };

    virtual ~MediaDrives();

    // Every medium, sorted by root; one entry per mount point (the one
    // mounted last, which hides the others).
    virtual std::vector<Medium> List() const = 0;

    // The name Windows gives a Linux file-system type: "CDFS" for iso9660,
    // "UDF", "FAT32" for vfat and msdos, "NTFS" for ntfs and ntfs3, "exFAT";
    // any other type keeps its Linux name.
    static std::string WindowsFileSystemName(std::string_view linux_type);
};

// True when root names a medium of media whose drive is removable or
// optical; false for any other kind and for a root it does not list.
bool IsRemovableOrCDDrive(const MediaDrives& media, const std::string& root);
