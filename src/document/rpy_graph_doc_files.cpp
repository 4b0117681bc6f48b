// The document's file commands: a lap saved as a one-lap replay, the loaded
// laps merged into one replay, and a lap's telemetry as text.

#include <sys/stat.h>

#include <fcntl.h>

#include <filesystem>
#include <system_error>

#include "document/lap_file_names.h"
#include "document/lap_replay_writer.h"
#include "document/merged_replay_writer.h"
#include "document/rpy_graph_doc.h"
#include "document/telemetry_text.h"
#include "interaction/interaction.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "replay/header.h"
#include "settings/atomic_file.h"
#include "settings/path_lookup.h"

namespace {

constexpr const char* kNoLap = "No replay file loaded!";
constexpr const char* kSaveFailed = "Error while saving replay file!";

// The proposed path of a replay written into the simulator's replay folder.
std::string InReplayFolder(const std::string& qel_directory, const std::string& name) {
    const auto folder = path_lookup::Find(qel_directory, "replay");
    if (!folder) return name;
    return (*folder / name).string();
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a == b) return true;
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

// Gives destination the last-write time of source; the access time stays
// the destination's. The file system keeps no settable creation time.
bool CopyWriteTime(const std::string& source, const std::string& destination) {
    struct stat st {};
    if (::stat(source.c_str(), &st) != 0) return false;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1] = st.st_mtim;
    return ::utimensat(AT_FDCWD, destination.c_str(), times, 0) == 0;
}

}  // namespace

int CRpyGraphDoc::ChooseLapToSave() {
    if (loaded_count_ == 0) {
        ui_.ShowMessage(kNoLap);
        return -1;
    }
    if (loaded_count_ == 1) return 0;
    std::vector<std::string> captions;
    for (int i = 0; i < loaded_count_; ++i) {
        const LapSlot& slot = slots_[static_cast<size_t>(i)];
        const auto d = static_cast<size_t>(slot.driver);
        captions.push_back(slot.drivers->first_names[d] + " " + slot.drivers->last_names[d] + " " +
                           FormatLapTime(lap_file_names::StoredLapWord(slot)));
    }
    if (!save_lap_chooser_) return -1;
    const int chosen = save_lap_chooser_(captions);
    return chosen >= 0 && chosen < loaded_count_ ? chosen : -1;
}

int CRpyGraphDoc::WriteLapReplay(int index, const std::string& destination) {
    if (index < 0 || index >= loaded_count_) return 1;
    const LapSlot& slot = slots_[static_cast<size_t>(index)];
    if (!slot.header || !slot.drivers || !slot.telemetry) return 1;
    std::string bytes;
    if (!lap_replay_writer::Build(slot.header->path, *slot.drivers, *slot.telemetry, bytes)) return 1;
    return atomic_file::Write(destination, bytes) ? 0 : 1;
}

void CRpyGraphDoc::OnSaveReplayLap() {
    const int index = ChooseLapToSave();
    if (index < 0) return;
    const LapSlot& slot = slots_[static_cast<size_t>(index)];
    const std::string proposed = InReplayFolder(qel_directory_, lap_file_names::DefaultLapFileName(slot, ".rpy"));
    const auto chosen = ui_.ChooseSaveFile("Save replay lap", proposed, {{"Replay files", "*.rpy"}, {"All Files", "*.*"}});
    if (!chosen) {
        LoadSettings();
        return;
    }
    const std::string destination = lap_file_names::WithExtension(*chosen, ".rpy");
    const std::string source = slot.header->path;
    // The write replaces the destination: written over its own source it
    // would leave the user with the lap in place of the whole replay.
    if (SameFile(destination, source)) {
        ui_.ShowMessage("Source and destination file cannot be the same file");
    } else if (WriteLapReplay(index, destination) != 0) {
        ui_.ShowMessage(kSaveFailed);
    } else if (ui_.AskYesNo("Use original replay's filedate for extracted replay?")) {
        CopyWriteTime(source, destination);
    }
    LoadSettings();
}

void CRpyGraphDoc::OnMergeAllLaps() {
    if (loaded_count_ == 0) {
        ui_.ShowMessage(kNoLap);
        return;
    }
    std::array<uint32_t, kCapacity> offsets{};
    if (loaded_count_ == 1) {
        ui_.ShowMessage("Only 1 lap loaded, will extract that to a new replay file.", Interaction::Icon::Information);
    } else {
        if (!merge_parameters_dialog_) return;
        const auto chosen = merge_parameters_dialog_(*this);
        if (!chosen) return;
        offsets = *chosen;
    }
    const std::string name = lap_file_names::SafeFileName(slots_[0].header->track_folder + "_ZAVRO_merged.rpy");
    const auto chosen = ui_.ChooseSaveFile("Merge all laps to one replay file", InReplayFolder(qel_directory_, name),
                                           {{"Replay files", "*.rpy"}, {"All Files", "*.*"}});
    if (!chosen) return;
    const std::string destination = lap_file_names::WithExtension(*chosen, ".rpy");
    std::vector<const LapSlot*> laps;
    for (int i = 0; i < loaded_count_; ++i) laps.push_back(&slots_[static_cast<size_t>(i)]);
    std::string bytes;
    if (!merged_replay_writer::Build(laps, offsets, bytes) || !atomic_file::Write(destination, bytes))
        ui_.ShowMessage(kSaveFailed);
}

void CRpyGraphDoc::OnSaveTelemetryText() {
    const int index = ChooseLapToSave();
    if (index < 0) return;
    const LapSlot& slot = slots_[static_cast<size_t>(index)];
    const auto chosen = ui_.ChooseSaveFile("Save telemetry to text file",
                                           lap_file_names::DefaultLapFileName(slot, ".txt"),
                                           {{"Text files", "*.txt"}, {"All Files", "*.*"}});
    if (!chosen) {
        LoadSettings();
        return;
    }
    const std::string destination = lap_file_names::WithExtension(*chosen, ".txt");
    if (!atomic_file::Write(destination, telemetry_text::Build(slot))) ui_.ShowMessage("Error creating file!");
}
