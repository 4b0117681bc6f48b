// The lap-choice model: lap texts, the tree of a replay, the details of a
// selection, the verdict on OK and the online-quality report.

#include "app/chooselap_model.h"

#include <gtest/gtest.h>

#include "chooselap_support.h"
#include "support/race_generator.h"

namespace {

using chooselap_test::GrandPrix;
using chooselap_test::Load;
using chooselap_test::RaceOnly;

TEST(ChooselapModel, FormatsLapEntries) {
    const struct {
        uint32_t word;
        int lap;
        const char* text;
    } cases[] = {
        {83456, 3, "Lap 3: 1m 23.456s"},
        {5007, 0, "Time before start/finish: 0m 05.007s"},
        {0x50000000 | 61001, 2, "Lap 2: 1m 01.001s [80]"},
        {0xCDCDCDCD, 4, "No time"},
        {0x10000000 | 600000, 12, "Lap 12: 10m 00.000s [16]"},
    };
    for (const auto& c : cases) EXPECT_EQ(ChooselapModel::FormatLapEntry(c.word, c.lap), c.text) << c.text;
}

TEST(ChooselapModel, ListsBothSessionsUnderHeadingsWithLoadableLapsBold) {
    auto r = Load(GrandPrix());
    const auto tree = r->model.BuildTree(false);
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[0].text, "Jim Clark #7");
    EXPECT_EQ(tree[1].text, "Maltrevik #12");
    ASSERT_EQ(tree[0].children.size(), 2u);
    const auto& practice = tree[0].children[0];
    const auto& race = tree[0].children[1];
    EXPECT_EQ(practice.text, "Practice Laps");
    EXPECT_EQ(race.text, "Race Laps");
    ASSERT_EQ(practice.children.size(), 4u);
    EXPECT_EQ(practice.children[0].text, "Time before start/finish: 0m 04.200s");
    EXPECT_EQ(practice.children[2].text, "Lap 2: 1m 25.001s [16]");
    const bool bold[] = {false, true, false, true};
    for (int j = 0; j < 4; ++j) EXPECT_EQ(practice.children[j].bold, bold[j]) << j;
    ASSERT_EQ(race.children.size(), 3u);
    EXPECT_EQ(race.children[2].text, "Lap 2: 1m 25.900s [80]");
    EXPECT_TRUE(race.children[2].bold);
    EXPECT_EQ(race.children[2].session, 1);
    EXPECT_EQ(race.children[2].lap, 2);
    EXPECT_EQ(r->model.replay_texts[ChooselapModel::kSavedBy], "Jim Clark");
    EXPECT_EQ(r->model.replay_texts[ChooselapModel::kPractice], "Yes");
    EXPECT_EQ(r->model.replay_texts[ChooselapModel::kNoOfCars], "2");

    // Only loadable laps: headings and drivers stay, even when left empty.
    const auto only = r->model.BuildTree(true);
    EXPECT_EQ(only[0].children[0].children.size(), 2u);
    EXPECT_EQ(only[0].children[1].children.size(), 2u);
    EXPECT_EQ(only[1].children.size(), 2u);
    EXPECT_TRUE(only[1].children[1].children.empty());  // Maltrevik has no race laps
}

TEST(ChooselapModel, RaceOnlyReplayListsLapsUnderTheDriver) {
    auto r = Load(RaceOnly());
    const auto tree = r->model.BuildTree(false);
    ASSERT_EQ(tree.size(), 1u);
    ASSERT_EQ(tree[0].children.size(), 3u);
    const auto& lap = tree[0].children[1];
    EXPECT_EQ(lap.text, "Lap 1: 1m 30.000s");
    const auto u = r->model.Select(&lap);
    EXPECT_EQ(u.lap.session, "Race");
    EXPECT_EQ(r->model.Ok(&lap).choice, (LapChoice{0, 1, 1}));
}

TEST(ChooselapModel, SelectionShowsLapAndDriverDetails) {
    auto r = Load(GrandPrix());
    const auto tree = r->model.BuildTree(false);
    const auto& race = tree[0].children[1];
    auto u = r->model.Select(&race.children[2]);
    EXPECT_EQ(u.lap.laptime, "1m 25.900s");
    EXPECT_EQ(u.lap.incidents, "Off track, Invalid");
    EXPECT_EQ(u.lap.session, "Race");
    EXPECT_EQ(u.lap.selectable, "Yes");
    EXPECT_TRUE(u.lap.quality_enabled);
    ASSERT_TRUE(u.driver);
    EXPECT_EQ(u.driver->name, "Jim Clark");
    EXPECT_EQ(u.driver->country, "GBR");
    EXPECT_EQ(u.driver->type, "Human");
    EXPECT_EQ(u.driver->car_class, "Lotus/F1 (1967)");
    EXPECT_EQ(u.driver->helmet_rgb, 0xC02040u);
    EXPECT_EQ(u.driver->picture, 5);
    EXPECT_EQ(u.driver->sound, 0);

    // Another lap of the same driver: lap details only.
    u = r->model.Select(&tree[0].children[0].children[2]);
    EXPECT_EQ(u.lap.incidents, "Invalid");
    EXPECT_EQ(u.lap.selectable, "No");
    EXPECT_FALSE(u.lap.quality_enabled);
    EXPECT_FALSE(u.driver);

    // A heading, or the run to the line: no lap.
    for (const ChooselapEntry* e : {&race, &race.children[0]}) {
        u = r->model.Select(e);
        EXPECT_EQ(u.lap.laptime, "None selected");
        EXPECT_EQ(u.lap.selectable, "No");
        EXPECT_TRUE(u.lap.session.empty());
        EXPECT_FALSE(u.lap.quality_enabled);
    }

    // A country index beyond the table shows no country.
    u = r->model.Select(&tree[1]);
    ASSERT_TRUE(u.driver);
    EXPECT_EQ(u.driver->country, "");
    EXPECT_EQ(u.driver->type, "Alien");
    EXPECT_EQ(u.driver->sound, ChooselapModel::kSoundMaltrevik);
    EXPECT_EQ(u.driver->picture, 4);
}

