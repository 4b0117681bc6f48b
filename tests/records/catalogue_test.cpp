// Replay CD catalogues: the creator over a medium of fixture replays (head,
// records, summary, names, overwriting, long texts) and the reader over
// catalogue files laid out from the file format (every version, damaged and
// foreign files among good ones).

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "records/catalogue_creator.h"
#include "records/replay_database_loader.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "support/catalogue_fixture.h"
#include "support/config_dir.h"
#include "support/fake_media_drives.h"
#include "support/recording_interaction.h"
#include "support/session_fixture.h"

namespace {

namespace fs = std::filesystem;
using Kind = MediaDrives::Kind;

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string RaceReplay(const std::string& first, const std::string& last, const std::string& track) {
    fixture::DriverLaps a{fixture::NamedDriver(first, last, 0, 2)};
    a.practice_start = 1000;
    a.practice_laps = {90000, 88000};
    a.race_start = 2000;
    a.race_laps = {61000, 60500, 60250};
    fixture::DriverLaps b{fixture::NamedDriver("Graham", "Hill", 1, 1)};
    b.race_start = 2100;
    b.race_laps = {62000};
    return fixture::BuildReplay(fixture::SessionReplay({a, b}, true, true, track));
}

// The records a catalogue of the replay holds, laid out by the fixture.
fixture::CatalogueRecordSpec ExpectedRecord(const std::string& medium_path, const fs::path& replay, int version) {
    Header h;
    EXPECT_EQ(h.Load(replay.string()), 0);
    auto d = std::make_unique<Drivers>();
    EXPECT_EQ(d->LoadReplay(replay.string()), 0);
    return {medium_path, fixture::HeaderCatalogueRecord(h, version), fixture::DriversCatalogueRecord(*d, version)};
}

class CatalogueCreatorTest : public testing::Test {
protected:
    CatalogueCreatorTest() {
        sim = config.scratch() / "QEL";
        medium = config.scratch() / "media" / "cd";
        fs::create_directories(sim / "Replay");
        fs::create_directories(medium);
        media.Add("/", Kind::kFixed, "", "ext4");
        media.Add(medium.string(), Kind::kOptical, "MYCD", "CDFS");
        media.AddEmpty("/dev/sr1", Kind::kOptical);
    }
    fs::path Put(const std::string& relative, const std::string& bytes) {
        const fs::path p = medium / relative;
        fs::create_directories(p.parent_path());
        fixture::WriteFile(p, bytes);
        return p;
    }
    bool Create(std::vector<std::optional<std::string>> names) {
        CatalogueCreator creator(media, ui, sim.string());
        creator.ScanDrives();
        asked.clear();
        auto ask = [&](const std::string& proposal) -> std::optional<std::string> {
            asked.push_back(proposal);
            if (names.empty()) return std::nullopt;
            auto n = names.front();
            names.erase(names.begin());
            return n;
        };
        return creator.CreateDatabase(medium.string(), ask, [&](int pos, int max) { progress.push_back({pos, max}); });
    }
    fs::path Folder() const { return sim / "Replay" / "ZAVRO_CDDB"; }

