// The document without any window: adding laps from generated replays of
// the stadium circuit, every refusal leaving the document as it was, the
// data-quality and lap-time messages, and the derived channels against the
// speeds the generator drove.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "document/report_lap_picker.h"
#include "document/rpy_graph_doc.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "replay/header.h"
#include "reports/speed_report.h"
#include "settings/file_info.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/race_generator.h"
#include "support/recording_interaction.h"
#include "support/replay_fixture.h"
#include "support/track_fixture.h"
#include "track/track.h"
#include "track/track_path_tracer.h"

namespace {

namespace fs = std::filesystem;
using Change = DocumentObserver::Change;

constexpr double kStraight = fixture::kStadiumStraight * fixture::kTrackUnit;
constexpr double kRadius = fixture::kStadiumRadius * fixture::kTrackUnit;

// The player (slot 0, 45 m/s on lap 2) and another car (slot 3, 42 m/s on
// lap 2, left out of a few frames) on the stadium circuit, practice only.
fixture::RacePlan StadiumPractice(double lap_length) {
    fixture::RacePlan plan;
    plan.lap_length_m = lap_length;
    plan.race = false;
    fixture::CarPlan a;
    a.driver.first_name = "Jim";
    a.driver.last_name = "Clark";
    a.driver.slot = 0;
    a.practice_speeds = {40, 45, 45, 44};
    fixture::CarPlan b;
    b.driver.first_name = "Dan";
    b.driver.last_name = "Gurney";
    b.driver.slot = 3;
    b.practice_speeds = {38, 42, 42, 43};
    b.absent = {{1200, 1202}, {1300, 1300}};
    plan.cars = {a, b};
    return plan;
}

void Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    fixture::WriteFile(path, bytes);
}

class RecordingChooser : public LapChooser {
public:
    std::optional<LapChoice> ChooseLap(const Header& header, Drivers&) override {
        asked.push_back(header.path);
        return answer;
    }
    std::optional<LapChoice> answer = LapChoice{0, 0, 2};
    std::vector<std::string> asked;
};

class RecordingObserver : public DocumentObserver {
public:
    void OnDocumentChanged(CRpyGraphDoc&, Change change) override { changes.push_back(change); }
    int Count(Change c) const { return static_cast<int>(std::count(changes.begin(), changes.end(), c)); }
    std::vector<Change> changes;
};

class DocumentTest : public testing::Test {
protected:
    DocumentTest() {
        sim = config.scratch() / "QEL";
        Write(sim / "qel.exe", "MZ");
        Write(sim / "tracks" / "fixturering" / "fixturering.trk",
                           fixture::BuildTrackBlock(fixture::StadiumCircuit()));
        settings.SetQELDirectory(sim.string());
        settings.SetDontShowQualReport(1);
    }
    void TearDown() override {
        if (doc) doc->RemoveObserver(&observer);
    }

    // The track's length as the reader gives it, which the generator drives.
    double LapLength() {
        const auto track = Track::Load(sim, "fixturering");
        const double length = track->GetLength();
        track->Clear();
        return length;
    }
    std::string WriteReplay(const std::string& name, const fixture::ReplaySpec& spec) {
        const fs::path path = sim / "replay" / name;
        Write(path, fixture::BuildReplay(spec));
        return path.string();
    }
    CRpyGraphDoc& Doc() {
        doc = std::make_unique<CRpyGraphDoc>(settings, ui);
        doc->SetLapChooser(&chooser);
        doc->AddObserver(&observer);
        return *doc;
    }

    fixture::ScopedConfigDir config;
    fs::path sim;
    Settings settings;
    fixture::RecordingInteraction ui;
    RecordingChooser chooser;
    RecordingObserver observer;
    std::unique_ptr<CRpyGraphDoc> doc;
};

