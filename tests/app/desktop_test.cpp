// Ostrevan as an installed desktop program: the user's own registration at
// start (by an installed program only, written once, never over a changed
// file, not where an install provides it; an own entry that leads nowhere
// or hides an install's removed, nothing written again while current, a
// link of the user's left alone), and `cmake --install` into a temporary
// prefix, read with the desktop's own tools where they are present.

#include "app/desktop_registration.h"
#include "app/readme_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>
#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <sys/stat.h>
#include <sstream>

#include "support/replay_fixture.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Files = std::vector<DesktopRegistration::File>;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool HasTool(const std::string& name) { return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0; }

// A shell command's standard output, its last line end dropped.
std::string Output(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        std::array<char, 512> buffer{};
        while (size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) out.append(buffer.data(), n);
        ::pclose(pipe);
    }
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

// Writes a file, making its folders.
void Put(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    fixture::WriteFile(path, bytes);
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

std::string Resource(const char* name) { return Read(fs::path(OSTREVAN_RESOURCES) / name); }

Files OwnFiles(const std::string& program) {
    return {{"applications/ostrevan.desktop", *DesktopRegistration::WithExec(Resource("desktop/ostrevan.desktop"), program)},
            {"mime/packages/ostrevan.xml", Resource("desktop/ostrevan.xml")},
            {"icons/hicolor/scalable/apps/ostrevan.svg", Resource("icons/ostrevan.svg")}};
}

// The registration with its tool runs recorded instead of made.
struct Registration {
    explicit Registration(std::vector<fs::path> system = {}) : registration(home.path(), std::move(system)) {}
    std::vector<fs::path> Register(const Files& files) { return registration.Register(files, Recorder()); }
    // As at the program's start, with the entry's Exec line left to fill.
    std::vector<fs::path> RegisterProgram(const fs::path& program) {
        Files files = OwnFiles("/placeholder");
        files[0].content = Resource("desktop/ostrevan.desktop");
        return registration.RegisterProgram(program, files, Recorder());
    }
    DesktopRegistration::RunTool Recorder() {
        return [this](const std::vector<std::string>& argv) {
            runs.push_back(argv);
            return true;
        };
    }
    fixture::TempDir home;
    DesktopRegistration registration;
    std::vector<std::vector<std::string>> runs;
};

TEST(DesktopRegistration, ExecQuotesAndEscapesTheProgramPath) {
    const struct {
        std::string program, exec;
    } table[] = {
        {"/usr/bin/ostrevan", "/usr/bin/ostrevan %f"},
        {"/opt/Ostrevan 0.1/ostrevan", "\"/opt/Ostrevan 0.1/ostrevan\" %f"},
        {"/home/jim/$HOME/o", "\"/home/jim/\\\\$HOME/o\" %f"},
        {"/a\"b`c/o", "\"/a\\\\\"b\\\\`c/o\" %f"},
        {"/a\\b/o", "\"/a\\\\\\\\b/o\" %f"},
        {"/100%/o", "/100%%/o %f"},
        {"/tab\there/o", "\"/tab\\there/o\" %f"},
        {"/home/j\xC3\xBCrgen/o", "/home/j\xC3\xBCrgen/o %f"},
        {"/%%\"a b\\/o", "\"/%%%%\\\\\"a b\\\\\\\\/o\" %f"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(DesktopRegistration::ExecValue(row.program), row.exec) << row.program;
        EXPECT_EQ(DesktopRegistration::ExecProgram(row.exec), row.program) << row.exec;
    }
    EXPECT_EQ(DesktopRegistration::WithExec("[Desktop Entry]\nName=O\nExec=ostrevan %f\nIcon=o\n", "/x/o"),
              "[Desktop Entry]\nName=O\nExec=/x/o %f\nIcon=o\n");
    // A path that no entry can hold gives no Exec value, never a line
    // without the program: not UTF-8 (a Latin-1 folder name, a cut
    // character, an overlong form, a surrogate), a control character, none.
    for (const std::string program : {"/home/Ostrev\xE1n/o", "/a\xC3", "/\xC0\xAF/o", "/\xED\xA0\x80/o",
                                      "/a\x01/o", "/a\x7F/o", "relative/o", ""}) {
        EXPECT_EQ(DesktopRegistration::ExecValue(program), std::nullopt) << program;
        EXPECT_EQ(DesktopRegistration::WithExec("[Desktop Entry]\nExec=ostrevan %f\n", program), std::nullopt);
    }
    EXPECT_EQ(DesktopRegistration::ExecProgram(" %f"), "");
}

// An install's layout in a temporary folder: the program and, where an
// install puts it, the install's own entry.
fs::path InstalledProgram(const fs::path& prefix) {
    const fs::path program = prefix / "bin" / "ostrevan";
    Put(program, "program");
    Put(program.parent_path() / DesktopRegistration::DataFromProgramFolder() /
                           "applications/ostrevan.desktop",
                       "[Desktop Entry]\n");
    return program;
}

TEST(DesktopRegistration, OnlyAnInstalledProgramRegistersItselfAndOnlyWhereAnEntryCanNameIt) {
    fixture::TempDir folder;
    // Started from its build folder: nothing, whatever the folder holds.
    const fs::path built = folder.path() / "build/test/src/app/ostrevan";
    Put(built, "program");
    Put(folder.path() / "build/test/CMakeCache.txt", "");
    Registration from_build;
    EXPECT_TRUE(from_build.RegisterProgram(built).empty());
    EXPECT_TRUE(fs::is_empty(from_build.home.path()));
    EXPECT_TRUE(from_build.runs.empty());

    // Installed (into a prefix the desktop does not look in): registered.
    const fs::path installed = InstalledProgram(folder.path() / "opt");
    Registration user;
    const auto written = user.RegisterProgram(installed);
    ASSERT_EQ(written.size(), 3u);
    EXPECT_NE(Read(written[0]).find("\nExec=" + installed.string() + " %f\n"), std::string::npos);

    // Installed in a folder whose name is not UTF-8: no entry without its
    // program, and nothing else either.
    const fs::path latin1 = InstalledProgram(folder.path() / "Ostrev\xE1n");
    Registration unnamed;
    EXPECT_TRUE(unnamed.RegisterProgram(latin1).empty());
    EXPECT_TRUE(fs::is_empty(unnamed.home.path()));
}

TEST(DesktopRegistration, AnOwnEntryThatLeadsNowhereOrHidesAnInstallsIsRemovedAtStart) {
    fixture::TempDir folder;
    const fs::path program = folder.path() / "build/ostrevan";
    Put(program, "program");
    fixture::TempDir system;
    Put(system.path() / "applications/ostrevan.desktop", "[Desktop Entry]\n");
    const std::string entry = Resource("desktop/ostrevan.desktop");
    auto exec_line = [&](const std::string& exec) {
        return std::regex_replace(entry, std::regex("\nExec=[^\n]*"), "\nExec=" + exec);
    };
    const struct {
        const char* why;
        std::string content;  // stamped as the program's own
        bool installed, changed, removed;
    } table[] = {
        {"its program is gone", exec_line((folder.path() / "gone/ostrevan").string() + " %f"), false, false, true},
        {"it names no program", exec_line(" %f"), false, false, true},
        {"an install provides the entry", exec_line(program.string() + " %f"), true, false, true},
        {"its program is there", exec_line(program.string() + " %f"), false, false, false},
        {"the user changed it", exec_line("/gone/ostrevan %f"), false, true, false},
    };
    for (const auto& row : table) {
        Registration user;
        const fs::path target = user.home.path() / "applications/ostrevan.desktop";
        ASSERT_EQ(user.Register({{"applications/ostrevan.desktop", row.content}}).size(), 1u) << row.why;
        if (row.changed) std::ofstream(target, std::ios::app) << "NoDisplay=true\n";
        const std::string before = Read(target);
        user.runs.clear();
        // A start from the build folder, which registers nothing itself,
        // with the install (if any) made since.
        const DesktopRegistration start(user.home.path(), row.installed ? std::vector<fs::path>{system.path()}
                                                                         : std::vector<fs::path>{});
        EXPECT_TRUE(start.RegisterProgram(program, OwnFiles("/placeholder"), user.Recorder()).empty());
        EXPECT_EQ(fs::exists(target), !row.removed) << row.why;
        if (!row.removed) {
            EXPECT_EQ(Read(target), before) << row.why;
        }
        using Runs = std::vector<std::vector<std::string>>;
        const Runs refresh = {{"update-desktop-database", "-q", (user.home.path() / "applications").string()}};
        EXPECT_EQ(user.runs, row.removed ? refresh : Runs{}) << row.why;
    }
}

TEST(DesktopRegistration, WritesEachFileOnceAndASecondStartWritesNothing) {
    Registration user;
    const std::vector<fs::path> written = user.Register(OwnFiles("/opt/o/ostrevan"));
    const fs::path& home = user.home.path();
    ASSERT_EQ(written, (std::vector<fs::path>{home / "applications/ostrevan.desktop", home / "mime/packages/ostrevan.xml",
                                               home / "icons/hicolor/scalable/apps/ostrevan.svg"}));
    const std::string entry = Read(written[0]);
    EXPECT_NE(entry.find("\nExec=/opt/o/ostrevan %f\n"), std::string::npos);
    EXPECT_EQ(entry.rfind("# Ostrevan registration ", entry.size() - 2), entry.rfind('\n', entry.size() - 2) + 1);
    EXPECT_EQ(Read(written[1]).rfind(Resource("desktop/ostrevan.xml"), 0), 0u);
    if (HasTool("desktop-file-validate")) {
        EXPECT_EQ(Output("desktop-file-validate " + Quoted(written[0]) + " 2>&1; echo $?"), "0");
    }
    EXPECT_EQ(user.runs, (std::vector<std::vector<std::string>>{
                             {"update-desktop-database", "-q", (home / "applications").string()},
                             {"update-mime-database", (home / "mime").string()}}));
    // Nothing but the three files: no temporary file stays behind.
    size_t files = 0;
    for (const auto& e : fs::recursive_directory_iterator(home)) files += e.is_regular_file();
    EXPECT_EQ(files, 3u);

    user.runs.clear();
    EXPECT_TRUE(user.Register(OwnFiles("/opt/o/ostrevan")).empty());
    EXPECT_TRUE(user.runs.empty());
}

// What tells a file rewritten with the same bytes from one left alone.
std::vector<std::pair<ino_t, int64_t>> Identities(const fs::path& home) {
    std::vector<std::pair<ino_t, int64_t>> ids;
    for (const auto& file : OwnFiles("/x")) {
        struct stat st {};
        if (::stat((home / file.relative).c_str(), &st) == 0)
            ids.emplace_back(st.st_ino, st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec);
    }
    return ids;
}

TEST(DesktopRegistration, ASecondStartOfTheInstalledProgramChangesNothingWhereverTheSessionListsTheUsersFolder) {
    fixture::TempDir folder;
    const fs::path program = InstalledProgram(folder.path() / "opt");
    const fs::path system = folder.path() / "system";
    fs::create_directory(system);
    // XDG_DATA_DIRS: "H" is XDG_DATA_HOME, "L" a link to it, "S" an
    // install's folder.
    int row = 0;
    for (const std::string dirs : {"S", "H:S", "S:H/", "S:L"}) {
        Registration user;
        const fs::path link = folder.path() / ("link" + std::to_string(++row));
        fs::create_directory_symlink(user.home.path(), link);
        std::string list;
        for (char c : dirs)
            list += c == 'H' ? user.home.path().string() : c == 'L' ? link.string() : c == 'S' ? system.string()
                                                                                                 : std::string(1, c);
        ::setenv("XDG_DATA_HOME", user.home.path().c_str(), 1);
        ::setenv("XDG_DATA_DIRS", list.c_str(), 1);
        const std::optional<DesktopRegistration> start = DesktopRegistration::FromEnvironment();
        ASSERT_TRUE(start) << dirs;
        const Files files = OwnFiles("/placeholder");
        ASSERT_EQ(start->RegisterProgram(program, files, user.Recorder()).size(), 3u) << dirs;
        EXPECT_EQ(user.runs.size(), 2u) << dirs;
        const auto before = Identities(user.home.path());
        ASSERT_EQ(before.size(), 3u);

        user.runs.clear();
        EXPECT_TRUE(start->RegisterProgram(program, files, user.Recorder()).empty()) << dirs;
        EXPECT_TRUE(user.runs.empty()) << dirs;
        EXPECT_EQ(Identities(user.home.path()), before) << dirs;
    }
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("XDG_DATA_DIRS");
}

// The regular files below folder, with their bytes.
std::map<fs::path, std::string> Contents(const fs::path& folder) {
    std::map<fs::path, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file()) files[fs::relative(e.path(), folder)] = Read(e.path());
    return files;
}

TEST(DesktopRegistration, NeverWritesThroughReplacesOrRemovesALinkOfTheUsers) {
    fixture::TempDir folder;
    const fs::path program = InstalledProgram(folder.path() / "opt");
    // The program's own files of an earlier start, out of date now (their
    // program gone, or moved), kept in the user's dotfiles and linked.
    for (const bool gone : {true, false}) {
        const fs::path earlier = folder.path() / (gone ? "gone" : "moved") / "ostrevan";
        Put(earlier, "program");
        Registration dotfiles;
        ASSERT_EQ(dotfiles.Register({{"applications/ostrevan.desktop", OwnFiles(earlier.string())[0].content},
                                     {"mime/packages/ostrevan.xml", "<mime-info/>\n"}})
                      .size(),
                  2u);
        if (gone) fs::remove(earlier);
        const auto kept = Contents(dotfiles.home.path());

        Registration user;
        for (const auto& [relative, bytes] : kept) {
            fs::create_directories((user.home.path() / relative).parent_path());
            fs::create_symlink(dotfiles.home.path() / relative, user.home.path() / relative);
        }
        EXPECT_EQ(user.RegisterProgram(program),
                  std::vector<fs::path>{user.home.path() / "icons/hicolor/scalable/apps/ostrevan.svg"});
        EXPECT_TRUE(user.runs.empty()) << gone;
        EXPECT_EQ(Contents(dotfiles.home.path()), kept) << gone;
        for (const auto& [relative, bytes] : kept)
            EXPECT_EQ(fs::read_symlink(user.home.path() / relative), dotfiles.home.path() / relative) << gone;
    }
}

TEST(DesktopRegistration, LeavesAChangedFileAloneAndRenewsItsOwn) {
    Registration user;
    ASSERT_EQ(user.Register(OwnFiles("/opt/o/ostrevan")).size(), 3u);
    const fs::path entry = user.home.path() / "applications/ostrevan.desktop";
    const fs::path package = user.home.path() / "mime/packages/ostrevan.xml";

    // The program moved: its own unchanged entry follows it, and only that.
    user.runs.clear();
    EXPECT_EQ(user.Register(OwnFiles("/usr/games/ostrevan")), std::vector<fs::path>{entry});
    EXPECT_NE(Read(entry).find("\nExec=/usr/games/ostrevan %f\n"), std::string::npos);
    EXPECT_EQ(user.runs.size(), 1u);

    // The user's edits stay, whatever the program would write now.
    const std::string edited = Read(entry) + "NoDisplay=true\n";
    std::ofstream(entry, std::ios::binary) << edited;
    std::ofstream(package, std::ios::binary) << "<mime-info/>\n";
    EXPECT_TRUE(user.Register(OwnFiles("/opt/other/ostrevan")).empty());
    EXPECT_EQ(Read(entry), edited);
    EXPECT_EQ(Read(package), "<mime-info/>\n");
}

TEST(DesktopRegistration, WritesNothingThatAnInstallProvides) {
    fixture::TempDir system;
    for (const auto& file : OwnFiles("/usr/bin/ostrevan")) {
        fs::create_directories((system.path() / file.relative).parent_path());
        std::ofstream(system.path() / file.relative) << file.content;
    }
    Registration user({"/nonexistent", system.path()});
    EXPECT_TRUE(user.Register(OwnFiles("/usr/bin/ostrevan")).empty());
    EXPECT_TRUE(user.runs.empty());
    EXPECT_TRUE(fs::is_empty(user.home.path()));
}

// A replay as the simulator writes it, and what a file manager (GLib's view
// of the shared MIME database, as GNOME's has it) makes of it.
std::string FileType(const fs::path& file, const fs::path& data_home, const fs::path& data_dirs) {
    return Output("XDG_CURRENT_DESKTOP=GNOME XDG_DATA_HOME=" + Quoted(data_home) + " XDG_DATA_DIRS=" +
                  Quoted(data_dirs) + " xdg-mime query filetype " + Quoted(file));
}

TEST(Install, IntoATemporaryPrefix) {
    // A prefix whose path the desktop entry must quote.
    fixture::TempDir folder;
    const fs::path p = folder.path() / "Ostrevan 0.1";
    ASSERT_EQ(std::system(("'" OSTREVAN_CMAKE "' --install '" OSTREVAN_BUILD_DIR "' --prefix " + Quoted(p) +
                           " >/dev/null 2>&1")
                              .c_str()),
              0);
    const fs::path program = p / "bin/ostrevan";
    const fs::path entry = p / "share/applications/ostrevan.desktop";
    const fs::path package = p / "share/mime/packages/ostrevan.xml";
    const fs::path icon = p / "share/icons/hicolor/scalable/apps/ostrevan.svg";
    for (const fs::path& file : {program, entry, package, icon}) EXPECT_TRUE(fs::is_regular_file(file)) << file;
    EXPECT_NE(fs::status(program).permissions() & fs::perms::owner_exec, fs::perms::none);
    EXPECT_EQ(Read(icon), Resource("icons/ostrevan.svg"));
    // The users' readme, where Help > View Readme file looks from the
    // installed program; its lines end in CR LF, as every text it ships.
    const auto readme = readme_file::Find(readme_file::Folders(folder.path(), program.parent_path()));
    ASSERT_TRUE(readme);
    EXPECT_EQ(*readme, p / "share/doc/ostrevan/Ostrevan.txt");
    const std::string text_of_readme = Read(*readme);
    EXPECT_EQ(text_of_readme, Resource("Ostrevan.txt"));
    EXPECT_FALSE(std::regex_search(text_of_readme, std::regex("(^|[^\r])\n"))) << "a line ends without CR";

    const std::string text = Read(entry);
    EXPECT_NE(text.find("\nExec=" + *DesktopRegistration::ExecValue(program.string()) + "\n"), std::string::npos);
    // The installed program knows itself as installed; the one in the
    // build folder does not.
    EXPECT_TRUE(DesktopRegistration::IsInstalled(program));
    EXPECT_FALSE(DesktopRegistration::IsInstalled(OSTREVAN_PROGRAM));
    EXPECT_NE(text.find("\nMimeType=application/x-ostrevan-replay;\n"), std::string::npos);
    EXPECT_NE(text.find("\nIcon=ostrevan\n"), std::string::npos);
    if (HasTool("desktop-file-validate")) {
        EXPECT_EQ(Output("desktop-file-validate " + Quoted(entry) + " 2>&1; echo $?"), "0");
    }

    // The package: the replay type with its glob and magic.
    QFile xml(QString::fromStdString(package.string()));
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
    QXmlStreamReader reader(&xml);
    QStringList types, globs, magic;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) continue;
        if (reader.name() == u"mime-type") types << reader.attributes().value("type").toString();
        if (reader.name() == u"glob") globs << reader.attributes().value("pattern").toString();
        if (reader.name() == u"match") magic << reader.attributes().value("value").toString();
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    EXPECT_EQ(types, QStringList{"application/x-ostrevan-replay"});
    EXPECT_EQ(globs, QStringList{"*.rpy"});
    EXPECT_EQ(magic, (QStringList{"YLPR", "0", "1", "2"}));

    // The install refreshed the prefix's databases: a file manager that
    // looks there knows a replay and opens it with Ostrevan.
    if (!HasTool("xdg-mime") || !HasTool("gio") || !HasTool("update-mime-database"))
        GTEST_SKIP() << "xdg-utils, libglib2.0-bin or shared-mime-info is missing";
    fixture::TempDir files;
    // xdg-mime splits its folder lists at blanks as well: the prefix is
    // reached through a link without one.
    fs::create_directory_symlink(p / "share", files.path() / "share");
    const std::string dirs = (files.path() / "share").string() + ":/usr/share";
    fixture::ReplaySpec other_simulator;
    other_simulator.version = 3;
    fixture::WriteFile(files.path() / "monza.rpy", fixture::BuildReplay(fixture::ReplaySpec{}));
    fixture::WriteFile(files.path() / "renamed", fixture::BuildReplay(fixture::ReplaySpec{}));
    fixture::WriteFile(files.path() / "other", fixture::BuildReplay(other_simulator));
    EXPECT_EQ(FileType(files.path() / "monza.rpy", files.path() / "home", dirs), "application/x-ostrevan-replay");
    EXPECT_EQ(FileType(files.path() / "renamed", files.path() / "home", dirs), "application/x-ostrevan-replay");
    EXPECT_NE(FileType(files.path() / "other", files.path() / "home", dirs), "application/x-ostrevan-replay");
    EXPECT_EQ(Output("XDG_DATA_HOME=" + Quoted(files.path() / "home") + " XDG_DATA_DIRS=" + Quoted(dirs) +
                     " xdg-mime query default application/x-ostrevan-replay"),
              "ostrevan.desktop");
}

}  // namespace