    fixture::ScopedConfigDir config;
    fs::path sim, medium;
    fixture::FakeMediaDrives media;
    fixture::RecordingInteraction ui;
    std::vector<std::string> asked;
    std::vector<std::pair<int, int>> progress;
};

TEST_F(CatalogueCreatorTest, ListsRemovableAndOpticalDrivesWithTheirRootsAndLabels) {
    CatalogueCreator creator(media, ui, sim.string());
    EXPECT_TRUE(creator.ScanDrives());
    ASSERT_EQ(creator.Drives().size(), 2u);
    EXPECT_EQ(creator.Drives()[0].text, medium.string() + " MYCD [CDFS]");
    EXPECT_EQ(creator.Drives()[0].root, medium.string());
    EXPECT_EQ(creator.Drives()[1].text, "/dev/sr1 [No Disk in Drive]");
    EXPECT_FALSE(creator.Drives()[1].has_medium);

    media.media.resize(1);  // the fixed disk alone
    EXPECT_FALSE(creator.ScanDrives());
    ASSERT_EQ(creator.Drives().size(), 1u);
    EXPECT_EQ(creator.Drives()[0].text, "No CD-roms found");
    // No entry of the list, nor a made-up root, writes anything.
    EXPECT_FALSE(creator.CreateDatabase("", {}, {}));
    EXPECT_FALSE(creator.CreateDatabase(medium.string(), {}, {}));
}

TEST_F(CatalogueCreatorTest, ThreeReplaysOneUnreadableGiveAHeadOfThreeAndTwoRecords) {
    const fs::path broken = Put("broken.rpy", "YLPR but nothing a replay holds");
    const fs::path race = Put("race.rpy", RaceReplay("Jim", "Clark", "monza"));
    const fs::path deep = Put("season/Monza/practice.RPY", RaceReplay("Jackie", "Stewart", "monza"));
    ASSERT_FALSE(fs::exists(Folder()));

    ASSERT_TRUE(Create({"mycd"}));
    EXPECT_EQ(asked, std::vector<std::string>{"MYCD [CDFS]"});
    const std::string expected =
        fixture::CatalogueFile(4, "MYCD [CDFS]", 3,
                               {ExpectedRecord("race.rpy", race, 4),
                                ExpectedRecord("season\\Monza\\practice.RPY", deep, 4)});
    EXPECT_EQ(ReadAll(Folder() / "mycd.rdb"), expected);
    // Nothing else is left in the folder (no temporary file).
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), 1);

    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0], "The following directory will be created and will\r\ncontain replay CD databases:\r\n\r\n" +
                                  Folder().string());
    EXPECT_EQ(ui.messages[1], broken.string() + "\r\nFile will not be included in the database.");
    EXPECT_EQ(ui.titles[1], "Error reading replay file - is this a standard QEL replay?");
    EXPECT_EQ(ui.messages[2], "The replay CD contained 3 replays,\r\n2 were added to the database.");
    EXPECT_EQ(ui.waits, 0);
    // The unreadable first replay moves no bar; the bar ends at 0.
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{0, 3}, {2, 3}, {3, 3}, {0, 3}}));

    // Read back as the lap finder reads it.
    ReplayDatabaseLoader loader;
    ASSERT_TRUE(loader.FindDatabases(Folder().string()));
    ASSERT_TRUE(loader.NextReplay());
    EXPECT_EQ(loader.GetDrivers()->medium_path, "race.rpy");
    EXPECT_EQ(loader.GetDrivers()->first_names[0], "Jim");
    EXPECT_EQ(loader.GetDrivers()->race_lap_count[0], 3);
    ASSERT_TRUE(loader.NextReplay());
    EXPECT_EQ(loader.GetDrivers()->medium_path, "season\\Monza\\practice.RPY");
    EXPECT_EQ(loader.GetDrivers()->catalogue_name, "mycd");
    EXPECT_EQ(loader.GetDrivers()->medium_label, "MYCD [CDFS]");
    EXPECT_EQ(loader.GetCDLabel(), "MYCD [CDFS]");
    EXPECT_FALSE(loader.NextReplay());
    EXPECT_TRUE(loader.GetSkipped().empty());
}

TEST_F(CatalogueCreatorTest, EveryReplayReadSaysAll) {
    Put("a.rpy", RaceReplay("Jim", "Clark", "spa"));
    ASSERT_TRUE(Create({"one"}));
    EXPECT_EQ(ui.messages.back(), "The replay CD contained 1 replays,\r\nall were added to the database.");
}

TEST_F(CatalogueCreatorTest, AMediumWithoutReplaysMakesNoFolder) {
    Put("readme.txt", "no replays here");
    EXPECT_FALSE(Create({"x"}));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"No replay files found on selected media, aborting..."});
    EXPECT_TRUE(asked.empty());
    EXPECT_FALSE(fs::exists(Folder()));
}

TEST_F(CatalogueCreatorTest, NamesThatLeaveTheFolderOrAreEmptyAreAskedAgain) {
    Put("a.rpy", RaceReplay("Jim", "Clark", "spa"));
    ASSERT_TRUE(Create({"", "../../escaped", "..\\up", "a/b", "fine"}));
    EXPECT_EQ(asked.size(), 5u);
    EXPECT_EQ(asked[1], "");  // each question proposes what was entered last
    EXPECT_EQ(std::count(ui.messages.begin(), ui.messages.end(),
                         "The database filename cannot be empty or contain \\ or /.\r\nPlease enter another name."),
              4);
    EXPECT_TRUE(fs::exists(Folder() / "fine.rdb"));
    EXPECT_FALSE(fs::exists(config.scratch() / "escaped.rdb"));
    EXPECT_FALSE(fs::exists(sim / "escaped.rdb"));
    EXPECT_EQ(std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()), 1);
}