TEST_F(DocumentTest, FillsFiveSlotsInOrderAndRefusesTheSixth) {
    const fixture::RaceGenerator race(StadiumPractice(LapLength()));
    const std::string path = WriteReplay("stadium.rpy", race.Spec());
    CRpyGraphDoc& d = Doc();
    EXPECT_EQ(d.GetTitle(), "No lap selected");
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(d.AddLapFromCommandLine(path, 0, i % 2, 2 + i % 2)) << i;
    EXPECT_EQ(d.GetLoadedCount(), 5);
    EXPECT_EQ(d.GetTitle(), "Fixturering");
    EXPECT_TRUE(d.IsTrackLoaded());
    EXPECT_EQ(d.GetSlot(3).driver, 1);
    EXPECT_EQ(d.GetSlot(3).lap, 3);
    EXPECT_EQ(d.GetSlot(4).tracer->GetColourIndex(), 4);

    ui.messages.clear();
    EXPECT_FALSE(d.AddLapFromCommandLine(path, 0, 0, 2));
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Max number of laps already loaded!"});
    EXPECT_EQ(d.GetLoadedCount(), 5);
    EXPECT_EQ(observer.Count(Change::kPathAdded), 5);
    EXPECT_EQ(observer.Count(Change::kTrack), 1);

    d.OnNewDocument();
    EXPECT_EQ(d.GetLoadedCount(), 0);
    EXPECT_EQ(d.GetTitle(), "No lap selected");
    EXPECT_EQ(d.GetTrack(), nullptr);
    EXPECT_FALSE(d.GetSlot(0).used);
    EXPECT_EQ(observer.Count(Change::kCleared), 1);
}

TEST_F(DocumentTest, EveryRefusalLeavesTheDocumentAsItWas) {
    const double length = LapLength();
    const fixture::RaceGenerator race(StadiumPractice(length));
    const std::string good = WriteReplay("stadium.rpy", race.Spec());
    fixture::ReplaySpec other = race.Spec();
    other.track = "monza";
    const std::string other_track = WriteReplay("monza.rpy", other);
    fixture::ReplaySpec upper = race.Spec();
    upper.track = "FIXTURERING";
    const std::string same_track_upper = WriteReplay("upper.rpy", upper);
    fixture::ReplaySpec torquana = race.Spec();
    torquana.version = 3;
    const std::string version3 = WriteReplay("t4.rpy", torquana);
    const std::string missing = (sim / "replay" / "nothing.rpy").string();

    struct Case {
        const char* name;
        int loaded_first;  // laps loaded before the attempt
        std::string path;
        int lap;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"no such file", 0, missing, 2, {"HeaderClass: Error reading file!", missing}},
        {"other simulator", 0, version3, 2, {"HeaderClass: Torquana 4 replays not supported!", version3}},
        {"lap not in the table", 0, good, 40, {"RpyDataClass: Error reading file!"}},
        {"another track", 1, other_track, 2, {"This file is not from the same track!"}},
        {"lap not in the table, second lap", 2, good, 40, {"RpyDataClass: Error reading file!"}},
    };
    for (const Case& c : cases) {
        CRpyGraphDoc& d = Doc();
        for (int i = 0; i < c.loaded_first; ++i) ASSERT_TRUE(d.AddLapFromCommandLine(good, 0, 0, 2)) << c.name;
        const std::string title = d.GetTitle();
        const Track* track = d.GetTrack();
        observer.changes.clear();
        ui.messages.clear();

        EXPECT_FALSE(d.AddLapFromCommandLine(c.path, 0, 0, c.lap)) << c.name;
        EXPECT_EQ(ui.messages, c.messages) << c.name;
        EXPECT_EQ(d.GetLoadedCount(), c.loaded_first) << c.name;
        EXPECT_FALSE(d.GetSlot(c.loaded_first).used) << c.name;
        EXPECT_EQ(d.GetTitle(), title) << c.name;
        EXPECT_EQ(d.GetTrack(), track) << c.name;
        EXPECT_TRUE(observer.changes.empty()) << c.name;
        EXPECT_EQ(ui.waits, 0) << c.name;
        // The next add takes the slot the failed one would have used.
        ASSERT_TRUE(d.AddLapFromCommandLine(good, 0, 1, 2)) << c.name;
        EXPECT_EQ(d.GetSlot(c.loaded_first).driver, 1) << c.name;
        doc->RemoveObserver(&observer);
        doc.reset();
    }

    // A track folder named in other letters' case is the same folder.
    CRpyGraphDoc& d = Doc();
    ASSERT_TRUE(d.AddLapFromCommandLine(good, 0, 0, 2));
    EXPECT_TRUE(d.AddLapFromCommandLine(same_track_upper, 0, 0, 2));

    // Cancelling the file or the lap chooser changes nothing either.
    d.OnNewDocument();
    ui.paths = {std::nullopt, good};
    chooser.answer = std::nullopt;
    EXPECT_FALSE(d.OnAddReplayLap());
    EXPECT_FALSE(d.OnAddReplayLap());
    EXPECT_EQ(chooser.asked, std::vector<std::string>{good});
    EXPECT_EQ(d.GetLoadedCount(), 0);
    EXPECT_EQ(d.GetTitle(), "No lap selected");
}

