#pragma once
// The program's command line. A mode runs only when there are more than two
// arguments, program name included; argument 1 is the mode word, compared
// exactly and with case. Every later argument except "-mech" carries a
// two-character prefix of any characters, dropped before use; numbers are
// read from the leading decimal digits of what remains (no digit gives 0,
// a sign is never read).

#include <string>
#include <vector>

class CRpyGraphDoc;

struct CommandLine {
    enum class Mode { kNone, kLoadRpy, kExpReports, kReportSite };

    struct Lap {
        std::string path;
        int session = 0;  // 0 practice, 1 race
        int driver = 0;
        int lap = 0;      // 1 = first lap
    };

    Mode mode = Mode::kNone;
    // -loadrpy: the laps to add, at most as many groups as were given.
    std::vector<Lap> laps;
    // -expreports and -reportsite: the replay.
    std::string replay_path;
    // -expreports: put before the replay's file name in each report file
    // name; mech: "-mech" was exactly the fourth argument.
    std::string output_prefix;
    bool mech = false;
    // -reportsite: the output folder; empty when not given.
    std::string folder;
    // No mode: a replay to open at start (the file manager's "open with"
    // hands one path, as it is). Empty without one; a lone argument
    // beginning with "-" is a switch, not a file.
    std::string open_path;
};

// args[0] is the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// "-expreports" or "-reportsite" with nothing after it runs no mode and
// starts the window. Where no window can be shown that would wait for
// ever: this says what is missing (the caller prints it and fails), and
// is empty for any other command line or when display is true.
std::string MissingModeArguments(const std::vector<std::string>& args, bool display);
// Whether a window can be shown, from the environment's values (null when
// unset): Qt's platform, the X display and the Wayland display.
bool DisplayAvailable(const char* qt_platform, const char* x_display, const char* wayland_display);

// An argument without its two-character prefix (empty when shorter).
std::string DropPrefix(const std::string& arg);
// The number in an argument: the leading digits after the prefix.
int ArgumentNumber(const std::string& arg);

// -loadrpy: adds every lap the command line names to the document, in
// order; a lap that fails says why and does not stop the ones after it.
// The number added.
int AddLapsFromCommandLine(CRpyGraphDoc& doc, const CommandLine& command);