TEST_F(CatalogueCreatorTest, AnExistingCatalogueIsKeptUnlessTheUserSaysYes) {
    Put("a.rpy", RaceReplay("Jim", "Clark", "spa"));
    fs::create_directories(Folder());
    fixture::WriteFile(Folder() / "MyCD.rdb", "old catalogue");
    using A = Interaction::Answer;

    // No asks for another name; the old file stays.
    ui.three_way_answers = {A::No};
    ASSERT_TRUE(Create({"mycd", "second"}));
    EXPECT_EQ(ui.questions, std::vector<std::string>{"File already exists, overwrite?"});
    EXPECT_EQ(asked, (std::vector<std::string>{"MYCD [CDFS]", "mycd"}));
    EXPECT_EQ(ReadAll(Folder() / "MyCD.rdb"), "old catalogue");
    EXPECT_TRUE(fs::exists(Folder() / "second.rdb"));

    // Cancel writes nothing.
    ui.three_way_answers = {A::Cancel};
    EXPECT_FALSE(Create({"MYCD"}));
    EXPECT_EQ(ReadAll(Folder() / "MyCD.rdb"), "old catalogue");

    // Yes replaces the file that is there under any case.
    ui.three_way_answers = {A::Yes};
    ASSERT_TRUE(Create({"mycd"}));
    EXPECT_EQ(ReadAll(Folder() / "MyCD.rdb").substr(0, 10), std::string("ZAVROCDDB\0", 10));
    EXPECT_FALSE(fs::exists(Folder() / "mycd.rdb"));

    // A catalogue that cannot be written leaves the old one whole.
    fs::create_directories(Folder() / "blocked.rdb");
    ui.messages.clear();
    ui.three_way_answers = {A::Yes};
    EXPECT_FALSE(Create({"blocked"}));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Error creating database file, aborting..."});
}

TEST_F(CatalogueCreatorTest, LabelsAndPathsTooLongForTheReaderAreCutOrLeftOut) {
    media.media[1].volume_name = std::string(250, 'L');
    Put("ok.rpy", RaceReplay("Jim", "Clark", "spa"));
    const std::string long_folder = std::string(70, 'd') + "/" + std::string(70, 'e') + "/" + std::string(70, 'f');
    const fs::path too_long = Put(long_folder + "/far.rpy", RaceReplay("Jim", "Clark", "spa"));
    ASSERT_TRUE(Create({"long"}));
    EXPECT_EQ(asked[0].size(), 199u);
    EXPECT_EQ(ui.messages[1], too_long.string() + "\r\nFile will not be included in the database.");
    EXPECT_EQ(ui.messages.back(), "The replay CD contained 2 replays,\r\n1 were added to the database.");

    ReplayDatabaseLoader loader;
    loader.FindDatabases(Folder().string());
    ASSERT_TRUE(loader.NextReplay());
    EXPECT_EQ(loader.GetCDLabel(), std::string(250, 'L').substr(0, 199));
    EXPECT_EQ(loader.GetDrivers()->medium_path, "ok.rpy");
    EXPECT_FALSE(loader.NextReplay());
    EXPECT_TRUE(loader.GetSkipped().empty());
}

// --- the reader --------------------------------------------------------------

class CatalogueReaderTest : public testing::Test {
protected:
    CatalogueReaderTest() {
        folder = config.scratch() / "ZAVRO_CDDB";
        fs::create_directories(folder);
        replay = config.scratch() / "r.rpy";
        fixture::WriteFile(replay, RaceReplay("Jochen", "Rindt", "monza"));
    }
    std::string File(int version, int records, const std::string& label = "CD [CDFS]") {
        std::vector<fixture::CatalogueRecordSpec> specs;
        for (int i = 0; i < records; ++i)
            specs.push_back(ExpectedRecord("replay\\r" + std::to_string(i) + ".rpy", replay, version));
        return fixture::CatalogueFile(version, label, records, specs);
    }
    void Put(const std::string& name, const std::string& bytes) {
        fs::create_directories((folder / name).parent_path());
        fixture::WriteFile(folder / name, bytes);
    }

    fixture::ScopedConfigDir config;
    fs::path folder, replay;
};