TEST_F(DocumentTest, QualityAndLapTimeMessagesAppearExactlyWhenDue) {
    const fixture::RaceGenerator race(StadiumPractice(LapLength()));
    // Lap 2's stored time of each car made 100 ms longer (lap 3 100 ms
    // shorter): only the player's lap is questioned.
    fixture::ReplaySpec spec = race.Spec();
    for (auto& entry : spec.practice) entry.words.at(1) += 100;
    const std::string path = WriteReplay("stadium.rpy", spec);
    const fixture::LapTruth& other = race.Lap(1, 0, 2);
    ASSERT_GT(other.missing, 0u);
    const double other_quality = 100.0 - 100.0 * other.missing / other.sample_count;

    const std::string mismatch =
        "ZAVRO has detected the laptime for this lap might be incorrect\n\nLaptime stored in replay: " +
        CRpyGraphDoc::FormatLapTime(race.Lap(0, 0, 2).lap_ms + 100);
    const struct {
        int dont_show;
        int driver;
        int lap;
        std::string quality;   // empty: no quality message
        bool lap_time_message;
    } cases[] = {
        {0, 0, 2, "Online quality of lapdata: 100%\nLargest online gap: 0 seconds", true},
        {0, 1, 2,
         "Online quality of lapdata: " + std::to_string(static_cast<int>(other_quality)) +
             "%\nLargest online gap: 0 seconds",
         false},
        {1, 0, 2, "", true},
        {1, 0, 1, "", false},
        {1, 1, 2, "", false},
    };
    for (const auto& c : cases) {
        settings.SetDontShowQualReport(c.dont_show);
        CRpyGraphDoc& d = Doc();
        ui.messages.clear();
        ASSERT_TRUE(d.AddLapFromCommandLine(path, 0, c.driver, c.lap));
        std::vector<std::string> expected;
        if (!c.quality.empty()) expected.push_back(c.quality);
        ASSERT_EQ(ui.messages.size(), expected.size() + (c.lap_time_message ? 1 : 0)) << c.driver << c.lap;
        if (!c.quality.empty()) {
            EXPECT_EQ(ui.messages.front(), c.quality);
        }
        if (c.lap_time_message) {
            EXPECT_EQ(ui.messages.back().rfind(mismatch, 0), 0u) << ui.messages.back();
        }
        doc->RemoveObserver(&observer);
        doc.reset();
    }
}

