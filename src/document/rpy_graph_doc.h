#pragma once
// The program's one document: up to five replay laps in fixed slots, the
// track they all share, the painter of the telemetry pass, the colour table
// and copies of the settings that views, graphs and reports read.
//
// The used slots are always slots 0 to loaded count - 1: an add fills the
// lowest free slot and frees it again when it fails. Slot i is drawn in
// colour-table entry i.
//
// The document knows no window. Whatever would block (messages, the file
// chooser, the wait cursor, the progress box, sounds) goes through the
// Interaction it is given; the lap-choice dialog through a LapChooser; views
// register as DocumentObserver and are told of every change.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/lap_choice.h"
#include "track/fitted_display.h"

class Drivers;
class GetRpyInfo;
class Header;
class Interaction;
class Settings;
class Track;
class TrackPathTracer;

// One loaded lap: the replay's header and driver table, the lap's
// telemetry and the tracer that draws its driving line.
struct LapSlot {
    LapSlot();
    ~LapSlot();
    LapSlot(LapSlot&&) noexcept;
    LapSlot& operator=(LapSlot&&) noexcept;

    bool used = false;
    std::unique_ptr<Header> header;
    std::unique_ptr<Drivers> drivers;
    std::unique_ptr<GetRpyInfo> telemetry;  // set once the add has finished
    std::unique_ptr<TrackPathTracer> tracer;
    int driver = 0;   // index in the driver table
    int session = 0;  // 0 practice, 1 race
    int lap = 0;      // 1 = first lap; the entry of the session's lap table
};


// The lap-choice dialog as the document sees it.
class LapChooser {
public:
    virtual ~LapChooser();
    // Shows the replay's drivers and laps and returns the chosen lap, or
    // nullopt when the user cancels.
    virtual std::optional<LapChoice> ChooseLap(const Header& header, Drivers& drivers) = 0;
};

class CRpyGraphDoc;

class DocumentObserver {
public:
    enum class Change {
        kCleared,    // every lap and the track are gone (a race playback must end)
        kLapRows,    // a lap was added, moved or removed: lists of laps rebuild
        kTrack,      // a track was loaded or dropped: the map refits and redraws
        kPathAdded,  // a replay was opened: its path goes on the recent-file list
    };
    virtual ~DocumentObserver();
    virtual void OnDocumentChanged(CRpyGraphDoc& doc, Change change) = 0;
};


class CRpyGraphDoc {
public:
    static constexpr int kCapacity = 5;
    static constexpr int kColourCount = 42;
    static constexpr const char* kNoLapTitle = "No lap selected";
    // The virtual canvas of the telemetry pass, and its margins.
    static constexpr uint32_t kTelemetryCanvas = 10000000;
    static constexpr uint32_t kTelemetryMargin = 50;

    // Reads the settings (LoadSettings). open_settings_dialog runs the
    // settings dialog modally with the document; unattended modes pass
    // none, so no dialog ever opens there.
    CRpyGraphDoc(Settings& settings, Interaction& ui, std::function<void(CRpyGraphDoc&)> open_settings_dialog = {});
    // Writes the default player and mod index into the settings and saves
    // them; a failed save is reported.
    virtual ~CRpyGraphDoc();
    CRpyGraphDoc(const CRpyGraphDoc&) = delete;
    CRpyGraphDoc& operator=(const CRpyGraphDoc&) = delete;

    void SetLapChooser(LapChooser* chooser) { lap_chooser_ = chooser; }
    void AddObserver(DocumentObserver* observer);
    void RemoveObserver(DocumentObserver* observer);
    void UpdateAllViews(DocumentObserver::Change change);

    // File > Clear all replay laps: no lap, no track, title "No lap selected".
    bool OnNewDocument();
    // File > Add replay lap: asks for a replay, a lap of it, and loads the
    // lap into the lowest free slot. True when a lap was added; on failure
    // the document is exactly as it was before and the reason was shown.
    bool OnAddReplayLap();
    // Adds a lap of the replay at path, asking only for the lap (File > Open,
    // recent files, dropped files). True when a lap was added.
    bool OnOpenDocument(const std::string& path);
    // Adds the given lap without asking (-loadrpy, the lap finder).
    bool AddLapFromCommandLine(const std::string& path, int session, int driver, int lap);
    // File > Open most recently added replay file: the replay in the
    // simulator's replay folder with the latest creation time (the first in
    // name order wins a tie). False when there is none or its add failed.
    bool OpenMostRecentReplay();

    // Copies the settings into the document and checks the simulator
    // folder; without qel.exe there, says so and opens the settings dialog.
    void LoadSettings();
    // File > Save replay lap, Merge all laps to one replay file and Save
    // telemetry to text file (rpy_graph_doc_files.cpp). The save-lap
    // chooser gets one caption per loaded lap and returns the chosen slot or
    // -1; the merge parameters dialog returns the start advantages (ms) of
    // laps 1 to 5, or nullopt when cancelled. Without them nothing is chosen.
    using SaveLapChooser = std::function<int(const std::vector<std::string>& captions)>;
    using MergeParametersDialog = std::function<std::optional<std::array<uint32_t, kCapacity>>(CRpyGraphDoc&)>;
    void SetSaveLapChooser(SaveLapChooser chooser) { save_lap_chooser_ = std::move(chooser); }
    void SetMergeParametersDialog(MergeParametersDialog dialog) { merge_parameters_dialog_ = std::move(dialog); }
    int ChooseLapToSave();
    void OnSaveReplayLap();
    // Writes the slot's lap as a one-lap replay at destination, replacing
    // it whole or not at all. 0 on success, 1 on any failure.
    int WriteLapReplay(int slot, const std::string& destination);
    void OnMergeAllLaps();
    void OnSaveTelemetryText();