TEST_F(CatalogueReaderTest, ReadsEveryVersionFromEveryFolderInNameOrder) {
    Put("a.rdb", File(4, 2));
    Put("older/b.RDB", File(1, 1));
    Put("older/c.rdb", File(2, 1));
    Put("older/d.rdb", File(3, 1));
    Put("notes.txt", "not a catalogue");
    ReplayDatabaseLoader loader;
    ASSERT_TRUE(loader.FindDatabases(folder.string() + "/"));

    struct Expect {
        std::string name, path;
        int session_count;      // version 1 headers stop before the session fields
        uint16_t season_code;   // versions 1 and 2 carry no season code
        uint8_t driver_code;    // version 1 carries no driver code byte
    };
    Drivers original;
    ASSERT_EQ(original.LoadReplay(replay.string()), 0);
    const uint16_t season = original.season_code[0];
    const uint8_t code = original.driver_code[0];
    const std::vector<Expect> expected = {
        {"a", "replay\\r0.rpy", 2, season, code}, {"a", "replay\\r1.rpy", 2, season, code},
        {"b", "replay\\r0.rpy", 0, 255, 0},       {"c", "replay\\r0.rpy", 2, 255, code},
        {"d", "replay\\r0.rpy", 2, season, code},
    };
    for (const Expect& e : expected) {
        ASSERT_TRUE(loader.NextReplay()) << e.name;
        const Drivers& d = *loader.GetDrivers();
        EXPECT_EQ(loader.GetDatabaseName(), e.name);
        EXPECT_EQ(d.catalogue_name, e.name);
        EXPECT_EQ(d.medium_path, e.path) << e.name;
        EXPECT_EQ(d.medium_label, "CD [CDFS]");
        EXPECT_EQ(d.loaded_from_catalogue, 1);
        EXPECT_EQ(loader.GetHeader()->track_folder, "monza");
        EXPECT_EQ(loader.GetHeader()->session_count, e.session_count) << e.name;
        EXPECT_EQ(d.season_code[0], e.season_code) << e.name;
        EXPECT_EQ(d.driver_code[0], e.driver_code) << e.name;
        EXPECT_EQ(d.last_names[0], "Rindt");
        EXPECT_EQ(d.race_times[0], original.race_times[0]);
        EXPECT_EQ(d.practice_lap_count[0], original.practice_lap_count[0]);
    }
    EXPECT_FALSE(loader.NextReplay());
    EXPECT_EQ(loader.GetHeader(), nullptr);
    EXPECT_EQ(loader.GetDrivers(), nullptr);
    EXPECT_FALSE(loader.NextReplay());
}

TEST_F(CatalogueReaderTest, PassesOverWhatItCannotReadAndGoesOnWithTheNextCatalogue) {
    const std::string good = File(4, 1);
    std::string bad_magic = good;
    bad_magic[0] = 'X';
    const std::string two = File(4, 2);
    std::string version9 = good;
    version9[10] = 9;
    std::string unterminated_path = File(4, 0);
    unterminated_path += std::string(300, 'p');
    Put("a_bad_magic.rdb", bad_magic);
    Put("b_good.rdb", good);
    Put("c_cut.rdb", two.substr(0, two.size() - 7));
    Put("d_version9.rdb", version9);
    ASSERT_EQ(::mkfifo((folder / "e_fifo.rdb").c_str(), 0600), 0);
    Put("f_empty.rdb", File(3, 0));
    Put("g_long_label.rdb", File(4, 1, std::string(200, 'L')));
    Put("h_long_path.rdb", unterminated_path);
    Put("i_good.rdb", good);
    Put("j_empty_file.rdb", "");

    ReplayDatabaseLoader loader;
    loader.FindDatabases(folder.string());
    std::vector<std::string> names;
    while (loader.NextReplay()) {
        ASSERT_NE(loader.GetDrivers(), nullptr);
        EXPECT_EQ(loader.GetDrivers()->driver_count, 2);
        names.push_back(loader.GetDatabaseName());
    }
    // The cut catalogue gives its whole first record and nothing after it.
    EXPECT_EQ(names, (std::vector<std::string>{"b_good", "c_cut", "i_good"}));
    std::vector<std::string> skipped;
    for (const auto& s : loader.GetSkipped()) skipped.push_back(fs::path(s.path).filename().string());
    // The FIFO is not a file and is never listed.
    EXPECT_EQ(skipped, (std::vector<std::string>{"a_bad_magic.rdb", "c_cut.rdb", "d_version9.rdb", "g_long_label.rdb", "h_long_path.rdb", "j_empty_file.rdb"}));
}

TEST_F(CatalogueReaderTest, DriverAndLapCountsBeyondAReplaysAreRefused) {
    Drivers d;
    ASSERT_EQ(d.LoadReplay(replay.string()), 0);
    Header h;
    ASSERT_EQ(h.Load(replay.string()), 0);
    Drivers many = d;
    many.driver_count = 21;
    Drivers long_race = d;
    long_race.race_lap_count[1] = 150;
    Put("a.rdb", fixture::CatalogueFile(4, "CD", 1, {{"x.rpy", fixture::HeaderCatalogueRecord(h, 4),
                                                     fixture::DriversCatalogueRecord(many, 4)}}));
    Put("b.rdb", fixture::CatalogueFile(4, "CD", 1, {{"x.rpy", fixture::HeaderCatalogueRecord(h, 4),
                                                     fixture::DriversCatalogueRecord(long_race, 4)}}));
    ReplayDatabaseLoader loader;
    loader.FindDatabases(folder.string());
    EXPECT_FALSE(loader.NextReplay());
    EXPECT_EQ(loader.GetSkipped().size(), 2u);
}

TEST_F(CatalogueReaderTest, NoCatalogueMeansNoRecord) {
    ReplayDatabaseLoader loader;
    EXPECT_FALSE(loader.FindDatabases((folder / "missing").string()));
    EXPECT_FALSE(loader.NextReplay());
    EXPECT_TRUE(loader.GetSkipped().empty());
}

}  // namespace
