#pragma once
// Registers the interactive program with the desktop for the user alone,
// the freedesktop.org way: its desktop entry (which hands a replay to the
// program), the replay file type and the program's icon, under the user's
// data folder where menus and file managers look for them.
//
// Only an installed program registers itself: one started from its build
// folder would leave an entry that hides the installed program's own and
// leads nowhere once the build folder is gone.
//
// A file is written where the user's folder lacks it and no system-wide
// install provides it, and over this program's own earlier file when that
// is unchanged but out of date (the program has moved). Every file written
// ends with a line holding a stamp of the rest: a file whose stamp no
// longer matches was changed by the user, and is never written over; nor is
// a symbolic link the user put in a file's place, which is never written
// through, replaced or removed. A file that is already as it would be
// written is left as it is, so a start that finds everything current writes
// nothing and runs no tool. Files are written whole, through a temporary
// file beside them.
//
// An install's file is one in the system's data folders that is not the
// user's own file: sessions that list the user's data folder among the
// system's see the user's files there too.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class DesktopRegistration {
public:
    struct File {
        // Below the data folder: "applications/ostrevan.desktop". The
        // extension chooses the stamp line's comment form (.desktop: "#",
        // .xml and .svg: "<!-- -->").
        std::filesystem::path relative;
        // The content without the stamp line; empty: nothing to register.
        std::string content;
    };
    // Runs a program (argument vector, program first) to its end; false
    // when it cannot be run or fails.
    using RunTool = std::function<bool(const std::vector<std::string>&)>;

    // data_home: the user's data folder; data_dirs: the system's, where an
    // install puts its files.
    DesktopRegistration(std::filesystem::path data_home, std::vector<std::filesystem::path> data_dirs);

    // The folders that XDG_DATA_HOME and XDG_DATA_DIRS name, with their
    // defaults (~/.local/share; /usr/local/share and /usr/share). Nullopt
    // when there is no home folder to register in.
    static std::optional<DesktopRegistration> FromEnvironment();

    // What the interactive program does at start. First RemoveStaleEntry;
    // then, when program is installed (IsInstalled) and an entry can name
    // it (ExecValue), Register of files, whose entry (the file
    // applications/ostrevan.desktop) gets the Exec line that starts
    // program. Returns the files written.
    std::vector<std::filesystem::path> RegisterProgram(const std::filesystem::path& program, std::vector<File> files,
                                                       const RunTool& run = RunQuietly) const;

    // Removes the user's own entry (applications/ostrevan.desktop, with its
    // stamp, unchanged since) when the program it starts no longer exists,
    // or an install provides an entry of that name, which it would hide.
    // The desktop's database of the folder is then refreshed. True when
    // the entry was removed.
    bool RemoveStaleEntry(const RunTool& run = RunQuietly) const;

    // The running program as the system names it (the link /proc/self/exe),
    // its bytes as they are, whatever their encoding; empty when unknown.
    static std::filesystem::path OwnProgram();
    // True when program stands where an install put it: the install's own
    // desktop entry is at DataFromProgramFolder()/applications/ostrevan.desktop
    // from the program's folder, as `cmake --install` lays it out whatever
    // the prefix. A program in its build folder has none there.
    static bool IsInstalled(const std::filesystem::path& program);
    // The data folder from the program's folder in an install ("../share").
    static std::filesystem::path DataFromProgramFolder();

    // Writes the files that need it, then refreshes the desktop's database
    // of each folder written into (update-desktop-database for
    // applications/, update-mime-database for mime/), where those tools are
    // present. Returns the files written, in order; a file that cannot be
    // written is named on standard error and left out.
    std::vector<std::filesystem::path> Register(const std::vector<File>& files, const RunTool& run = RunQuietly) const;

    // The entry with its Exec line starting program with the file to open;
    // nullopt when ExecValue has no value for program.
    static std::optional<std::string> WithExec(const std::string& entry, const std::string& program);
    // The Exec value that starts program with one file ("%f"), quoted and
    // escaped as desktop entries require. Nullopt when no entry can hold
    // the path: empty, not absolute, not UTF-8 (the encoding of every
    // desktop entry), or with a control character that a value cannot
    // escape.
    static std::optional<std::string> ExecValue(const std::string& program);
    // The program an Exec value that ExecValue made starts; empty when the
    // value is not of that form.
    static std::string ExecProgram(const std::string& exec);
    // Runs a program with its output discarded.
    static bool RunQuietly(const std::vector<std::string>& argv);

    const std::filesystem::path& data_home() const { return data_home_; }

private:
    bool ProvidedSystemWide(const std::filesystem::path& relative) const;

    std::filesystem::path data_home_;
    std::vector<std::filesystem::path> data_dirs_;
};
