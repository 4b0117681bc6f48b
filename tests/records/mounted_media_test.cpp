// The media layer: a machine laid out as the kernel shows it (mount table,
// sysfs, udev's label links) read into media with Windows file-system
// names, and this machine's own mount table.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "records/mounted_media.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Kind = MediaDrives::Kind;

void Write(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p) << text;
}

TEST(MountedMedia, ReadsKindsLabelsAndFileSystemsOfAMachine) {
    fixture::TempDir dir;
    const fs::path sys = dir.path() / "sys";
    const fs::path devices = sys / "devices";
    // Disks: vda fixed, sr0 and sr1 optical, sdb removable with partition
    // sdb1, sdc removable and not mounted.
    for (const char* disk : {"vda", "sr0", "sr1", "sdb", "sdc"}) {
        Write(devices / disk / "removable", std::string(disk) == "vda" ? "0\n" : "1\n");
        fs::create_directories(sys / "block");
        fs::create_directory_symlink(devices / disk, sys / "block" / disk);
    }
    Write(devices / "sr1" / "device" / "type", "5\n");
    Write(devices / "sdb" / "sdb1" / "partition", "1\n");
    fs::create_directories(sys / "dev" / "block");
    fs::create_directory_symlink(devices / "vda", sys / "dev" / "block" / "254:0");
    fs::create_directory_symlink(devices / "sr0", sys / "dev" / "block" / "11:0");
    fs::create_directory_symlink(devices / "sdb" / "sdb1", sys / "dev" / "block" / "8:17");
    const fs::path labels = dir.path() / "by-label";
    fs::create_directories(labels);
    fs::create_symlink("../../sr0", labels / "GP\\x20REPLAYS");
    fs::create_symlink("../../sdb1", labels / "STICK");
    Write(dir.path() / "mountinfo",
          "27 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
          "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
          "40 27 11:0 / /media/me/GP\\040REPLAYS ro,nosuid shared:5 - iso9660 /dev/sr0 ro\n"
          "41 27 8:17 / /media/me/STICK rw master:1 - vfat /dev/sdb1 rw\n"
          "42 27 0:50 / /media/me/STICK rw - tmpfs tmpfs rw\n"
          "garbage line\n");

    const auto media = MountedMedia(dir.path() / "mountinfo", sys, labels).List();
    struct Expect {
        std::string root;
        Kind kind;
        bool mounted;
        std::string label, file_system;
    };
    const std::vector<Expect> expected = {
        {"/", Kind::kFixed, true, "", "ext4"},
        {"/dev/sdc", Kind::kRemovable, false, "", ""},
        {"/dev/sr1", Kind::kOptical, false, "", ""},
        {"/media/me/GP REPLAYS", Kind::kOptical, true, "GP REPLAYS", "CDFS"},
        // Mounted over: the later mount is what the folder shows.
        {"/media/me/STICK", Kind::kOther, true, "", "tmpfs"},
        {"/proc", Kind::kOther, true, "", "proc"},
    };
    ASSERT_EQ(media.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(media[i].root, expected[i].root);
        EXPECT_EQ(media[i].kind, expected[i].kind) << expected[i].root;
        EXPECT_EQ(media[i].mounted, expected[i].mounted) << expected[i].root;
        EXPECT_EQ(media[i].volume_name, expected[i].label) << expected[i].root;
        EXPECT_EQ(media[i].file_system, expected[i].file_system) << expected[i].root;
    }

    // The stick's partition counts as the removable disk it lies on.
    Write(dir.path() / "mountinfo", "41 27 8:17 / /media/me/STICK rw - vfat /dev/sdb1 rw\n");
    const auto stick = MountedMedia(dir.path() / "mountinfo", sys, labels);
    EXPECT_TRUE(IsRemovableOrCDDrive(stick, "/media/me/STICK"));
    const auto stick_media = stick.List();
    const auto it = std::find_if(stick_media.begin(), stick_media.end(),
                                 [](const auto& m) { return m.root == "/media/me/STICK"; });
    ASSERT_NE(it, stick_media.end());
    EXPECT_EQ(it->volume_name, "STICK");
    EXPECT_EQ(it->file_system, "FAT32");
    EXPECT_FALSE(IsRemovableOrCDDrive(stick, "/"));
}

TEST(MountedMedia, NamesFileSystemsAsWindowsDoes) {
    const std::vector<std::pair<std::string, std::string>> names = {
        {"iso9660", "CDFS"}, {"udf", "UDF"},     {"vfat", "FAT32"}, {"msdos", "FAT32"},
        {"ntfs", "NTFS"},    {"ntfs3", "NTFS"},  {"exfat", "exFAT"}, {"ext4", "ext4"},
    };
    for (const auto& [linux_name, windows_name] : names)
        EXPECT_EQ(MediaDrives::WindowsFileSystemName(linux_name), windows_name) << linux_name;
}

TEST(MountedMedia, ThisMachineHasARootFileSystem) {
    const auto media = MountedMedia().List();
    const auto root = std::find_if(media.begin(), media.end(), [](const auto& m) { return m.root == "/"; });
    ASSERT_NE(root, media.end());
    EXPECT_TRUE(root->mounted);
    EXPECT_FALSE(root->file_system.empty());
    EXPECT_FALSE(IsRemovableOrCDDrive(MountedMedia(), "/nowhere"));
}

}  // namespace
