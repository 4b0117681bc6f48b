// The unattended modes as whole processes, against `cat` of the same file:
// warm cache, runs interleaved, the minimum of each (other work on the
// machine only ever adds time). Also the peak memory of each process
// (its maximum resident set). Targets:
//   -expreports of a small replay:          at most 2 x cat + 5 ms
//   -expreports -mech of a 214 MB race:     at most 2 x cat
//   -reportsite of the same race:           at most 4 x cat
//   peak memory of -expreports -mech:       under 30 MB
// Runs: --runs=N (7 when not given).

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "lists_only.h"
#include "settings/settings.h"
#include "stadium_race.h"
#include "support/replay_fixture.h"
#include "support/session_fixture.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

fs::path BenchFolder() {
    const char* env = std::getenv("OSTREVAN_BENCH_DIR");
    const fs::path dir = env ? fs::path(env) : fs::temp_directory_path() / "ostrevan-bench-process";
    fs::create_directories(dir);
    return dir;
}

// A simulator folder with the stadium circuit as "monza" and a long race
// on it: 20 cars at about 10 m/s for some 140 laps (four and a quarter
// hours), every block with all 20 cars, 214 MB in all.
fs::path Simulator() {
    bench::StadiumRace race{"long.rpy", 140, 9.4, {}};
    // Now and then a car's status changes, for the mechanical report.
    for (uint32_t tick = 5000; tick < 36 * 15000; tick += 9000)
        race.status.push_back({tick, tick / 9000 % 20, 9, static_cast<uint8_t>(1 + tick / 9000 % 3)});
    return bench::WriteStadiumRace(BenchFolder() / "sim", race);
}

// A Grand Prix weekend of 14 KB or so: practice and race of eight cars,
// a few frames.
fs::path SmallReplay() {
    const fs::path p = BenchFolder() / "small.rpy";
    if (fs::exists(p)) return p;
    std::vector<fixture::DriverLaps> field;
    for (uint32_t i = 0; i < 8; ++i) {
        fixture::DriverLaps d{fixture::NamedDriver("Driver", "Number" + std::to_string(i), i, i % 7)};
        d.practice_start = 1000;
        d.practice_laps.assign(10, 90000 + 100 * i);
        d.race_start = 2000 + 50 * i;
        d.race_laps.assign(20, 94000 + 37 * i);
        field.push_back(d);
    }
    auto spec = fixture::SessionReplay(field, true, true, "monza");
    spec.frames = fixture::SessionFrames(2, 0, 300, 1, 24);
    fixture::WriteFile(p, fixture::BuildReplay(spec));
    return p;
}

struct Sample {
    double ms = 0;
    long peak_kb = 0;
    int status = -1;
};

Sample Run(const std::vector<std::string>& args) {
    std::vector<std::string> text = args;
    std::vector<char*> argv;
    for (std::string& a : text) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Sample s;
    pid_t pid = 0;
    const auto t0 = std::chrono::steady_clock::now();
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return s;
    int wstatus = 0;
    rusage usage{};
    wait4(pid, &wstatus, 0, &usage);
    s.ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    s.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    s.peak_kb = usage.ru_maxrss;
    return s;
}

// The runs, by the names their lines carry.
constexpr const char* kCaseNames[] = {"-expreports, small replay", "-expreports -mech, long race",
                                      "-reportsite, long race"};

struct Case {
    std::string name;
    std::vector<std::string> program;
    std::string file;  // what cat reads
    double times_cat = 0;
    double plus_ms = 0;
};

}  // namespace

int main(int argc, char** argv) {
    // Asked for the list alone, as the other benchmark programs are: the
    // names, and neither a replay written nor a process started.
    if (bench::ListsOnly(argc, argv)) {
        for (const char* name : kCaseNames) std::printf("%s\n", name);
        return 0;
    }
    int runs = 7;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--runs=", 7) == 0) runs = std::max(1, std::atoi(argv[i] + 7));

    // The program's settings: in a folder of the benchmark's own, naming
    // the simulator folder (the report site finds its track there).
    ::setenv("OSTREVAN_CONFIG_DIR", (BenchFolder() / "config").c_str(), 1);
    // The replays are made in a child process: what their making held
    // would otherwise count in the peak memory of every program started
    // from this one.
    const pid_t maker = fork();
    if (maker == 0) {
        Simulator();
        SmallReplay();
        _exit(0);
    }
    waitpid(maker, nullptr, 0);
    const fs::path sim = Simulator();
    {
        Settings settings;
        settings.Load();
        settings.SetQELDirectory(sim.string());
        if (!settings.Save()) std::fprintf(stderr, "the settings could not be stored\n");
    }
    const std::string race = (sim / "replay" / "long.rpy").string();
    const std::string small = SmallReplay().string();
    const fs::path out = BenchFolder() / "out";
    fs::create_directories(out);
    const std::string program = OSTREVAN_PROGRAM;

    const std::vector<Case> cases{
        {kCaseNames[0], {program, "-expreports", "--" + small, "--" + (out / "s_").string()}, small, 2, 5},
        {kCaseNames[1],
         {program, "-expreports", "--" + race, "--" + (out / "m_").string(), "-mech"},
         race, 2, 0},
        {kCaseNames[2], {program, "-reportsite", "--" + race, "--" + (out / "site").string()}, race, 4, 0},
    };

    std::printf("Race: %s (%.1f MB); small replay: %.1f KB; %d runs each, interleaved, minimum kept\n\n",
                race.c_str(), static_cast<double>(fs::file_size(race)) / 1e6,
                static_cast<double>(fs::file_size(small)) / 1e3, runs);
    std::printf("%-32s %10s %10s %7s %12s %10s %6s\n", "run", "ostrevan", "cat", "ratio", "target", "peak MB", "");
    bool all_met = true;
    for (const Case& c : cases) {
        // Warm the cache and the program's libraries first.
        Run({"cat", c.file});
        Run(c.program);
        double best = 1e18, best_cat = 1e18;
        long peak_kb = 0;
        int status = 0;
        for (int i = 0; i < runs; ++i) {
            // Each site starts afresh: backups of earlier images would pile up.
            std::error_code ignored;
            fs::remove_all(out / "site", ignored);
            fs::create_directories(out / "site");
            const Sample s = Run(c.program);
            status |= s.status;
            best = std::min(best, s.ms);
            peak_kb = std::max(peak_kb, s.peak_kb);
            best_cat = std::min(best_cat, Run({"cat", c.file}).ms);
        }
        const double target = c.times_cat * best_cat + c.plus_ms;
        const bool met = status == 0 && best <= target;
        all_met = all_met && met;
        char target_text[32];
        std::snprintf(target_text, sizeof target_text, c.plus_ms > 0 ? "%.0fx+%.0fms" : "%.0fx", c.times_cat,
                      c.plus_ms);
        std::printf("%-32s %8.1fms %8.1fms %6.2fx %12s %10.1f %6s\n", c.name.c_str(), best, best_cat, best / best_cat,
                    target_text, static_cast<double>(peak_kb) / 1024.0,
                    status != 0 ? "FAILED" : met ? "met" : "missed");
    }
    std::printf("\nTargets %s. Peak memory of -expreports -mech: under 30 MB.\n", all_met ? "met" : "not all met");
    return 0;
}
