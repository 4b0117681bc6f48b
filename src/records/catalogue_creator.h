#pragma once
// What the "Replay CD Database Creator" does, without its window: lists the
// removable and optical drives, and writes the catalogue of the medium in
// one of them (every replay below its root, as path, header record and
// driver-table record) into the simulator's replay\ZAVRO_CDDB folder.
// Messages and questions go through the seam; the catalogue's name is asked
// through a function the window supplies (the "Enter database filename"
// box), progress is reported through another.
//
// A catalogue is written whole to a temporary file and renamed over the
// target only when every byte is on disk, so an existing catalogue is
// replaced only by a complete one, and one the user chose not to overwrite
// is never touched. Every record written is one the reader takes back: the
// label is cut to the reader's 199 characters, and a replay whose path on
// the medium is longer is left out with a message.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class AtomicFile;
class Interaction;
class MediaDrives;

class CatalogueCreator {
public:
    // The text of the information box.
    static const char* const kInformationText;
    static constexpr const char* kNoDrives = "No CD-roms found";
    static constexpr const char* kNoDisk = "[No Disk in Drive]";

    struct DriveEntry {
        std::string text;   // what the drive list shows: the root, a blank, the label or "[No Disk in Drive]"
        std::string root;   // the medium's root (the list item's data); empty for "No CD-roms found"
        std::string label;  // volume name + " [" + file system + "]"; empty without a medium
        bool has_medium = false;
    };

    // Returns the entered name, or nullopt when the user cancels.
    using AskName = std::function<std::optional<std::string>(const std::string& proposal)>;
    // Called with (position, maximum) as the replays are read.
    using Progress = std::function<void(int position, int maximum)>;

    // media and ui are borrowed for the object's life; simulator_folder is
    // the stored simulator folder (a Windows path is mapped through Wine).
    CatalogueCreator(const MediaDrives& media, Interaction& ui, std::string simulator_folder);

    // Fills Drives() with every removable or optical drive; "No CD-roms
    // found" alone when there is none. True when at least one holds a
    // medium, which is when "Create Database!" may be used.
    bool ScanDrives();
    const std::vector<DriveEntry>& Drives() const { return drives_; }

    // Writes the catalogue of the medium at root (a root of Drives() that
    // holds a medium; any other does nothing and returns false). Asks for
    // the name until it is acceptable and, for an existing catalogue,
    // whether to overwrite it. True when a catalogue was written.
    bool CreateDatabase(const std::string& root, const AskName& ask_name, const Progress& progress);

    // The replays below root, sub-folders included; their number.
    int CountReplayFiles(const std::string& root);
    // True when the catalogue folder exists or was made (after telling the
    // user it will be).
    bool EnsureDatabaseFolder();

    // The catalogue folder (nullopt for a simulator folder on a missing
    // Windows drive) and the file of the last catalogue written.
    std::optional<std::filesystem::path> DatabaseFolder() const;
    const std::filesystem::path& LastWritten() const { return last_written_; }

private:
    // Appends the records of the listed replays (at most count of them),
    // telling the user about each one left out; returns how many were added.
    int WriteReplayRecords(AtomicFile& out, int count, const std::string& root, const Progress& progress);
    std::optional<std::filesystem::path> ChooseTarget(const std::filesystem::path& folder, const std::string& label,
                                                      const AskName& ask_name);

    const MediaDrives& media_;
    Interaction& ui_;
    std::string simulator_folder_;
    std::vector<DriveEntry> drives_;
    std::vector<std::filesystem::path> replays_;
    std::filesystem::path last_written_;
};