    // Copies the edited settings into the document (the settings dialog):
    // the folders, the unit, the report options and the bitmap size.
    void ApplySettings();

    // File > Move/Remove loaded replay laps: order[r] is the slot whose lap
    // goes into slot r; laps of slots not named are released. The colours
    // and driving-line tracers stay with the slot positions. No lap left
    // clears the document as OnNewDocument does; otherwise the track stays.
    // False, with nothing changed, when order names a slot that is not
    // loaded or names one twice.
    bool ArrangeLaps(const std::vector<int>& order);
    // Derives map positions, heading, speed, slip angles, accelerations,
    // locked wheels and split times of a slot's trimmed lap (track loaded).
    void ComputeDerivedChannels(int slot);

    // "1m 23.456s" from the low 24 bits (milliseconds) of a lap-time word.
    static std::string FormatLapTime(uint32_t lap_time);
    // Name lookups of the name tables, kept here for the dialogs that show
    // them beside a lap.
    static std::string GetCarName(int season_code, int car_index);
    static std::string GetModYearText(int season_code);

    // Slots and laps.
    const LapSlot& GetSlot(int i) const { return slots_.at(static_cast<size_t>(i)); }
    LapSlot& GetSlot(int i) { return slots_.at(static_cast<size_t>(i)); }
    int GetLoadedCount() const { return loaded_count_; }
    int GetCapacity() const { return kCapacity; }

    const std::string& GetTitle() const { return title_; }
    const std::string& GetPathName() const { return path_name_; }

    // The track of the loaded laps, or null.
    Track* GetTrack() const { return track_.get(); }
    bool IsTrackLoaded() const { return track_loaded_; }
    // The report site borrows the track slot of a document that holds no
    // lap (the -reportsite mode, the report site listener): puts the track
    // (as Track::Load makes it) in and tells the views, or with nullptr
    // drops it. False, with nothing changed, while a lap is loaded.
    bool LendTrackSlot(std::unique_ptr<Track> track);
    bool IsPainterFitted() const { return painter_fitted_; }
    void SetPainterFitted(bool fitted) { painter_fitted_ = fitted; }
    // Set by the track-map view when its map must be rebuilt.
    bool redraw = false;
    // Pixels per metre of the telemetry pass's fit.
    double GetTelemetryScale() const { return telemetry_scale_; }

    // The colour table (COLORREF, 0x00BBGGRR); entries 0 to 4 are the laps'.
    const std::array<uint32_t, kColourCount>& GetColours() const { return colours_; }
    static const std::array<uint32_t, kColourCount>& DefaultColours();

    // Copies of the settings.
    const std::string& GetQELDirectory() const { return qel_directory_; }
    const std::string& GetAltRpyPath() const { return alt_rpy_path_; }
    // The simulator's replay folder on this machine (the stored folder may
    // be a Windows path), or nullopt when there is none.
    std::optional<std::filesystem::path> GetReplayFolder() const;
    int GetUseMPH() const { return use_mph_; }
    int GetDontShowQualReport() const { return dont_show_qual_report_; }
    int GetRetireInRaceReport() const { return retire_in_race_report_; }
    int GetOffTheTrackInRaceReport() const { return off_the_track_in_race_report_; }
    int GetBMPSizeInPixel() const { return bmp_size_in_pixel_; }
    void SetBMPSizeInPixel(int pixels) { bmp_size_in_pixel_ = pixels; }
    int default_player_index = -1;
    int default_mod_index = 0;

    Settings& GetSettings() const { return settings_; }
    Interaction& GetInteraction() const { return ui_; }

private:
    enum class Ask { kFileAndLap, kLap, kNothing };
    bool AddLap(Ask ask, const std::string& preset_path, const LapChoice& preset);
    void ReleaseSlot(int slot);
    void DropTrack();
    void ShowQualityReport(const GetRpyInfo& lap, const Drivers& drivers, const LapChoice& choice);
    void CheckLapTime(const GetRpyInfo& lap, const Drivers& drivers, const LapChoice& choice);

    Settings& settings_;
    Interaction& ui_;
    std::function<void(CRpyGraphDoc&)> open_settings_dialog_;
    LapChooser* lap_chooser_ = nullptr;
    SaveLapChooser save_lap_chooser_;
    MergeParametersDialog merge_parameters_dialog_;
    std::vector<DocumentObserver*> observers_;

    std::array<LapSlot, kCapacity> slots_;
    int loaded_count_ = 0;
    std::string title_ = kNoLapTitle;
    std::string path_name_;
    std::unique_ptr<Track> track_;
    bool track_loaded_ = false;
    bool painter_fitted_ = false;
    FittedDisplay painter_;
    double telemetry_scale_ = 0.0;
    std::array<uint32_t, kColourCount> colours_;

    std::string qel_directory_;
    std::string alt_rpy_path_;
    int use_mph_ = 0;
    int dont_show_qual_report_ = 0;
    int retire_in_race_report_ = 0;
    int off_the_track_in_race_report_ = 0;
    int bmp_size_in_pixel_ = 0;
};
