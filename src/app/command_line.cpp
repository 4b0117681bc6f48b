#include "app/command_line.h"

#include "document/rpy_graph_doc.h"

#include <climits>
#include <string>

std::string DropPrefix(const std::string& arg) { return arg.size() < 2 ? std::string() : arg.substr(2); }

int ArgumentNumber(const std::string& arg) {
    const std::string rest = DropPrefix(arg);
    long long value = 0;
    for (char c : rest) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > INT_MAX) return INT_MAX;
    }
    return static_cast<int>(value);
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine out;
    if (args.size() == 2 && !args[1].empty() && args[1][0] != '-') out.open_path = args[1];
    if (args.size() <= 2) return out;
    const std::string& mode = args[1];
    auto arg = [&args](size_t i) { return i < args.size() ? DropPrefix(args[i]) : std::string(); };

    if (mode == "-loadrpy") {
        out.mode = CommandLine::Mode::kLoadRpy;
        const int count = ArgumentNumber(args[2]);
        // The count is not trusted: only groups that were given are read.
        for (int k = 0; k < count; ++k) {
            const size_t first = 3 + 4 * static_cast<size_t>(k);
            if (first + 3 >= args.size()) break;
            out.laps.push_back({arg(first), ArgumentNumber(args[first + 1]), ArgumentNumber(args[first + 2]),
                                ArgumentNumber(args[first + 3])});
        }
    } else if (mode == "-expreports") {
        out.mode = CommandLine::Mode::kExpReports;
        out.replay_path = arg(2);
        out.output_prefix = arg(3);
        out.mech = args.size() == 5 && args[4] == "-mech";
    } else if (mode == "-reportsite") {
        out.mode = CommandLine::Mode::kReportSite;
        out.replay_path = arg(2);
        if (args.size() > 3) out.folder = arg(3);
    }
    return out;
}

std::string MissingModeArguments(const std::vector<std::string>& args, bool display) {
    if (display || args.size() != 2) return {};
    if (args[1] == "-expreports")
        return "-expreports needs a replay: ostrevan -expreports xxREPLAY.rpy xxOUTPUT-PREFIX [-mech]";
    if (args[1] == "-reportsite") return "-reportsite needs a replay: ostrevan -reportsite xxREPLAY.rpy [xxFOLDER]";
    return {};
}

bool DisplayAvailable(const char* qt_platform, const char* x_display, const char* wayland_display) {
    auto set = [](const char* v) { return v && *v; };
    const std::string platform = set(qt_platform) ? qt_platform : "";
    // Qt's platform name may carry options after a colon.
    const std::string name = platform.substr(0, platform.find(':'));
    if (name == "offscreen" || name == "minimal") return false;
    if (name == "xcb") return set(x_display);
    if (name.rfind("wayland", 0) == 0) return set(wayland_display);
    if (!name.empty()) return true;  // a platform of its own (a frame buffer, VNC...)
    return set(x_display) || set(wayland_display);
}

int AddLapsFromCommandLine(CRpyGraphDoc& doc, const CommandLine& command) {
    int added = 0;
    for (const CommandLine::Lap& lap : command.laps)
        added += doc.AddLapFromCommandLine(lap.path, lap.session, lap.driver, lap.lap) ? 1 : 0;
    return added;
}
