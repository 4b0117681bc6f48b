#pragma once
// The machine's media as the kernel shows them: the mount table
// (/proc/self/mountinfo) for what is mounted where, sysfs for what kind of
// drive a block device is (a partition counts as the disk it lies on), and
// udev's /dev/disk/by-label links for labels. Drives that are removable or
// optical but have nothing mounted are listed by their device path as
// holding no medium (an empty CD drive, a card reader without a card).
//
// The three places are constructor arguments so a test can lay out a
// machine of its own; the defaults are the real ones.

#include <filesystem>

#include "records/media_drives.h"

class MountedMedia : public MediaDrives {
public:
    explicit MountedMedia(std::filesystem::path mount_table = "/proc/self/mountinfo",
                          std::filesystem::path sysfs = "/sys",
                          std::filesystem::path labels = "/dev/disk/by-label");

    // Empty when the mount table cannot be read.
    std::vector<Medium> List() const override;

private:
    std::filesystem::path mount_table_;
    std::filesystem::path sysfs_;
    std::filesystem::path labels_;
};
