// Replacing and reading files that hold user data, with hostile things
// standing where the files should be.

#include "settings/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "settings/ini_file.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Writes at most `room` bytes in all, then fails as a full disk does.
class SmallDiskFile : public AtomicFile {
public:
    explicit SmallDiskFile(size_t room) : room_(room) {}

protected:
    bool WriteOut(int fd, std::string_view bytes) override {
        if (bytes.size() > room_) {
            AtomicFile::WriteOut(fd, bytes.substr(0, room_));
            room_ = 0;
            errno = ENOSPC;
            return false;
        }
        room_ -= bytes.size();
        return AtomicFile::WriteOut(fd, bytes);
    }

private:
    size_t room_;
};

TEST(AtomicFile, AFailedWriteLeavesTheOldFileWholeAndNoTemporaryFile) {
    fixture::TempDir dir;
    const fs::path target = dir.path() / "report.txt";
    const std::string old_text(10172, 'o');
    std::ofstream(target, std::ios::binary) << old_text;
    const std::string new_text(10172, 'n');

    // Failing in Append (a piece larger than the buffer goes straight out)
    // and in Finish (the buffered rest).
    for (size_t piece : {size_t{10172}, size_t{100}}) {
        SmallDiskFile file(4096);
        ASSERT_TRUE(file.Begin(target));
        bool ok = true;
        for (size_t at = 0; at < new_text.size() && ok; at += piece) ok = file.Append(new_text.substr(at, piece));
        EXPECT_FALSE(ok && file.Commit()) << piece;
        EXPECT_TRUE(file.failed());
        EXPECT_EQ(Slurp(target), old_text);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    }

    AtomicFile whole;
    ASSERT_TRUE(whole.Begin(target));
    ASSERT_TRUE(whole.Append(new_text));
    ASSERT_TRUE(whole.Finish());
    EXPECT_EQ(Slurp(target), old_text);  // finished, not yet in place
    ASSERT_TRUE(whole.Commit());
    EXPECT_EQ(Slurp(target), new_text);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(AtomicFile, SpecialFilesAreNeitherReadNorWritten) {
    fixture::TempDir dir;
    const fs::path fifo = dir.path() / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path folder = dir.path() / "folder.ini";
    fs::create_directory(folder);
    const fs::path link = dir.path() / "link.ini";
    fs::create_symlink(fifo, link);

    for (const fs::path& p : {fifo, folder, link, fs::path("/dev/null")}) {
        std::string text = "left";
        EXPECT_EQ(atomic_file::Read(p, 1 << 20, text), atomic_file::ReadResult::kUnreadable) << p;
        EXPECT_EQ(text, "");
        IniFile ini;
        EXPECT_FALSE(ini.Load(p)) << p;
        if (p != "/dev/null") {
            EXPECT_FALSE(atomic_file::Write(p, "[A]\r\n")) << p;
        }
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
}

TEST(AtomicFileTest, ANewFileNeverTakesThePlaceOfOneThatAppearedMeanwhile) {
    fixture::TempDir dir;
    const fs::path target = dir.path() / "ostrevan.desktop";
    AtomicFile first;
    ASSERT_TRUE(first.Begin(target));
    ASSERT_TRUE(first.Append("ours\n"));
    std::ofstream(target) << "theirs\n";
    EXPECT_FALSE(first.CommitNew());
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(Slurp(target), "theirs\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    fs::remove(target);
    AtomicFile second;
    ASSERT_TRUE(second.Begin(target) && second.Append("ours\n"));
    EXPECT_TRUE(second.CommitNew());
    EXPECT_EQ(Slurp(target), "ours\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

}  // namespace
