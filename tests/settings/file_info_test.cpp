// File lists: where AddFileInfo puts records, the names a record gives, and
// folder scans that are recursive, sorted whatever the directory order,
// case-blind in their masks, safe from link loops and 64-bit in their times.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>

#include "settings/file_info_array.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

CFileInfo Record(const std::string& path, uint64_t size) {
    CFileInfo r;
    r.full_path = path;
    r.size = size;
    return r;
}

std::vector<std::string> Paths(const CFileInfoArray& a, size_t cut = 0) {
    std::vector<std::string> out;
    for (const CFileInfo& r : a.records()) out.push_back(r.full_path.substr(cut));
    return out;
}

TEST(FileInfoArray, InsertsEachRecordBeforeTheFirstThatItsOrderPutsAfterIt) {
    struct Case {
        int order;
        std::vector<std::string> expected;
    };
    // Paths carry the size; "B" and "a" show byte order, upper case first.
    const std::vector<CFileInfo> adds = {Record("c5", 5), Record("a3", 3), Record("B5", 5), Record("d9", 9)};
    const std::vector<Case> cases = {
        {0, {"c5", "a3", "B5", "d9"}},
        {1, {"c5", "a3", "B5", "d9"}},
        {6, {"c5", "a3", "B5", "d9"}},
        {CFileInfoArray::kAscendingSize, {"a3", "B5", "c5", "d9"}},   // the later 5 goes before the earlier
        {CFileInfoArray::kDescendingSize, {"d9", "B5", "c5", "a3"}},
        {CFileInfoArray::kAscendingPath, {"B5", "a3", "c5", "d9"}},
        {CFileInfoArray::kDescendingPath, {"d9", "c5", "a3", "B5"}},
    };
    for (const Case& c : cases) {
        CFileInfoArray a;
        for (const CFileInfo& r : adds) a.AddFileInfo(r, c.order);
        EXPECT_EQ(Paths(a), c.expected) << "order " << c.order;
    }
    CFileInfoArray a;
    a.AddFileInfo(Record("x", 5), 2);
    EXPECT_EQ(a.AddFileInfo(Record("y", 3), 2), 0);
    EXPECT_EQ(a.AddFileInfo(Record("z", 5), 2), 1);
}

TEST(FileInfo, SplitsNameTitleAndExtensionOfWindowsAndLocalPaths) {
    struct Case {
        const char* path;
        const char* name;
        const char* title;
        const char* ext;
    };
    const Case cases[] = {
        {"D:\\a\\b.c.rpy", "b.c.rpy", "b.c", ".rpy"},
        {"/home/jim/replay/monza.RPY", "monza.RPY", "monza", ".RPY"},
        {"C:noext", "noext", "noext", ""},
        {"/x/a:b.rdb", "a:b.rdb", "a:b", ".rdb"},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        CFileInfo r;
        r.full_path = c.path;
        EXPECT_EQ(r.GetFileName(), c.name) << c.path;
        EXPECT_EQ(r.GetFileTitle(), c.title) << c.path;
        EXPECT_EQ(r.GetFileExt(), c.ext) << c.path;
    }
    const CFileInfo fresh;
    EXPECT_EQ(fresh.attributes, CFileInfo::kNoAttributes);
    EXPECT_EQ(fresh.size, 0u);
}

class FolderScan : public testing::Test {
protected:
    void File(const std::string& relative, const std::string& bytes = "x") {
        const fs::path p = dir.path() / relative;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << bytes;
    }
    std::string Root() const { return dir.path().string() + "/"; }
    fixture::TempDir dir;
};

TEST_F(FolderScan, ListsSubFoldersFirstInNameOrderWithCaseBlindMasks) {
    // Made in an order unlike the sorted one.
    File("zeta.rpy");
    File("b/y.RPY");
    File("b/notes.txt");
    File("a/deep/x.rpy", "12345");
    File("Alpha.Rpy");
    fs::create_directory(dir.path() / "empty");
    ::mkfifo((dir.path() / "pipe.rpy").c_str(), 0600);

    CFileInfoArray all;
    std::atomic<int32_t> counter = 0;
    EXPECT_EQ(all.AddDir(Root(), "*.rpy", true, 0, false, nullptr, &counter), 4);
    EXPECT_EQ(counter.load(), 4);
    const size_t cut = Root().size();
    EXPECT_EQ(Paths(all, cut), (std::vector<std::string>{"a/deep/x.rpy", "b/y.RPY", "Alpha.Rpy", "zeta.rpy"}));
    EXPECT_EQ(all[0].size, 5u);
    EXPECT_EQ(all[0].attributes & CFileInfo::kDirectory, 0u);

    CFileInfoArray flat;
    EXPECT_EQ(flat.AddDir(dir.path().string(), "*.rpy", false), 2);  // no trailing separator
    EXPECT_EQ(Paths(flat, cut), (std::vector<std::string>{"Alpha.Rpy", "zeta.rpy"}));

    CFileInfoArray with_folders;
    EXPECT_EQ(with_folders.AddDir(Root(), "*.*", true, 0, true), 9);
    EXPECT_EQ(Paths(with_folders, cut),
              (std::vector<std::string>{"a", "a/deep", "a/deep/x.rpy", "b", "b/notes.txt", "b/y.RPY", "empty",
                                        "Alpha.Rpy", "zeta.rpy"}));
    EXPECT_NE(with_folders[0].attributes & CFileInfo::kDirectory, 0u);

    // An abort that is already set stops before any file.
    const std::atomic<bool> stop = true;
    CFileInfoArray aborted;
    EXPECT_EQ(aborted.AddDir(Root(), "*.rpy", false, 0, false, &stop), 0);

    CFileInfoArray missing;
    EXPECT_EQ(missing.AddDir(Root() + "nowhere/", "*.rpy", true), 0);
    EXPECT_EQ(missing.AddDir(Root() + "empty/", "*.rpy", true), 0);
    EXPECT_EQ(missing.GetSize(), 0u);
}

TEST_F(FolderScan, FollowsNoLinkLoopAndKeepsTimesPast2038) {
    File("top/lap.rpy");
    fs::create_directory_symlink(dir.path() / "top", dir.path() / "top" / "again");
    fs::create_directory_symlink(dir.path(), dir.path() / "top" / "up");
    CFileInfoArray a;
    EXPECT_EQ(a.AddDir(Root(), "*.rpy", true), 1);
    ASSERT_EQ(a.GetSize(), 1u);

    // 1 January 2040: beyond a 32-bit count of seconds.
    const int64_t seconds = 2208988800;
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, a[0].full_path.c_str(), times, 0), 0);
    CFileInfoArray b;
    ASSERT_EQ(b.AddDir(Root() + "top/", "*.rpy", false), 1);
    EXPECT_EQ(b[0].last_write_time, seconds * 1000000000);
    EXPECT_EQ(b[0].last_access_time, seconds * 1000000000);
}

}  // namespace
