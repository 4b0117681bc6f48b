#pragma once
// The replay a one-replay report works on: the replay of a loaded lap (the
// only one, or the one the user picks among several), else, when the user
// agrees, a replay file read for the report alone. A replay of a loaded
// lap is borrowed from the document; a file read here is owned by this
// object and freed with it. Every refusal is shown through the seam and
// leaves the document untouched.

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CRpyGraphDoc;
class Drivers;
class Header;
class Interaction;

class ReportReplay {
public:
    // The one-lap chooser: one caption per loaded lap in slot order; the
    // chosen caption's index, or -1 when the user cancels.
    using Chooser = std::function<int(const std::vector<std::string>& captions)>;

    ReportReplay();
    ~ReportReplay();
    ReportReplay(const ReportReplay&) = delete;
    ReportReplay& operator=(const ReportReplay&) = delete;

    // The slot a one-lap feature uses: with no lap loaded says "No replay
    // lap loaded!" and gives -1; with one lap its slot; with several the
    // chooser's answer.
    static int ChooseReportLap(const CRpyGraphDoc& doc, Interaction& ui, const Chooser& chooser);
    // The chooser's caption of a slot: the replay's file name without
    // folder and extension in double quotes, " - " and the player's names.
    static std::string Caption(const CRpyGraphDoc& doc, int slot);

    // Finds the replay (a loaded lap, else an offered file). With need_race
    // a replay without race data is refused ("This replay file does not
    // contain race info!"). True when header() and drivers() are set.
    bool Choose(const CRpyGraphDoc& doc, Interaction& ui, const Chooser& chooser, bool need_race);

    const Header* header() const { return header_; }
    const Drivers* drivers() const { return drivers_; }

private:
    std::unique_ptr<Header> own_header_;
    std::unique_ptr<Drivers> own_drivers_;
    const Header* header_ = nullptr;
    const Drivers* drivers_ = nullptr;
};
