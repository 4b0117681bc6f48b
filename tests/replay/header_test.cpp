#include "replay/header.h"

#include <gtest/gtest.h>

#include "support/replay_fixture.h"
#include "support/temp_dir.h"

namespace {

using fixture::ReplaySpec;

class HeaderTest : public ::testing::Test {
protected:
    std::string Write(const std::string& bytes, const std::string& name = "r.rpy") {
        const std::string p = dir.File(name);
        fixture::WriteFile(p, bytes);
        return p;
    }
    static ReplaySpec Spec() {
        ReplaySpec s;
        s.drivers = {fixture::DriverSpec{}};
        s.layout = fixture::TableLayout::kNone;
        s.frames = fixture::SessionFrames(0, 0, 3);
        return s;
    }
    fixture::TempDir dir;
};

TEST_F(HeaderTest, FailureCodes) {
    Header h;
    EXPECT_EQ(h.Load(dir.File("missing.rpy")), 1);
    EXPECT_EQ(h.last_load_result, 1);
    EXPECT_EQ(h.Load(Write("", "empty.rpy")), 2);

    ReplaySpec wrong = Spec();
    wrong.magic = 0x52504C58;
    EXPECT_EQ(h.Load(Write(fixture::BuildReplay(wrong))), 3);

    // Shorter than the header but with the magic: refused, not read from
    // bytes that are not there.
    const std::string whole = fixture::BuildReplay(Spec());
    for (size_t len : {size_t{4}, size_t{11}, size_t{12}, size_t{100}, size_t{295}}) {
        Header s;
        EXPECT_EQ(s.Load(Write(whole.substr(0, len))), 3) << len;
    }
    Header exact;
    EXPECT_EQ(exact.Load(Write(whole.substr(0, 296))), 0);
}

TEST_F(HeaderTest, VersionDecidesBetweenTorquanaAndDamage) {
    struct Case {
        uint32_t version;
        int result;
        int version_field;
    } cases[] = {{0, 0, 0}, {1, 0, 1}, {2, 0, 2}, {3, 3, 3}, {7, 3, 7}};
    for (const auto& c : cases) {
        ReplaySpec s = Spec();
        s.version = c.version;
        Header h;
        EXPECT_EQ(h.Load(Write(fixture::BuildReplay(s))), c.result) << c.version;
        EXPECT_EQ(h.version, c.version_field) << c.version;
    }
    EXPECT_STREQ(Header::VersionText(0), "<1.2");
    EXPECT_STREQ(Header::VersionText(2), ">=1.2");
}

TEST_F(HeaderTest, DerivesEveryField) {
    ReplaySpec s = Spec();
    s.recording_ticks = 2160 * 12 + 36 * 7;
    s.player_first = "Graham";
    s.player_last = "Hill";
    s.track = "MonZa";
    s.car_set = "qel69";
    s.game_mode = 4;
    s.ai_cars = 17;
    s.damage_level = 2;
    s.sessions = 2;
    s.race_laps = 300;
    const std::string bytes = fixture::BuildReplay(s);
    Header h;
    ASSERT_EQ(h.Load(Write(bytes)), 0);
    EXPECT_EQ(h.recording_length, s.recording_ticks);
    EXPECT_EQ(Header::RecordingLengthText(h.recording_length), "12m 7s");
    EXPECT_EQ(h.player_first_name, "Graham");
    EXPECT_EQ(h.player_last_name, "Hill");
    EXPECT_EQ(h.track_folder, "monza");
    EXPECT_EQ(h.car_set, "qel69");
    EXPECT_EQ(h.game_mode, 4);
    EXPECT_STREQ(Header::GameModeText(h.game_mode), "Pro Long");
    EXPECT_EQ(h.ai_cars, 17);
    EXPECT_EQ(h.damage_level, 2);
    EXPECT_STREQ(Header::DamageLevelText(h.damage_level), "Advanced");
    EXPECT_EQ(h.session_count, 2);
    EXPECT_EQ(h.race_laps, 300);
    EXPECT_EQ(h.version, 2);
    // Offset 8 holds the file size minus 12.
    EXPECT_EQ(h.next_chunk_offset, bytes.size());
    EXPECT_EQ(h.path, dir.File("r.rpy"));
    EXPECT_EQ(std::string(h.raw_header.begin(), h.raw_header.end()), bytes.substr(0, 296));
    EXPECT_EQ(h.loaded_from_catalogue, 0);
}

TEST_F(HeaderTest, NamesOfSixteenCharactersKeepFifteen) {
    ReplaySpec s = Spec();
    s.player_first = "Abcdefghijklmnop";  // 16 characters, no NUL in the file
    s.player_last = "Qrstuvwxyzabcdef";
    s.track = "ABCDEFGHIJKLMNOP";
    Header h;
    ASSERT_EQ(h.Load(Write(fixture::BuildReplay(s))), 0);
    EXPECT_EQ(h.player_first_name, "Abcdefghijklmno");
    EXPECT_EQ(h.player_last_name, "Qrstuvwxyzabcde");
    EXPECT_EQ(h.track_folder, "abcdefghijklmno");
}

TEST_F(HeaderTest, GameModeAndRaceLapsDependOnTheSessionCount) {
    struct Case {
        uint8_t mode, sessions;
        int game_mode;
    } modes[] = {{0, 1, -1}, {0, 2, 0}, {0, 3, 0}, {5, 1, 5}};
    for (const auto& c : modes) {
        ReplaySpec s = Spec();
        s.game_mode = c.mode;
        s.sessions = c.sessions;
        s.race_laps = 42;
        Header h;
        ASSERT_EQ(h.Load(Write(fixture::BuildReplay(s))), 0);
        EXPECT_EQ(h.game_mode, c.game_mode);
        EXPECT_EQ(h.session_count, c.sessions);
        // The fixture writes the laps only where the session count says, so
        // reading the other offset would not give 42.
        EXPECT_EQ(h.race_laps, 42) << int(c.sessions);
    }
    EXPECT_STREQ(Header::GameModeText(-1), "Training");
}

TEST_F(HeaderTest, CanBeLoadedAgainAfterAFailure) {
    Header h;
    EXPECT_EQ(h.Load(dir.File("missing.rpy")), 1);
    EXPECT_EQ(h.Load(Write(fixture::BuildReplay(Spec()))), 0);
    EXPECT_EQ(h.last_load_result, 0);
    EXPECT_EQ(h.track_folder, "monza");
}

}  // namespace
