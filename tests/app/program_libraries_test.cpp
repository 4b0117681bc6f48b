// The program as a process: the report export runs without a display and
// loads no Qt library at all; the windows come from a library opened only
// for them. The dynamic loader lists every library it starts
// (LD_DEBUG=libs), which the tests read.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "report_scenarios.h"
#include "support/config_dir.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string err;
    // The libraries the loader started, one path a line.
    std::vector<std::string> libraries;
};

// Runs the program with no display in its environment and the loader's
// list of libraries on standard error. Each entry of changes ("NAME=value",
// or "NAME" alone to remove it) replaces the variable of that name.
Outcome RunProgram(const std::vector<std::string>& args, const fs::path& scratch,
                   const std::vector<std::string>& changes = {}) {
    std::vector<std::string> env_text;
    auto changed = [&changes](const std::string& entry) {
        for (const std::string& c : changes)
            if (entry.starts_with(c.substr(0, c.find('=')) + "=")) return true;
        return false;
    };
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.starts_with("DISPLAY=") || entry.starts_with("WAYLAND_DISPLAY=") ||
            entry.starts_with("QT_QPA_PLATFORM=") || entry.starts_with("LD_DEBUG") || changed(entry))
            continue;
        env_text.push_back(entry);
    }
    for (const std::string& c : changes)
        if (c.find('=') != std::string::npos) env_text.push_back(c);
    env_text.push_back("LD_DEBUG=libs");
    std::vector<char*> env;
    for (std::string& e : env_text) env.push_back(e.data());
    env.push_back(nullptr);
    std::vector<std::string> argv_text{OSTREVAN_PROGRAM};
    argv_text.insert(argv_text.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argv_text) argv.push_back(a.data());
    argv.push_back(nullptr);

    const fs::path err_file = scratch / "stderr.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    Outcome out;
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return out;
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    out.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    std::ifstream in(err_file);
    std::string line;
    while (std::getline(in, line)) {
        const auto at = line.find("calling init: ");
        if (at != std::string::npos)
            out.libraries.push_back(line.substr(at + std::strlen("calling init: ")));
        else
            out.err += line + "\n";
    }
    return out;
}

bool Loaded(const Outcome& o, const std::string& part) {
    for (const std::string& library : o.libraries)
        if (fs::path(library).filename().string().find(part) != std::string::npos) return true;
    return false;
}

TEST(ProgramLibraries, ReportExportRunsWithoutDisplayAndLoadsNoQt) {
    report_scenarios::UseUtc();
    fixture::ScopedConfigDir config;
    fixture::TempDir dir;
    report_scenarios::WriteAndLoad(report_scenarios::PracticeAndRace(), dir.File("monza.rpy"));
    fs::create_directories(dir.path() / "out");
    const Outcome o =
        RunProgram({"-expreports", "--" + dir.File("monza.rpy"), "--" + dir.File("out/"), "-mech"}, dir.path());
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(fs::exists(dir.path() / "out" / "monza_Mechanical.txt"));
    // The list is read: the C++ library is always in it.
    EXPECT_TRUE(Loaded(o, "libstdc++")) << "the loader listed no library";
    for (const char* qt : {"libQt6", "libGL", "libX11", "libxcb", "libfontconfig", "libostrevan_"})
        EXPECT_FALSE(Loaded(o, qt)) << qt;
}

// The unattended modes write nothing into the settings folder, wherever it
// lies, and do not make it either.
TEST(ProgramLibraries, UnattendedModesWriteNothingIntoTheSettingsFolder) {
    report_scenarios::UseUtc();
    fixture::ScopedConfigDir config;
    fixture::TempDir dir;
    report_scenarios::WriteAndLoad(report_scenarios::PracticeAndRace(), dir.File("monza.rpy"));
    fs::create_directories(dir.path() / "out");
    const fs::path home = dir.path() / "home", xdg = dir.path() / "xdg", own = dir.path() / "own";
    fs::create_directories(home);
    fs::create_directories(xdg);
    fs::create_directories(own);
    const struct {
        const char* what;
        std::vector<std::string> env;
        fs::path folder;  // the settings folder of the run
    } cases[] = {
        {"empty OSTREVAN_CONFIG_DIR", {"OSTREVAN_CONFIG_DIR=", "XDG_CONFIG_HOME=" + xdg.string()}, xdg / "Ostrevan"},
        {"no OSTREVAN_CONFIG_DIR", {"OSTREVAN_CONFIG_DIR", "XDG_CONFIG_HOME", "HOME=" + home.string()},
         home / ".config" / "Ostrevan"},
        {"an empty folder of its own", {"OSTREVAN_CONFIG_DIR=" + own.string()}, own},
    };
    const std::vector<std::string> modes[] = {
        {"-expreports", "--" + dir.File("monza.rpy"), "--" + dir.File("out/")},
        {"-reportsite", dir.File("monza.rpy"), dir.File("site")},
    };
    for (const auto& c : cases) {
        for (const auto& args : modes) {
            SCOPED_TRACE(std::string(c.what) + " " + args[0]);
            const Outcome o = RunProgram(args, dir.path(), c.env);
            EXPECT_NE(o.status, -1) << o.err;
            if (c.folder == own) EXPECT_TRUE(fs::is_empty(own));
            else EXPECT_FALSE(fs::exists(c.folder));
        }
    }
}

TEST(ProgramLibraries, InteractiveProgramOpensTheWindowsLibrary) {
    fixture::ScopedConfigDir config;
    fixture::TempDir dir;
    // Without a display the interactive program says so and stops, after
    // its windows' library has been opened.
    const Outcome o = RunProgram({}, dir.path());
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("Ostrevan needs a graphical display"), std::string::npos) << o.err;
    EXPECT_TRUE(Loaded(o, "libostrevan_windows.so"));
}

}  // namespace
