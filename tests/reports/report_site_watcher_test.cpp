// The listener's watch over the replay folder, ticked by hand: a new
// replay, one still being written, one overwritten under its name, a
// deleted newest one, two finished between ticks, and a failed site.

#include "reports/report_site_watcher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Outcome = ReportSiteWatcher::Outcome;
using Handled = ReportSiteWatcher::Handled;

class Watcher : public ::testing::Test {
protected:
    void Write(const std::string& name, const std::string& bytes, bool append = false) {
        std::ofstream(dir.path() / name, std::ios::binary | (append ? std::ios::app : std::ios::trunc)) << bytes;
    }
    Outcome Tick() {
        return watcher.Tick([this](const fs::path& p) {
            handled.push_back(p.filename().string());
            return answer;
        });
    }
    fixture::TempDir dir;
    ReportSiteWatcher watcher{[this] { return std::optional<fs::path>(dir.path()); }};
    std::vector<std::string> handled;
    Handled answer = Handled::kWritten;
};

TEST_F(Watcher, ReportsOnlyReplaysMadeOrChangedSinceStartOnceTheyAreStill) {
    Write("old.rpy", "old");
    Write("older.rpy", "older");
    EXPECT_EQ(Tick(), Outcome::kIdle);  // not started
    watcher.Start();
    EXPECT_EQ(Tick(), Outcome::kNothing);

    // Still being written: it grows between ticks and is not read.
    Write("race.rpy", "part");
    EXPECT_EQ(Tick(), Outcome::kWaiting);
    Write("race.rpy", "more", true);
    EXPECT_EQ(Tick(), Outcome::kWaiting);
    EXPECT_TRUE(handled.empty());
    EXPECT_EQ(Tick(), Outcome::kWritten);
    EXPECT_EQ(handled, std::vector<std::string>{"race.rpy"});
    EXPECT_EQ(Tick(), Outcome::kNothing);

    // Overwritten under the same name: reported again.
    Write("race.rpy", "newrace!");  // the same size
    EXPECT_EQ(Tick(), Outcome::kWaiting);
    EXPECT_EQ(Tick(), Outcome::kWritten);
    EXPECT_EQ(handled.size(), 2u);

    // The newest deleted: no older replay becomes new.
    fs::remove(dir.path() / "race.rpy");
    EXPECT_EQ(Tick(), Outcome::kNothing);
    EXPECT_EQ(Tick(), Outcome::kNothing);

    // Two finished between ticks: only the newer is reported.
    Write("first.rpy", "1");
    Write("second.rpy", "2");
    fs::last_write_time(dir.path() / "second.rpy", fs::last_write_time(dir.path() / "first.rpy") + std::chrono::seconds(5));
    EXPECT_EQ(Tick(), Outcome::kWaiting);
    EXPECT_EQ(Tick(), Outcome::kWritten);
    EXPECT_EQ(handled.back(), "second.rpy");
    EXPECT_EQ(Tick(), Outcome::kNothing);
    EXPECT_EQ(handled.size(), 3u);

    watcher.Stop();
    Write("late.rpy", "late");
    EXPECT_EQ(Tick(), Outcome::kIdle);
}

TEST_F(Watcher, AFailedSiteIsTriedOnceMoreThenToldOnceAndDealtWith) {
    watcher.Start();
    Write("race.rpy", "race");
    answer = Handled::kFailed;
    EXPECT_EQ(Tick(), Outcome::kWaiting);
    EXPECT_EQ(Tick(), Outcome::kRetrying);
    EXPECT_EQ(Tick(), Outcome::kWaiting);
    EXPECT_EQ(Tick(), Outcome::kFailed);
    // Dealt with: never handed over again.
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Tick(), Outcome::kNothing);
    EXPECT_EQ(handled.size(), 2u);

    // A retry that succeeds tells nothing.
    Write("next.rpy", "next");
    Tick();
    EXPECT_EQ(Tick(), Outcome::kRetrying);
    answer = Handled::kWritten;
    Tick();
    EXPECT_EQ(Tick(), Outcome::kWritten);
    EXPECT_EQ(Tick(), Outcome::kNothing);
    EXPECT_EQ(handled.size(), 4u);

    // A site written in part is told at once and not written again.
    Write("partial.rpy", "partial");
    answer = Handled::kIncomplete;
    Tick();
    EXPECT_EQ(Tick(), Outcome::kFailed);
    EXPECT_EQ(Tick(), Outcome::kNothing);
    EXPECT_EQ(handled.size(), 5u);

    // A replay passed over (no race) is not tried again.
    Write("practice.rpy", "practice");
    answer = Handled::kSkipped;
    Tick();
    EXPECT_EQ(Tick(), Outcome::kSkipped);
    EXPECT_EQ(Tick(), Outcome::kNothing);
}

TEST_F(Watcher, ATickDuringTheHandlerDoesNothing) {
    watcher.Start();
    Write("race.rpy", "race");
    Tick();
    Outcome inner = Outcome::kNothing;
    watcher.Tick([&](const fs::path&) {
        inner = Tick();
        return Handled::kWritten;
    });
    EXPECT_EQ(inner, Outcome::kIdle);
    EXPECT_TRUE(handled.empty());
}

}  // namespace
