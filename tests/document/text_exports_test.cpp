// The text exports of a loaded lap (telemetry text, groove file) and the
// headless models of the merge and groove parameter dialogs.

#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <sstream>

#include "document/groove_export.h"
#include "document/groove_parameters_model.h"
#include "document/merge_parameters_model.h"
#include "document/rpy_graph_doc.h"
#include "document/telemetry_text.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "replay/header.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A trimmed lap of n samples whose channels are all 0.
std::unique_ptr<GetRpyInfo> Lap(uint32_t n) {
    auto lap = std::make_unique<GetRpyInfo>();
    lap->sample_count = n;
    lap->trimmed = true;
    const size_t e = n + 2;
    for (auto* v : {&lap->distance, &lap->lateral_offset, &lap->revs, &lap->speed, &lap->accel_long, &lap->accel_lat,
                    &lap->slip_angle, &lap->accel_total})
        v->assign(e, 0.0);
    lap->gear.assign(e, 0);
    lap->orientation.assign(e, 0);
    lap->steering.assign(e, 0);
    lap->roll.assign(e, 0);
    lap->pitch.assign(e, 0);
    return lap;
}

TEST(TelemetryText, MatchesTheGoldenFileInAnyLocale) {
    LapSlot slot;
    slot.drivers = std::make_unique<Drivers>();
    slot.driver = 1;
    slot.session = 1;
    slot.lap = 2;
    slot.drivers->race_times[1][2] = 0x40000000 | 83456;
    slot.drivers->practice_times[1][2] = 1111;
    slot.telemetry = Lap(4);
    GetRpyInfo& t = *slot.telemetry;
    const struct {
        double distance, lateral;
        int gear;
        double revs;
        int orientation, roll, pitch, steering;
        double speed, along, alat, slip;
    } rows[] = {
        {0.5, -1.25, 3, 7450.1234567, -2048, 511, -512, -64, 201, -1e-9, 1.5, 12.3456789},
        {1.0000006, 0, -1, 0, 2047, -511, 0, 63, 0.1, 0, -2.9999994, -0.5},
        {1234.5678912, 13, 0, 12000, 0, 0, 1, 0, 250, 1, 0, 0},
        {99, 99, 9, 99, 99, 99, 99, 9, 99, 99, 99, 99},  // sample n is not written
    };
    for (size_t i = 0; i < 4; ++i) {
        const auto& r = rows[i];
        const size_t k = i + 1;
        t.distance[k] = r.distance;
        t.lateral_offset[k] = r.lateral;
        t.gear[k] = static_cast<int16_t>(r.gear);
        t.revs[k] = r.revs;
        t.orientation[k] = static_cast<int16_t>(r.orientation);
        t.roll[k] = r.roll;
        t.pitch[k] = r.pitch;
        t.steering[k] = static_cast<int16_t>(r.steering);
        t.speed[k] = r.speed;
        t.accel_long[k] = r.along;
        t.accel_lat[k] = r.alat;
        t.slip_angle[k] = r.slip;
    }
    const std::string golden = ReadAll(OSTREVAN_TEST_DATA "/writers/telemetry_lap.txt");
    ASSERT_FALSE(golden.empty());
    EXPECT_EQ(telemetry_text::Build(slot), golden);
    // A locale with a decimal comma changes nothing.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        EXPECT_EQ(telemetry_text::Build(slot), golden);
        std::setlocale(LC_NUMERIC, "C");
    }
}

TEST(GrooveExport, NumbersAsTheGrooveFileWritesThem) {
    const struct {
        double v;
        const char* text;
    } cases[] = {{0.5, "0.50000000"},   {-1.25, "-1.25000000"}, {0, "0.00000000"},
                 {3702.0, "3702.00000000"}, {1e-9, "0.00000000"},  {0.123456789, "0.12345679"},
                 {-0.000000004, "-0.00000000"}};
    for (const auto& c : cases) EXPECT_EQ(groove_export::FormatGrooveNumber(c.v), c.text) << c.v;
}

