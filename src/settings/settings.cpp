#include "settings/settings.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "settings/path_lookup.h"

namespace {

// Value names as the registry holds them; earlier versions of the program
// wrote the same names, so stored settings carry over.
constexpr const char* kNameQELDirectory = "QELDirectory";
constexpr const char* kNameDontShowQualReport = "DontShowQualReport";
constexpr const char* kNameRetireInRaceReport = "RetireInRaceReport";
constexpr const char* kNameOffTheTrackInRaceReport = "OffTheTrackInRaceReport";
constexpr const char* kNameBMPSizeInPixel = "BMPSizeInPixel";
constexpr const char* kNameMPH = "MPH";
constexpr const char* kNameAltRpyPath = "AltRpyPath";
constexpr const char* kNameRecordsPath = "RecordsPath";
constexpr const char* kNameDefaultPlayerIndex = "DefaultPlayerIndex";
constexpr const char* kNameDefaultModIndex = "DefaultModIndex";
constexpr const char* kNameWarbleyeMsg = "WarbleyeMsg";
constexpr const char* kNameSetupDirectory = "Directory";

int ReadInt(CRegistry& reg, const char* name, int fallback) {
    uint32_t v = 0;
    // DWORDs are unsigned; -1 (no default driver) is stored as 0xFFFFFFFF.
    return reg.ReadDword(name, v) ? static_cast<int>(v) : fallback;
}

std::string ReadText(CRegistry& reg, const char* name) {
    std::string text;
    return reg.ReadString(name, text) ? text : std::string();
}

// A hive file that exists but cannot be read or parsed is left as it is;
// the user is told, since the program then runs on defaults.
void NoteUnreadableHive(const CRegistry& reg, RegistryHive hive, std::vector<std::string>& problems) {
    if (reg.LastError() != CRegistry::kErrorBadDatabase && reg.LastError() != CRegistry::kErrorAccessDenied) return;
    problems.push_back("The settings file cannot be read:\r\n" + RegistryStore::FileOf(hive).string() +
                       "\r\nOstrevan uses default settings and leaves the file as it is.");
}

// The simulator's setup key in the Wine prefix it is installed in. A 32-bit
// installer in a 64-bit prefix writes the key under Wow6432Node.
std::optional<std::string> WineSetupDirectory() {
    const std::filesystem::path prefix = path_lookup::WinePrefix();
    if (prefix.empty()) return std::nullopt;
    RegistryStore wine(RegistryHive::kLocalMachine);
    if (wine.LoadWine(prefix / "system.reg") != RegistryStore::LoadResult::kLoaded) return std::nullopt;
    for (const char* key : {Settings::kSetupKey, "Software\\Wow6432Node\\Corvalis\\Setup\\QEL"}) {
        if (!wine.KeyExists(key)) continue;
        const RegistryStore::Value* v = wine.FindValue(key, kNameSetupDirectory);
        if (!v || (v->type != RegistryStore::kTypeString && v->type != RegistryStore::kTypeExpandString))
            return std::string();
        return v->data.substr(0, v->data.find('\0'));
    }
    return std::nullopt;
}

}  // namespace

Settings& Settings::Instance() {
    static Settings settings;
    static const bool loaded = (settings.Load(), true);
    (void)loaded;
    return settings;
}

Settings::Settings() = default;
Settings::~Settings() = default;

void Settings::Load() {
    load_problems_.clear();
    if (!registry_.KeyExists(RegistryHive::kCurrentUser, kSettingsKey) &&
        !registry_.CreateKey(RegistryHive::kCurrentUser, kSettingsKey, CRegistry::kOptionNonVolatile)) {
        // The program starts on defaults all the same; what the user sets
        // this run may not be kept, so they are told now. A read-only file
        // (or a run that writes nothing) is meant to stay as it is.
        const long error = registry_.LastError();
        if (error == CRegistry::kErrorLockViolation || error == CRegistry::kErrorWriteFault)
            load_problems_.push_back(WriteFailureMessage("The settings could not be written.", error));
    }
    registry_.Open(RegistryHive::kCurrentUser, kSettingsKey);
    NoteUnreadableHive(registry_, RegistryHive::kCurrentUser, load_problems_);

    dont_show_qual_report_ = ReadInt(registry_, kNameDontShowQualReport, kDefaultDontShowQualReport);
    retire_in_race_report_ = ReadInt(registry_, kNameRetireInRaceReport, 0);
    off_the_track_in_race_report_ = ReadInt(registry_, kNameOffTheTrackInRaceReport, 0);
    bmp_size_in_pixel_ = ReadInt(registry_, kNameBMPSizeInPixel, kDefaultBMPSizeInPixel);
    use_mph_ = ReadInt(registry_, kNameMPH, 0);
    default_player_index_ = ReadInt(registry_, kNameDefaultPlayerIndex, kDefaultPlayerIndex);
    default_mod_index_ = ReadInt(registry_, kNameDefaultModIndex, 0);
    warbleye_msg_ = ReadInt(registry_, kNameWarbleyeMsg, 0);

    alt_rpy_path_ = ReadText(registry_, kNameAltRpyPath);
    records_path_ = ReadText(registry_, kNameRecordsPath);

    // Until the user picks a folder, the simulator's own setup tells where
    // it is installed: our machine hive first, then the Wine prefix.
    if (!registry_.ReadString(kNameQELDirectory, qel_directory_)) {
        qel_directory_.clear();
        CRegistry setup(RegistryHive::kLocalMachine);
        if (setup.KeyExists(RegistryHive::kLocalMachine, kSetupKey)) {
            setup.Open(RegistryHive::kLocalMachine, kSetupKey);
            qel_directory_ = ReadText(setup, kNameSetupDirectory);
            setup.Close();
        } else {
            NoteUnreadableHive(setup, RegistryHive::kLocalMachine, load_problems_);
            qel_directory_ = WineSetupDirectory().value_or(std::string());
        }
    }
    registry_.Close();
    stored_ = Values();
}