TEST_F(DocumentTest, DerivedChannelsFollowTheDrivenSpeedsAndCurves) {
    const double length = LapLength();
    const fixture::RaceGenerator race(StadiumPractice(length));
    const std::string path = WriteReplay("stadium.rpy", race.Spec());
    CRpyGraphDoc& d = Doc();
    ASSERT_TRUE(d.AddLapFromCommandLine(path, 0, 0, 2));
    const GetRpyInfo& lap = *d.GetSlot(0).telemetry;
    ASSERT_GT(lap.sample_count, 500u);
    EXPECT_FALSE(d.IsPainterFitted());

    int on_straight = 0, on_curve = 0;
    for (uint32_t i = 10; i + 2 < lap.sample_count; ++i) {
        const double s = lap.distance[i];
        if (s > 20 && s < kStraight - 20) {  // the first straight, to the east
            ++on_straight;
            EXPECT_NEAR(lap.speed[i], 45 * 3.6, 0.2) << i;
            EXPECT_NEAR(lap.heading[i], 180.0, 1.5) << i;  // the weave across the tarmac
            EXPECT_NEAR(lap.accel_travel_long[i], 0.0, 0.05) << i;
        }
        // The middle of the first half circle: v^2 / r, in g.
        if (s > kStraight + 0.3 * kRadius * M_PI && s < kStraight + 0.7 * kRadius * M_PI) {
            ++on_curve;
            const double r = kRadius - lap.lateral_offset[i];
            EXPECT_NEAR(lap.accel_total[i], 45.0 * r / kRadius * 45.0 * r / kRadius / r / 9.8, 0.15) << i;
        }
        for (const auto& wheel : lap.locked_wheel) EXPECT_LE(wheel[i], 1);
    }
    EXPECT_GT(on_straight, 50);
    EXPECT_GT(on_curve, 50);

    // Split times: the time from the line to each quarter at 45 m/s.
    for (int q = 0; q < 3; ++q)
        EXPECT_NEAR(lap.split_time_ms[static_cast<size_t>(q)], (q + 1) * 0.25 * length / 45.0 * 1000.0, 3.0) << q;

    // Sample 1 lies beside sample 2 on the map, not at the canvas's corner.
    EXPECT_NEAR(lap.map_x[1], lap.map_x[2], 45.0 / 36.0 * d.GetTelemetryScale() * 1.1);
    EXPECT_NEAR(lap.map_y[1], lap.map_y[2], 45.0 / 36.0 * d.GetTelemetryScale() * 1.1);
}

TEST_F(DocumentTest, LapsTooShortToStepThroughGetNoDerivedChannels) {
    const fixture::RaceGenerator race(StadiumPractice(LapLength()));
    const std::string path = WriteReplay("stadium.rpy", race.Spec());
    CRpyGraphDoc& d = Doc();
    ASSERT_TRUE(d.AddLapFromCommandLine(path, 0, 0, 2));
    GetRpyInfo& lap = *d.GetSlot(0).telemetry;
    for (uint32_t n : {0u, 1u, 2u}) {
        lap.sample_count = n;
        std::fill(lap.speed.begin(), lap.speed.end(), 0.0);
        d.ComputeDerivedChannels(0);
        for (uint32_t i = 0; i < n + 2; ++i) EXPECT_EQ(lap.speed[i], 0.0) << n << " samples, " << i;
    }
    // Three samples make one step: sample 2 gets its speed, and the samples
    // at either end take it too; nothing beyond.
    lap.sample_count = 3;
    std::fill(lap.speed.begin(), lap.speed.end(), 0.0);
    d.ComputeDerivedChannels(0);
    EXPECT_NEAR(lap.speed[2], 45 * 3.6, 1.0);
    EXPECT_EQ(lap.speed[1], lap.speed[2]);
    EXPECT_EQ(lap.speed[3], lap.speed[2]);
    EXPECT_EQ(lap.speed[4], 0.0);
}

TEST_F(DocumentTest, NeitherEndOfALapReadsAsAStandingCar) {
    const fixture::RaceGenerator race(StadiumPractice(LapLength()));
    const std::string path = WriteReplay("stadium.rpy", race.Spec());
    CRpyGraphDoc& d = Doc();
    ASSERT_TRUE(d.AddLapFromCommandLine(path, 0, 0, 2));
    const GetRpyInfo& lap = *d.GetSlot(0).telemetry;
    const uint32_t n = lap.sample_count;
    ASSERT_GT(n, 500u);
    EXPECT_EQ(lap.speed[1], lap.speed[2]);
    EXPECT_EQ(lap.speed[n], lap.speed[n - 1]);
    EXPECT_GT(lap.speed[1], 100.0);
    EXPECT_GT(lap.speed[n], 100.0);

    // The speed report's lowest speed (columns 55-60 of the lap's line) is
    // a speed the car drove.
    const std::string report = WriteSpeedReport(ReportLapPicker::CollectLoadedLaps(d));
    const size_t line = report.find("\r\n", report.find("Laptime\r\n") + 9) - 79;
    ASSERT_LT(line, report.size()) << report;
    EXPECT_GT(std::stod(report.substr(line + 55, 6)), 100.0) << report;
}

