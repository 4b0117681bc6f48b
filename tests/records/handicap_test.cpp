#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "records/handicap_records.h"
#include "records/new_qel_rank_model.h"
#include "records/qel_rank_model.h"
#include "support/ini_fixture.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

void WriteText(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

TEST(HandicapText, FormatsBothRanksWithTheOppositeSign) {
    struct Case {
        int64_t d;
        const char* qel;
        const char* fresh;
    } cases[] = {{0, "0.00 ", "0.000"},
                 {2220, "-2.22 ", "-2.220"},
                 {-3110, "3.11 ", "3.110"},
                 {1218, "-1.21 ", "-1.218"},
                 {-5, "0.00 ", "0.005"}};
    for (const Case& c : cases) {
        EXPECT_EQ(QELRankModel::FormatSignedTime(c.d), c.qel) << c.d;
        EXPECT_EQ(NewQELRankModel::FormatSignedTime(c.d), c.fresh) << c.d;
    }
}

TEST(HandicapText, ProfileTimesRoundToHundredthsAndPadShortFractions) {
    struct Case {
        const char* text;
        uint32_t ms;
    } cases[] = {{"x 83.1254", 83130}, {"x 83.1234", 83120}, {"x 83.5", 83500},   {"x 83.05", 83050},
                 {"x 83", 83000},      {"x 59.995", 60000},  {"nothing", QELRankModel::kNoTime}};
    for (const Case& c : cases) EXPECT_EQ(QELRankModel::ParseTimeText(c.text), c.ms) << c.text;
}

class QELRankTest : public ::testing::Test {
protected:
    void Driver(const std::string& body) {
        WriteText(qel / "players" / "Jim_Clark" / "player.ini",
                  "[ Personal Information ]\r\nfirstName=Jim\r\nlastName=Clark  \r\n" + body);
    }
    fixture::TempDir dir;
    fs::path qel = dir.path() / "QEL";
    QELRankModel model{qel.string()};
};

TEST_F(QELRankTest, WithoutASeasonFileEveryFieldIsMissing) {
    Driver("");
    ASSERT_EQ(model.FillDriverList(), std::vector<std::string>{"1. Jim Clark"});
    const auto r = model.Calculate(0);
    for (const auto& c : r.columns) EXPECT_EQ(c, "Missing 11 laptime(s)");
    EXPECT_EQ(r.monster, "Missing 77 laptime(s)");
}

TEST_F(QELRankTest, SumsTheBestOfEachCarOverTheRankTracksOnce) {
    fixture::SeasonSpec season;
    std::string profile;
    const char* tags[] = {"bra", "brm", "cov", "eag", "fer", "lot", "mur"};
    for (const char* track : QELRankModel::Tracks()) {
        fixture::SeasonEventSpec e;
        e.track_directory = track;
        season.events.push_back(e);
        WriteText(qel / "tracks" / track / "track.ini", "track_name=X\r\ntrack_name_short=X\r\n");
        // Ten tracks at 138.200 and monza at 138.220 add up to the reference;
        // a value of seven characters is a time like any other.
        const std::string time = std::string(track) == "monza" ? "1 138.220" : "x 138.2";
        profile += std::string("[ ") + track + " ]\r\n";
        for (const char* tag : tags) {
            if (std::string(track) == "spa" && std::string(tag) == "mur") continue;
            profile += std::string(tag) + "T=1 199.000\r\n" + tag + "R=" + time + "\r\n" + tag + "P=default\r\n";
        }
    }
    season.events.push_back(season.events[3]);  // monza a second time
    fixture::WriteSeasonFile(qel, season);
    Driver(profile);
    model.FillDriverList();
    const auto r = model.Calculate(0);
    for (int c = 0; c < 7; ++c) EXPECT_EQ(r.columns[c], "0.00 ") << c;
    EXPECT_EQ(r.columns[7], "Missing 1 laptime(s)");
    EXPECT_EQ(r.monster, "Missing 1 laptime(s)");
}

class FakeRecords : public HandicapRecords {
public:
    int RowCount() const override { return static_cast<int>(rows.size()); }
    std::string TrackDirectory(int row) const override { return rows[row].first; }
    uint32_t CarBest(int car, int row) const override { return car == 6 ? kNoTime : rows[row].second; }
    uint32_t RowBest(int row) const override { return rows[row].second; }
    std::vector<std::pair<std::string, uint32_t>> rows;
};

TEST(NewQELRank, CountsPerSetAndMasterRank) {
    FakeRecords records;
    for (const char* track : NewQELRankModel::Sets()[0].tracks) records.rows.push_back({track, 138200});
    records.rows[0].second = 138218;  // the reference sum exactly
    records.rows.push_back({"monza", 1});  // only the first row of a track counts
    const auto groups = NewQELRankModel::Calculate(records);
    ASSERT_EQ(groups.size(), 8u);
    EXPECT_EQ(groups[0].columns[0], "0.000");
    EXPECT_EQ(groups[0].columns[1], "0.000");
    EXPECT_EQ(groups[0].columns[7], "Missing 11 laptime(s)");
    EXPECT_EQ(groups[0].monster, "Missing 11 laptime(s)");
    EXPECT_EQ(groups[1].columns[0], "Missing 12 laptime(s)");
    EXPECT_EQ(groups[1].monster, "Missing 84 laptime(s)");
    EXPECT_EQ(groups[7].caption, "Master of QEL Handicap");
    EXPECT_EQ(groups[7].columns[0], "Missing 35 laptime(s)");
    EXPECT_EQ(groups[7].monster, "Missing 256 laptime(s)");
}

}  // namespace
