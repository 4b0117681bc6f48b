// The all-reports export under hostile conditions: a disk that fills in the
// middle of a file, a FIFO or a folder where a report should go.

#include "reports/report_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>

#include "report_scenarios.h"
#include "reports/mechanical_report.h"
#include "settings/atomic_file.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const char* const kSuffixes[] = {"_Practice", "_Race", "_LapChart", "_LapByLap", "_Complete", "_Mechanical"};

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every file of the folder with its content.
std::map<std::string, std::string> Folder(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::directory_iterator(dir))
        files[e.path().filename().string()] = e.is_regular_file() ? Slurp(e.path()) : "(special)";
    return files;
}

// A disk that fills up: the file whose turn it is takes its first 64 bytes
// and then fails with ENOSPC.
class FullDiskFile : public AtomicFile {
public:
    explicit FullDiskFile(bool full) : full_(full) {}

protected:
    bool WriteOut(int fd, std::string_view bytes) override {
        if (!full_) return AtomicFile::WriteOut(fd, bytes);
        const size_t room = kRoom - std::min(written_, kRoom);
        const bool fits = bytes.size() <= room;
        const auto part = bytes.substr(0, std::min(room, bytes.size()));
        written_ += part.size();
        if (!AtomicFile::WriteOut(fd, part)) return false;
        if (!fits) errno = ENOSPC;
        return fits;
    }

private:
    static constexpr size_t kRoom = 64;
    bool full_;
    size_t written_ = 0;
};

class ReportExport : public ::testing::Test {
protected:
    void SetUp() override {
        report_scenarios::UseUtc();
        r = report_scenarios::WriteAndLoad(report_scenarios::ChangingLeads(), dir.File("monza.rpy"));
        r->input.retire_in_race_report = true;
        fs::create_directory(out());
    }
    fs::path out() const { return dir.path() / "out"; }
    std::string File(const char* suffix) const { return (out() / (std::string("monza") + suffix + ".txt")).string(); }

    fixture::TempDir dir;
    std::unique_ptr<report_scenarios::Loaded> r;
};

TEST_F(ReportExport, AWriteThatFailsLeavesEveryOldReportWhole) {
    // The reports of an earlier export, with other texts than this one's.
    for (const char* suffix : kSuffixes) std::ofstream(File(suffix), std::ios::binary) << "old " << suffix << "\r\n";
    const auto before = Folder(out());

    for (int failing = 0; failing < 6; ++failing) {
        int made = 0;
        const auto result = report_files::ExportAllReports(r->input, out().string() + "/", true, [&] {
            return std::make_unique<FullDiskFile>(made++ == failing);
        });
        EXPECT_FALSE(result.ok()) << failing;
        EXPECT_EQ(result.failed_file, File(kSuffixes[failing]));
        EXPECT_EQ(result.error, "Error writing file!");
        EXPECT_TRUE(result.written.empty());
        // Nothing replaced, nothing cut, no temporary file left behind.
        EXPECT_EQ(Folder(out()), before) << failing;
    }

    // Written whole, the mechanical report as the scan tells it.
    const auto result = report_files::ExportAllReports(r->input, out().string() + "/", true);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.written.size(), 6u);
    EXPECT_EQ(Folder(out()).size(), 6u);
    MechanicalScan scan;
    EXPECT_EQ(Slurp(File("_Mechanical")), scan.Scan(r->input));
    EXPECT_GT(Slurp(File("_Complete")).size(), 4096u);
}

TEST_F(ReportExport, ASpecialFileWhereAReportGoesIsNeverOpened) {
    for (const char* suffix : kSuffixes) std::ofstream(File(suffix), std::ios::binary) << "old\r\n";
    fs::remove(File("_Race"));
    ASSERT_EQ(::mkfifo(File("_Race").c_str(), 0600), 0);
    fs::remove(File("_Mechanical"));
    fs::create_directory(File("_Mechanical"));
    const auto before = Folder(out());

    // An open of the FIFO for writing would wait for a reader for ever.
    const auto result = report_files::ExportAllReports(r->input, out().string() + "/", true);
    EXPECT_EQ(result.failed_file, File("_Race"));
    EXPECT_EQ(result.error, "Error creating file!");
    EXPECT_EQ(Folder(out()), before);
    EXPECT_TRUE(fs::is_fifo(File("_Race")));

    std::string error;
    EXPECT_FALSE(report_files::WriteText(File("_Race"), "text", &error));
    EXPECT_EQ(error, "Error creating file!");
    EXPECT_FALSE(report_files::WriteText(File("_Mechanical"), "text", &error));
    EXPECT_TRUE(fs::is_directory(File("_Mechanical")));
}

}  // namespace