TEST(ChooselapModel, CountryAndVisitorTables) {
    EXPECT_EQ(ChooselapModel::CountryText(0), "ARG");
    EXPECT_EQ(ChooselapModel::CountryText(28), "VEN");
    EXPECT_EQ(ChooselapModel::CountryText(-1), "");
    EXPECT_EQ(ChooselapModel::CountryText(29), "");
    EXPECT_EQ(ChooselapModel::CountryText(255), "");

    const struct {
        const char* first;
        const char* last;
        bool ai;
        const char* type;
        int sound;
    } cases[] = {
        {"", "Maltrevik", false, "Alien", 236},
        {"Dersenov", "", true, "AI-car", 237},
        {"", "Pallorin", true, "Alien", 259},
        {"Pallorin", "Jr", true, "AI-car", 0},
    };
    for (const auto& c : cases) {
        ChooselapModel m;
        m.driver_count = 1;
        m.first_names[0] = c.first;
        m.last_names[0] = c.last;
        m.ai[0] = c.ai;
        ChooselapEntry driver{0, -1, -1, "", false, {}};
        const auto u = m.Select(&driver);
        ASSERT_TRUE(u.driver);
        EXPECT_EQ(u.driver->type, c.type) << c.last;
        EXPECT_EQ(u.driver->sound, c.sound) << c.last;
    }
}

TEST(ChooselapModel, OkTakesOnlyLoadableLaps) {
    auto r = Load(GrandPrix());
    const auto tree = r->model.BuildTree(false);
    const auto& practice = tree[0].children[0];
    ChooselapEntry bold_start = practice.children[0];
    bold_start.bold = true;
    const std::string choose = "Choose a lap to view!";
    const std::string invalid = "Data for this lap is not stored in the replay file\nor lap isn't complete.";
    const struct {
        const ChooselapEntry* entry;
        std::optional<LapChoice> choice;
        std::string message;
    } cases[] = {
        {nullptr, std::nullopt, choose},
        {&tree[0], std::nullopt, choose},
        {&practice, std::nullopt, choose},
        {&practice.children[2], std::nullopt, invalid},
        {&bold_start, std::nullopt, invalid},
        {&practice.children[3], LapChoice{0, 0, 3}, ""},
        {&tree[0].children[1].children[1], LapChoice{0, 1, 1}, ""},
    };
    for (const auto& c : cases) {
        const auto v = r->model.Ok(c.entry);
        EXPECT_EQ(v.choice, c.choice) << c.message;
        EXPECT_EQ(v.message, c.message);
    }
}

TEST(ChooselapModel, QualityTextGuardsEmptyLaps) {
    const std::string loss = "\n\nPossible partly loss of data due to accelerated time\nor other disturbance.";
    const struct {
        uint32_t samples, decoded, missing, longest, lap_ms;
        std::string text;
    } cases[] = {
        {2880, 2800, 80, 80, 80000, "Online quality of lapdata: 97%\nLargest online gap: 2 seconds"},
        {2000, 2000, 0, 0, 80000, "Online quality of lapdata: 100%\nLargest online gap: 0 seconds" + loss},
        {0, 0, 0, 0, 80000, "Online quality of lapdata: 0%\nLargest online gap: 0 seconds" + loss},
        {3000, 0, 10, 5, 80000, "This laps seems to be a lap set under\r\naccelerated time and contains no data."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooselapModel::QualityText(c.samples, c.decoded, c.missing, c.longest, c.lap_ms), c.text);
}

TEST(ChooselapModel, QualityReportCountsTheGapsOfTheExtractedLap) {
    fixture::RacePlan plan;
    plan.lap_length_m = 400.0;
    plan.race = false;
    plan.player = 1;
    fixture::CarPlan hill;
    hill.driver = fixture::NamedDriver("Graham", "Hill", 4);
    hill.practice_speeds = {40, 45, 42};
    hill.absent = {{500, 535}};  // 36 frames of the second lap without the car
    fixture::CarPlan clark;
    clark.driver = fixture::NamedDriver("Jim", "Clark", 0);
    clark.practice_speeds = {42, 47, 48};
    plan.cars = {hill, clark};
    const fixture::RaceGenerator gen(plan);
    auto r = Load(gen.Spec());
    const auto& truth = gen.Lap(0, 0, 2);
    ASSERT_GT(truth.missing, 0u);
    EXPECT_EQ(r->model.QualityReport({0, 0, 2}),
              ChooselapModel::QualityText(truth.sample_count, truth.sample_count - truth.missing, truth.missing,
                                          truth.longest_missing_run, truth.lap_ms));
    EXPECT_NE(r->model.QualityReport({0, 0, 2}).find("%\nLargest online gap: 1 seconds"), std::string::npos);
    EXPECT_EQ(r->model.QualityReport({0, 0, 9}), "RpyDataClass: Error reading file!");
}

}  // namespace