// A lap over 3702.5 m, one sample per metre from -1 m, lateral offset =
// distance / 1000, total acceleration 1 g up to sample 99, then 0.5 g.
std::unique_ptr<GetRpyInfo> LongLap() {
    const uint32_t n = 3710;
    auto lap = Lap(n);
    for (uint32_t i = 1; i <= n; ++i) {
        lap->distance[i] = static_cast<double>(i) - 2.0;
        lap->lateral_offset[i] = lap->distance[i] / 1000;
        lap->accel_total[i] = i < 100 ? 1.0 : 0.5;
    }
    return lap;
}

TEST(GrooveExport, OneLinePerStepBelowTheTrackLength) {
    const auto lap = LongLap();
    groove_export::Parameters p;
    p.width = "2.5";
    const auto text = groove_export::Build(*lap, 3702.5, p);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->rfind("60sections,7405entries\r\n", 0), 0u);
    EXPECT_EQ(std::count(text->begin(), text->end(), '\n'), 7406);
    // d = 0 lies between samples 2 and 3; the darkest sample is 1.0 and the
    // first fifteen repeat sample 15.
    EXPECT_NE(text->find("\r\n0 0.00000000 1.00000000 0.00000000 2.5\r\n"), std::string::npos) << text->substr(0, 200);
    EXPECT_NE(text->find("\r\n0 3.70200000 0.50000000 3702.00000000 2.5\r\n"), std::string::npos);
    EXPECT_EQ(text->find("3702.50000000"), std::string::npos);
}

TEST(GrooveExport, DegenerateLapsDivideByNothing) {
    groove_export::Parameters p;
    // Under 18 samples: refused.
    EXPECT_FALSE(groove_export::Build(*Lap(17), 100, p));
    // No acceleration at all from sample 15 on, and a car standing still
    // (every distance equal): darkness 0, the offset of the sample.
    auto still = Lap(40);
    for (uint32_t i = 1; i <= 40; ++i) still->lateral_offset[i] = -1.25;
    const auto text = groove_export::Build(*still, 1.0, p);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "60sections,2entries\r\n0 -1.25000000 0.00000000 0.00000000 3.0\r\n"
                     "0 -1.25000000 0.00000000 0.50000000 3.0\r\n");
    // Without a track nothing is sampled.
    EXPECT_EQ(*groove_export::Build(*still, 0.0, p), "60sections,0entries\r\n");
}

TEST(GrooveExport, OldWayTakesTheLargerPartUnlessItExceedsOne) {
    const struct {
        int accel_factor;
        double speed_step;  // km/h from sample i to i + 1
        int roll;
        double darkness;
    } cases[] = {
        {100, 1.15, 10, 0.5},   // speed share 0.5 beats roll share 0.2
        {100, 0.23, 30, 0.6},   // roll share 0.6 beats speed share 0.1
        {300, 1.15, 10, 0.2},   // speed share 1.5 is above 1: the roll share instead
        {100, 23.0, 80, 1.0},   // both limited to 1
    };
    for (const auto& c : cases) {
        auto lap = Lap(40);
        for (uint32_t i = 1; i <= 40; ++i) {
            lap->distance[i] = i;
            lap->speed[i] = c.speed_step * i;
            lap->roll[i] = -c.roll;
        }
        groove_export::Parameters p;
        p.darkness_method = 0;
        p.acceleration_factor = c.accel_factor;
        p.resolution_index = 9;
        const auto text = groove_export::Build(*lap, 21, p);
        ASSERT_TRUE(text);
        // d = 20 m: the line names sample 19.
        std::string want(1, ' ');
        want += groove_export::FormatGrooveNumber(c.darkness);
        want += " 20.00000000 3.0\r\n";
        EXPECT_NE(text->find(want), std::string::npos) << c.accel_factor << " " << *text;
    }
}