TEST_F(DocumentTest, OpensTheNewestReplayOfTheSimulatorFolder) {
    const fixture::RaceGenerator race(StadiumPractice(LapLength()));
    const std::string older = WriteReplay("b_older.rpy", race.Spec());
    // The newer replay is made again until the file system's clock, however
    // coarse, has moved on from the older one's creation.
    const auto created = [](const std::string& path) {
        CFileInfo info;
        EXPECT_TRUE(info.Fill(path, path));
        return info.creation_time;
    };
    std::string newer;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while ((newer.empty() || created(newer) <= created(older)) && std::chrono::steady_clock::now() < deadline) {
        if (!newer.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        fs::remove(sim / "replay" / "a_newer.rpy");
        newer = WriteReplay("a_newer.rpy", race.Spec());
    }
    ASSERT_GT(created(newer), created(older));
    CRpyGraphDoc& d = Doc();
    EXPECT_TRUE(d.OpenMostRecentReplay());
    EXPECT_EQ(chooser.asked, std::vector<std::string>{newer});
    EXPECT_EQ(d.GetPathName(), newer);
}

TEST_F(DocumentTest, ASimulatorFolderWithoutQelExeAsksForAnother) {
    const struct {
        std::string folder;
        bool found;
    } cases[] = {{sim.string(), true}, {sim.string() + "/", true}, {(sim / "tracks").string(), false}, {"", false}};
    for (const auto& c : cases) {
        settings.SetQELDirectory(c.folder);
        ui.messages.clear();
        int dialogs = 0;
        { CRpyGraphDoc d(settings, ui, [&](CRpyGraphDoc&) { ++dialogs; }); }
        EXPECT_EQ(dialogs, c.found ? 0 : 1) << c.folder;
        EXPECT_EQ(ui.messages.size(), c.found ? 0u : 1u) << c.folder;
        // Unattended: no dialog to open, the message alone.
        ui.messages.clear();
        { CRpyGraphDoc d(settings, ui); }
        EXPECT_EQ(ui.messages.size(), c.found ? 0u : 1u) << c.folder;
    }
}

TEST(DocumentText, FormatLapTimeUsesTheLow24Bits) {
    const struct {
        uint32_t word;
        const char* text;
    } cases[] = {{0, "0m 00.000s"}, {83456, "1m 23.456s"}, {5007, "0m 05.007s"}, {0x40000000 | 61001, "1m 01.001s"},
                 {0xFFFFFF, "279m 37.215s"}};
    for (const auto& c : cases) EXPECT_EQ(CRpyGraphDoc::FormatLapTime(c.word), c.text);
}

TEST_F(DocumentTest, TheOneLapChoiceAsksOnlyAmongSeveralLaps) {
    const fixture::RaceGenerator race(StadiumPractice(LapLength()));
    const std::string path = WriteReplay("stadium.rpy", race.Spec());
    CRpyGraphDoc& d = Doc();
    std::vector<std::vector<std::string>> asked;
    int answer = 1;
    ReportLapPicker picker(d, [&](const std::vector<std::string>& captions) {
        asked.push_back(captions);
        return answer;
    });
    EXPECT_EQ(picker.ChooseReportLap(), -1);
    EXPECT_EQ(ui.messages, std::vector<std::string>{"No replay lap loaded!"});
    ASSERT_TRUE(d.AddLapFromCommandLine(path, 0, 0, 2));
    EXPECT_EQ(picker.ChooseReportLap(), 0);
    EXPECT_TRUE(asked.empty());
    ASSERT_TRUE(d.AddLapFromCommandLine(path, 0, 1, 2));
    EXPECT_EQ(picker.ChooseReportLap(), 1);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], (std::vector<std::string>{"\"stadium\" - Jim Clark", "\"stadium\" - Jim Clark"}));
    for (int cancelled : {-1, 2}) {
        answer = cancelled;
        EXPECT_EQ(picker.ChooseReportLap(), -1);
    }
    // A slot whose header is gone is offered without a name, never read.
    d.GetSlot(1).header.reset();
    answer = 0;
    EXPECT_EQ(picker.ChooseReportLap(), 0);
    EXPECT_EQ(asked.back().at(1), "");
    EXPECT_EQ(ui.messages.size(), 1u);
}

}  // namespace
