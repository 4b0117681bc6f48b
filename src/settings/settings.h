#pragma once
// Settings: the process-wide settings object. It holds the simulator's
// folder, the user's alternative replay and records folders, report options,
// the unit of speed, the edge in pixels of exported bitmaps, the default
// driver profile and season mod, and the program's own folder.
//
// Stored as values under the current user's key
// Software\Ostrevan\Ostrevan\Settings (strings as strings, the rest as
// DWORDs). Setters change only the object; nothing is stored before Save.
// When "QELDirectory" is absent, the simulator's folder is taken from the
// value "Directory" of the simulator's setup key Software\Corvalis\Setup\QEL
// in the machine hive, else from the same key in the Wine prefix's
// system.reg, else it is empty. Folders are kept as stored (a Windows path
// from Wine stays one); readers map them with path_lookup::ToLocalPath.
//
// A hive file that exists but cannot be read or parsed is named in
// GetLoadProblems for the caller to report, and left as it is: the
// settings then take their defaults and, for the rest of the run, nothing
// is saved over it, even when the user mends it meanwhile.

#include <string>
#include <string_view>
#include <vector>

#include "settings/registry.h"

class Settings {
public:
    static constexpr const char* kSettingsKey = "Software\\Ostrevan\\Ostrevan\\Settings";
    static constexpr const char* kSetupKey = "Software\\Corvalis\\Setup\\QEL";

    // Defaults of absent values.
    static constexpr int kDefaultDontShowQualReport = 1;
    static constexpr int kDefaultBMPSizeInPixel = 768;
    static constexpr int kDefaultPlayerIndex = -1;  // no driver profile chosen

    // The process-wide object, created and loaded on the first call and
    // destroyed at exit. Never fails: unreadable values take their defaults.
    static Settings& Instance();

    // An object holding the defaults; Load fills it from the store.
    Settings();
    virtual ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // Creates the settings key when it is absent, then reads every value;
    // absent or unreadable ones take their defaults. A key that cannot be
    // created because the file stays locked (one bounded wait) or cannot be
    // written is named in GetLoadProblems.
    void Load();
    // What the last Load could not read, as messages for the user (a
    // settings file that does not parse is left as it is); empty when all
    // was well. The caller shows them through its seam.
    const std::vector<std::string>& GetLoadProblems() const { return load_problems_; }
    // Writes the values that changed since Load or the last Save as one
    // change (CRegistry::Batch): all of them are stored, or none is. A run
    // that changed nothing writes nothing. False when they could not be
    // stored (the caller reports it with SaveFailureMessage); the next Save
    // tries them again. A read-only settings file, or one that could not be
    // read at start, is kept. Values that other runs store meanwhile stand
    // beside ours; a run that keeps the file locked for longer than one
    // wait makes the save fail.
    bool Save();
    // "The settings could not be saved: none of the changes were stored.",
    // and why when the file is the reason.
    std::string SaveFailureMessage() const;
    // headline, and on the next lines why the settings file could not be
    // written, for a CRegistry error; the headline alone when the file is
    // not the reason. For every writer of the settings file.
    static std::string WriteFailureMessage(std::string_view headline, long error);

    const std::string& GetQELDirectory() const { return qel_directory_; }
    void SetQELDirectory(std::string_view folder) { qel_directory_ = folder; }
    const std::string& GetAltRpyPath() const { return alt_rpy_path_; }
    void SetAltRpyPath(std::string_view folder) { alt_rpy_path_ = folder; }
    const std::string& GetRecordsPath() const { return records_path_; }
    void SetRecordsPath(std::string_view folder) { records_path_ = folder; }

    // 1 shows speeds in mph (factor 0.621) instead of km/h.
    int GetUseMPH() const { return use_mph_; }
    void SetUseMPH(int value) { use_mph_ = value; }
    // 1: the lap-quality report is not shown when a lap is loaded.
    int GetDontShowQualReport() const { return dont_show_qual_report_; }
    void SetDontShowQualReport(int value) { dont_show_qual_report_ = value; }
    int GetRetireInRaceReport() const { return retire_in_race_report_; }
    void SetRetireInRaceReport(int value) { retire_in_race_report_ = value; }
    int GetOffTheTrackInRaceReport() const { return off_the_track_in_race_report_; }
    void SetOffTheTrackInRaceReport(int value) { off_the_track_in_race_report_ = value; }
    // Edge in pixels of exported bitmaps.
    int GetBMPSizeInPixel() const { return bmp_size_in_pixel_; }
    void SetBMPSizeInPixel(int value) { bmp_size_in_pixel_ = value; }
    // Driver profile index; -1 for none.
    int GetDefaultPlayerIndex() const { return default_player_index_; }
    void SetDefaultPlayerIndex(int value) { default_player_index_ = value; }
    // Index into the mod list of the name tables.
    int GetDefaultModIndex() const { return default_mod_index_; }
    void SetDefaultModIndex(int value) { default_mod_index_ = value; }
    // 1: the records and the lap finder tell of a replay they leave out
    // because its driver table cannot be read.
    int GetWarbleyeMsg() const { return warbleye_msg_; }
    void SetWarbleyeMsg(int value) { warbleye_msg_ = value; }

    // Keeps the running program's folder, taken from /proc/self/exe. Returns
    // 0 when the program's file name cannot be obtained.
    int InitProgramFolder();
    // Keeps the folder part of program_file: the text before its last '\'
    // or '/' (empty when it has none). Returns 0 for an empty name.
    int InitProgramFolder(std::string_view program_file);
    // Not stored; empty until InitProgramFolder.
    const std::string& GetProgramFolder() const { return program_folder_; }

private:
    // The stored values, in the order Save writes them.
    struct StoredValues {
        std::string qel_directory;
        int dont_show_qual_report = kDefaultDontShowQualReport;
        int retire_in_race_report = 0;
        int off_the_track_in_race_report = 0;
        int bmp_size_in_pixel = kDefaultBMPSizeInPixel;
        int use_mph = 0;
        std::string alt_rpy_path;
        std::string records_path;
        int default_player_index = kDefaultPlayerIndex;
        int default_mod_index = 0;
        int warbleye_msg = 0;
        bool operator==(const StoredValues&) const = default;
    };
    StoredValues Values() const;

    int use_mph_ = 0;
    int dont_show_qual_report_ = kDefaultDontShowQualReport;
    int retire_in_race_report_ = 0;
    int off_the_track_in_race_report_ = 0;
    int bmp_size_in_pixel_ = kDefaultBMPSizeInPixel;
    int default_player_index_ = kDefaultPlayerIndex;
    int default_mod_index_ = 0;
    int warbleye_msg_ = 0;
    std::string qel_directory_;
    std::string alt_rpy_path_;
    std::string records_path_;
    std::string program_folder_;
    std::vector<std::string> load_problems_;
    StoredValues stored_;  // as the store holds them, as far as this run knows
    long save_error_ = CRegistry::kErrorSuccess;
    CRegistry registry_{RegistryHive::kCurrentUser};
};