TEST(GrooveParameters, FieldChecks) {
    const struct {
        std::string accel, roll, width;
        int field;  // -1 accepted
        const char* message;
    } cases[] = {
        {"100", "100", "3.0", -1, ""},
        {"0", "999", "12", -1, ""},
        {"1000", "100", "3.0", 0, "Please enter an integer between 0 and 999."},
        {"100", "", "3.0", 1, "Please enter an integer."},
        {"100", "5x", "3.0", 1, "Please enter an integer."},
        {"100", "100", "3 0", 2, "Please enter a number."},
        {"100", "100", "", 2, "Please enter a number."},
        {"100", "100", "1.2.3", 2, "Please enter a number."},
        {"100", "100", "3,0", 2, "Please enter a number."},
    };
    for (const auto& c : cases) {
        GrooveParametersModel model;
        const auto refusal = model.Accept(c.accel, c.roll, c.width);
        if (c.field < 0) {
            EXPECT_FALSE(refusal) << c.accel << c.roll << c.width;
            EXPECT_EQ(model.parameters.width, c.width);
        } else {
            ASSERT_TRUE(refusal) << c.accel << c.roll << c.width;
            EXPECT_EQ(refusal->field, c.field);
            EXPECT_EQ(refusal->message, c.message);
        }
    }
}

TEST(MergeParameters, AdvantagesAndOptions) {
    MergeParametersModel m({"Jim Clark", "Dan Gurney", "Al Bell"}, {0x10000000 | 80000, 81234, 155500});
    ASSERT_EQ(m.LapCount(), 3);
    EXPECT_EQ(m.Label(0), "Jim Clark - 1m 20.000s");
    const std::string texts[] = {"0.000", "1.234", "1m15.500"};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(m.MaxAdvantageText(i), texts[i]);
    EXPECT_EQ(m.EditText(1), "0");
    EXPECT_FALSE(m.EditsEnabled());
    m.SetOption(MergeParametersModel::kEndOfLap);
    EXPECT_EQ(m.EditText(2), "75.500");
    EXPECT_EQ(m.StartAdvantage(2), 75500u);
    MergeParametersModel odd({"a", "b"}, {1000, 2001});
    odd.SetOption(MergeParametersModel::kSameDifference);
    EXPECT_EQ(odd.StartAdvantage(1), 500u);
    EXPECT_EQ(odd.EditText(1), "0.500");

    m.SetOption(MergeParametersModel::kManual);
    EXPECT_TRUE(m.EditsEnabled());
    EXPECT_EQ(m.StartAdvantage(2), 75500u);  // manual keeps the values
    EXPECT_TRUE(m.CommitEdit(2, "2,5x"));
    EXPECT_EQ(m.EditText(2), "2,5");
    EXPECT_EQ(m.StartAdvantage(2), 2500u);
    EXPECT_FALSE(m.CommitEdit(1, "1.235"));  // above 1.234
    EXPECT_EQ(m.StartAdvantage(1), 1235u);   // kept even so
    EXPECT_EQ(m.FirstTooLarge(), 1);
    EXPECT_FALSE(m.CommitEdit(1, "99999999999999999999"));
    m.SetOption(MergeParametersModel::kStartOfLap);
    EXPECT_EQ(m.FirstTooLarge(), -1);
}

TEST(MergeParameters, ParseSeconds) {
    const struct {
        const char* text;
        uint32_t ms;
    } cases[] = {{"1.5", 1500}, {"1,05", 1050}, {"2.", 2000},  {"7", 7000}, {"", 0},
                 {".25", 250},  {"0.1234", 123}, {"3,0001", 3000}, {"4294968", UINT32_MAX}};
    for (const auto& c : cases) EXPECT_EQ(MergeParametersModel::ParseSeconds(c.text), c.ms) << c.text;
}

}  // namespace