Settings::StoredValues Settings::Values() const {
    return {qel_directory_, dont_show_qual_report_, retire_in_race_report_, off_the_track_in_race_report_,
            bmp_size_in_pixel_, use_mph_, alt_rpy_path_, records_path_, default_player_index_,
            default_mod_index_, warbleye_msg_};
}

bool Settings::Save() {
    save_error_ = CRegistry::kErrorSuccess;
    const StoredValues now = Values();
    // Only what changed since the settings were read is written: a run
    // that changes nothing leaves the file alone, and values another
    // program stored meanwhile are kept. The changed values are one
    // change: one wait for a busy file, and all of them stored or none.
    if (now == stored_) return true;
    CRegistry::Batch batch(RegistryHive::kCurrentUser, kSettingsKey);
    auto text = [&](const char* name, const std::string& value, const std::string& stored) {
        if (value != stored) batch.WriteString(name, value);
    };
    auto number = [&](const char* name, int value, int stored) {
        if (value != stored) batch.WriteDword(name, static_cast<uint32_t>(value));
    };
    text(kNameQELDirectory, now.qel_directory, stored_.qel_directory);
    number(kNameDontShowQualReport, now.dont_show_qual_report, stored_.dont_show_qual_report);
    number(kNameRetireInRaceReport, now.retire_in_race_report, stored_.retire_in_race_report);
    number(kNameOffTheTrackInRaceReport, now.off_the_track_in_race_report, stored_.off_the_track_in_race_report);
    number(kNameBMPSizeInPixel, now.bmp_size_in_pixel, stored_.bmp_size_in_pixel);
    number(kNameMPH, now.use_mph, stored_.use_mph);
    text(kNameAltRpyPath, now.alt_rpy_path, stored_.alt_rpy_path);
    text(kNameRecordsPath, now.records_path, stored_.records_path);
    number(kNameDefaultPlayerIndex, now.default_player_index, stored_.default_player_index);
    number(kNameDefaultModIndex, now.default_mod_index, stored_.default_mod_index);
    number(kNameWarbleyeMsg, now.warbleye_msg, stored_.warbleye_msg);
    if (!batch.Commit()) {
        save_error_ = batch.LastError();
        return false;
    }
    stored_ = now;
    return true;
}

std::string Settings::SaveFailureMessage() const {
    return WriteFailureMessage("The settings could not be saved: none of the changes were stored.", save_error_);
}

std::string Settings::WriteFailureMessage(std::string_view headline, long error) {
    const std::string file = RegistryStore::FileOf(RegistryHive::kCurrentUser).string();
    std::string text(headline);
    switch (error) {
    case CRegistry::kErrorWriteProtect:
        text += "\r\nThe settings file is read-only:\r\n" + file + "\r\nOstrevan leaves it as it is.";
        break;
    case CRegistry::kErrorLockViolation:
        text += "\r\nAnother program kept the settings file locked for too long:\r\n" + file;
        break;
    case CRegistry::kErrorUnreadAtStart:
    case CRegistry::kErrorBadDatabase:
    case CRegistry::kErrorAccessDenied:
        text += "\r\nThe settings file could not be read when Ostrevan started:\r\n" + file +
                "\r\nOstrevan leaves it as it is until it is started again.";
        break;
    case CRegistry::kErrorWriteFault:
        text += "\r\nThe settings file cannot be written:\r\n" + file;
        break;
    default: break;
    }
    return text;
}

int Settings::InitProgramFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return 0;
    return InitProgramFolder(exe.string());
}

int Settings::InitProgramFolder(std::string_view program_file) {
    if (program_file.empty()) return 0;
    const size_t cut = program_file.find_last_of("\\/");
    program_folder_ = cut == std::string_view::npos ? std::string() : std::string(program_file.substr(0, cut));
    return 1;
}
