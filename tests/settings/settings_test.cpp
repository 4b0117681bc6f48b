#include "settings/settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>

#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <thread>
#include <utility>

#include "settings/hive_cache.h"

#include "replay/header.h"
#include "settings/path_lookup.h"
#include "support/config_dir.h"
#include "support/lock_holder.h"
#include "support/replay_fixture.h"
#include "support/track_fixture.h"
#include "support/wine_fixture.h"
#include "track/track.h"

namespace {

// A failed save stores none of the changed values, and says so first.
const std::string kNotSaved = "The settings could not be saved: none of the changes were stored.\r\n";

namespace fs = std::filesystem;

class SettingsTest : public ::testing::Test {
protected:
    // Writes values under a key of a hive through a separate wrapper.
    static CRegistry& KeyOf(CRegistry& reg, RegistryHive hive, const char* key) {
        EXPECT_TRUE(reg.CreateKey(hive, key));
        return reg;
    }
    // The next test starts as a new run would (the lock wait included).
    void TearDown() override { HiveCache::Reset(); }
    fixture::ScopedConfigDir config;
};

TEST_F(SettingsTest, FreshMachineGetsDefaultsAndTheKey) {
    Settings s;
    s.Load();
    EXPECT_EQ(s.GetDontShowQualReport(), 1);
    EXPECT_EQ(s.GetBMPSizeInPixel(), 768);
    EXPECT_EQ(s.GetDefaultPlayerIndex(), -1);
    EXPECT_EQ(s.GetUseMPH(), 0);
    EXPECT_EQ(s.GetRetireInRaceReport(), 0);
    EXPECT_EQ(s.GetOffTheTrackInRaceReport(), 0);
    EXPECT_EQ(s.GetDefaultModIndex(), 0);
    EXPECT_EQ(s.GetWarbleyeMsg(), 0);
    EXPECT_EQ(s.GetQELDirectory(), "");
    EXPECT_EQ(s.GetAltRpyPath(), "");
    EXPECT_EQ(s.GetRecordsPath(), "");
    CRegistry check(RegistryHive::kCurrentUser);
    EXPECT_TRUE(check.KeyExists(RegistryHive::kCurrentUser, Settings::kSettingsKey));
}

TEST_F(SettingsTest, InstanceIsLoadedOnceForTheProcess) {
    {
        CRegistry reg(RegistryHive::kCurrentUser);
        KeyOf(reg, RegistryHive::kCurrentUser, Settings::kSettingsKey).WriteDword("BMPSizeInPixel", 512);
    }
    Settings& first = Settings::Instance();
    EXPECT_EQ(&first, &Settings::Instance());
    EXPECT_EQ(first.GetBMPSizeInPixel(), 512);
}

TEST_F(SettingsTest, SimulatorFolderFallsBackToTheSetupKeyThenEmpty) {
    struct Case {
        const char* label;
        std::optional<std::string> own;            // "QELDirectory"
        bool setup_key;                            // Software\Corvalis\Setup\QEL exists
        std::optional<std::string> setup_folder;   // its "Directory"
        std::string expected;
        const char* wine_key = nullptr;            // a key in the Wine prefix's system.reg
        std::string wine_folder;                   // its "Directory"
    };
    const Case cases[] = {
        {"own value wins", "D:\\Mine", true, "C:\\Games\\QEL", "D:\\Mine", nullptr, ""},
        {"own empty value is kept", "", true, "C:\\Games\\QEL", "", nullptr, ""},
        {"setup key", std::nullopt, true, "C:\\Games\\QEL", "C:\\Games\\QEL", nullptr, ""},
        {"setup key without Directory", std::nullopt, true, std::nullopt, "", nullptr, ""},
        {"nothing", std::nullopt, false, std::nullopt, "", nullptr, ""},
        {"own value before Wine", "D:\\Mine", false, std::nullopt, "D:\\Mine", Settings::kSetupKey, "C:\\Wine"},
        {"machine hive before Wine", std::nullopt, true, "C:\\Games\\QEL", "C:\\Games\\QEL", Settings::kSetupKey,
         "C:\\Wine"},
        {"Wine prefix", std::nullopt, false, std::nullopt, "C:\\Wine\\QEL", Settings::kSetupKey, "C:\\Wine\\QEL"},
        {"Wine prefix, 32-bit view", std::nullopt, false, std::nullopt, "C:\\Wow", "Software\\Wow6432Node\\Corvalis\\Setup\\QEL",
         "C:\\Wow"},
        {"Wine prefix without the key", std::nullopt, false, std::nullopt, "", "Software\\Corvalis", "C:\\X"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        fixture::ScopedConfigDir fresh;
        if (c.own) {
            CRegistry reg(RegistryHive::kCurrentUser);
            KeyOf(reg, RegistryHive::kCurrentUser, Settings::kSettingsKey).WriteString("QELDirectory", *c.own);
        }
        if (c.setup_key) {
            // The machine hive as the registry editor exports it: its keys
            // stand under HKEY_LOCAL_MACHINE.
            std::string machine = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Corvalis\\Setup\\QEL]\r\n";
            if (c.setup_folder) {
                std::string escaped;
                for (char ch : *c.setup_folder) escaped += ch == '\\' ? std::string("\\\\") : std::string(1, ch);
                machine += "\"Directory\"=\"" + escaped + "\"\r\n";
            }
            fs::create_directories(fresh.folder());
            fixture::WriteFile(fresh.folder() / "local_machine.reg", machine);
        }
        if (c.wine_key) {
            fixture::WriteWinePrefix(
                fresh.wine_prefix(),
                fixture::WineSystemReg({{c.wine_key, {{"Directory", fixture::WineString(c.wine_folder)}}}}), {});
        }
        Settings s;
        s.Load();
        EXPECT_EQ(s.GetQELDirectory(), c.expected);
    }
}

TEST_F(SettingsTest, RoundTripThroughTheFileStore) {
    {
        CRegistry reg(RegistryHive::kCurrentUser);
        KeyOf(reg, RegistryHive::kCurrentUser, Settings::kSettingsKey).WriteDword("DefaultPlayerIndex", 4);
    }
    Settings s;
    s.Load();
    s.SetQELDirectory("C:\\Programme\\QEL");
    s.SetAltRpyPath("E:\\Replays");
    s.SetRecordsPath("C:\\Records");
    s.SetUseMPH(1);
    s.SetDontShowQualReport(0);
    s.SetRetireInRaceReport(1);
    s.SetOffTheTrackInRaceReport(1);
    s.SetBMPSizeInPixel(1024);
    s.SetDefaultPlayerIndex(-1);
    s.SetDefaultModIndex(5);
    s.SetWarbleyeMsg(1);
    ASSERT_TRUE(s.Save());

    Settings back;
    back.Load();
    EXPECT_EQ(back.GetQELDirectory(), "C:\\Programme\\QEL");
    EXPECT_EQ(back.GetAltRpyPath(), "E:\\Replays");
    EXPECT_EQ(back.GetRecordsPath(), "C:\\Records");
    EXPECT_EQ(back.GetUseMPH(), 1);
    EXPECT_EQ(back.GetDontShowQualReport(), 0);
    EXPECT_EQ(back.GetRetireInRaceReport(), 1);
    EXPECT_EQ(back.GetOffTheTrackInRaceReport(), 1);
    EXPECT_EQ(back.GetBMPSizeInPixel(), 1024);
    EXPECT_EQ(back.GetDefaultPlayerIndex(), -1);
    EXPECT_EQ(back.GetDefaultModIndex(), 5);
    EXPECT_EQ(back.GetWarbleyeMsg(), 1);

    // Strings are stored as strings, the rest as DWORDs; -1 as 0xFFFFFFFF.
    CRegistry reg(RegistryHive::kCurrentUser);
    ASSERT_TRUE(reg.Open(RegistryHive::kCurrentUser, Settings::kSettingsKey));
    uint32_t v = 0;
    ASSERT_TRUE(reg.ReadDword("DefaultPlayerIndex", v));
    EXPECT_EQ(v, 0xFFFFFFFFu);
    EXPECT_EQ(reg.LastType(), 4u);
    std::string text;
    ASSERT_TRUE(reg.ReadString("AltRpyPath", text));
    EXPECT_EQ(reg.LastType(), 1u);
}

TEST_F(SettingsTest, LongStoredFolderIsNeitherLostNorEmptiedBySave) {
    const std::string long_folder = "C:\\" + std::string(250, 'r');
    {
        CRegistry reg(RegistryHive::kCurrentUser);
        KeyOf(reg, RegistryHive::kCurrentUser, Settings::kSettingsKey).WriteString("RecordsPath", long_folder);
        reg.WriteString("QELDirectory", long_folder);
    }
    Settings s;
    s.Load();
    EXPECT_EQ(s.GetRecordsPath(), long_folder);
    EXPECT_EQ(s.GetQELDirectory(), long_folder);
    ASSERT_TRUE(s.Save());
    Settings back;
    back.Load();
    EXPECT_EQ(back.GetRecordsPath(), long_folder);
}

TEST_F(SettingsTest, DwordStoredWithAnotherTypeIsRawBytesOrDefault) {
    {
        RegistryStore store;
        store.SetValue(Settings::kSettingsKey, "BMPSizeInPixel", RegistryStore::kTypeBinary, std::string("\x00\x02", 2));
        store.SetValue(Settings::kSettingsKey, "DontShowQualReport", RegistryStore::kTypeString, std::string("0\0", 2));
        store.SetValue(Settings::kSettingsKey, "DefaultModIndex", RegistryStore::kTypeString, std::string("12345\0", 6));
        ASSERT_TRUE(store.Save(RegistryStore::FileOf(RegistryHive::kCurrentUser)));
    }
    Settings s;
    s.Load();
    EXPECT_EQ(s.GetBMPSizeInPixel(), 512);
    EXPECT_EQ(s.GetDontShowQualReport(), '0');
    EXPECT_EQ(s.GetDefaultModIndex(), 0);
}

TEST_F(SettingsTest, FailedSaveIsReported) {
    Settings s;
    s.Load();
    s.SetUseMPH(1);
    fixture::WriteFile(config.scratch() / "blocked", "x");
    config.Point(config.scratch() / "blocked" / "config");
    EXPECT_FALSE(s.Save());
}

TEST_F(SettingsTest, SimulatorIsFoundInTheWinePrefixWithNoSettingsFile) {
    const fs::path prefix = config.wine_prefix();
    fixture::WriteWinePrefix(prefix,
                             fixture::WineSystemReg({{Settings::kSetupKey,
                                                      {{"Directory", fixture::WineString("C:\\Games\\QEL")}}}}),
                             {{"c:", "../drive_c"}});
    const fs::path qel = prefix / "drive_c" / "games" / "Qel";
    fs::create_directories(qel / "Tracks" / "Stadium");
    fs::create_directories(qel / "replay");
    fixture::WriteFile(qel / "QEL.EXE", "MZ");
    fixture::WriteFile(qel / "Tracks" / "Stadium" / "stadium.trk", fixture::BuildTrackBlock(fixture::StadiumCircuit()));
    fixture::ReplaySpec spec;
    spec.track = "stadium";
    fixture::WriteFile(qel / "replay" / "race.rpy", fixture::BuildReplay(spec));
    ASSERT_FALSE(fs::exists(config.folder()));

    Settings s;
    s.Load();
    // Kept as Wine stores it; every reader maps it.
    EXPECT_EQ(s.GetQELDirectory(), "C:\\Games\\QEL");
    EXPECT_TRUE(path_lookup::IsSimulatorFolder(s.GetQELDirectory()));
    const auto replay = path_lookup::ToLocalPath(s.GetQELDirectory() + "\\Replay\\RACE.RPY");
    ASSERT_TRUE(replay);
    Header header;
    ASSERT_EQ(header.Load(replay->string()), 0);
    EXPECT_NE(Track::Load(s.GetQELDirectory(), header.track_folder), nullptr);

    // Without the drive link the folder is missing, not a path outside the prefix.
    fs::remove(prefix / "dosdevices" / "c:");
    EXPECT_FALSE(path_lookup::IsSimulatorFolder(s.GetQELDirectory()));
    EXPECT_EQ(Track::Load(s.GetQELDirectory(), header.track_folder), nullptr);
}

TEST_F(SettingsTest, UnreadableSettingsFilesAreReportedAndNeverSavedOver) {
    // The earlier binary store, and a hand-written file without its first line.
    const std::string user = std::string("OSTREG1\0\1\0\0\0", 12);
    const std::string machine = "[HKEY_LOCAL_MACHINE\\Software\\Corvalis\\Setup\\QEL]\r\n\"Directory\"=\"C:\\\\QEL\"\r\n";
    fs::create_directories(config.folder());
    fixture::WriteFile(config.folder() / "current_user.reg", user);
    fixture::WriteFile(config.folder() / "local_machine.reg", machine);
    Settings s;
    s.Load();
    EXPECT_EQ(s.GetBMPSizeInPixel(), 768);
    EXPECT_EQ(s.GetQELDirectory(), "");
    EXPECT_EQ(s.GetLoadProblems(),
              (std::vector<std::string>{
                  "The settings file cannot be read:\r\n" + (config.folder() / "current_user.reg").string() +
                      "\r\nOstrevan uses default settings and leaves the file as it is.",
                  "The settings file cannot be read:\r\n" + (config.folder() / "local_machine.reg").string() +
                      "\r\nOstrevan uses default settings and leaves the file as it is."}));
    s.SetBMPSizeInPixel(1024);
    EXPECT_FALSE(s.Save());
    std::ifstream in(config.folder() / "current_user.reg", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), user);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Ten of the user's values, as a hand-edited file holds them.
const std::string kUserValues =
    "[HKEY_CURRENT_USER\\Software\\Ostrevan\\Ostrevan\\Settings]\r\n"
    "\"QELDirectory\"=\"/srv/qel\"\r\n\"DontShowQualReport\"=dword:00000000\r\n"
    "\"RetireInRaceReport\"=dword:00000001\r\n\"OffTheTrackInRaceReport\"=dword:00000001\r\n"
    "\"BMPSizeInPixel\"=dword:00000400\r\n\"MPH\"=dword:00000001\r\n\"AltRpyPath\"=\"/srv/alt\"\r\n"
    "\"RecordsPath\"=\"/srv/records\"\r\n\"DefaultPlayerIndex\"=dword:00000002\r\n"
    "\"DefaultModIndex\"=dword:00000003\r\n";

TEST_F(SettingsTest, AFileUnreadableAtStartIsNotSavedOverWhenTheUserMendsItDuringTheRun) {
    const fs::path file = config.folder() / "current_user.reg";
    fs::create_directories(config.folder());
    fixture::WriteFile(file, "REGEDTI4\r\n\r\n" + kUserValues);  // a typo in the first line
    Settings s;
    s.Load();
    ASSERT_EQ(s.GetLoadProblems().size(), 1u);
    EXPECT_EQ(s.GetBMPSizeInPixel(), 768);

    // The user reads the message and mends the file while the program runs.
    const std::string mended = "REGEDIT4\r\n\r\n" + kUserValues;
    fixture::WriteFile(file, mended);
    s.SetDefaultPlayerIndex(-1);  // what the document stores as it closes
    s.SetBMPSizeInPixel(512);
    EXPECT_FALSE(s.Save());
    EXPECT_EQ(s.SaveFailureMessage(),
              kNotSaved + "The settings file could not be read when Ostrevan started:\r\n" +
                  file.string() + "\r\nOstrevan leaves it as it is until it is started again.");
    CRegistry other(RegistryHive::kCurrentUser);
    ASSERT_TRUE(other.CreateKey(RegistryHive::kCurrentUser, "Software\\Ostrevan\\Ostrevan\\Frame") ||
                other.LastError() == CRegistry::kErrorUnreadAtStart);
    ASSERT_TRUE(other.Open(RegistryHive::kCurrentUser, Settings::kSettingsKey));
    EXPECT_FALSE(other.WriteDword("MPH", 0));
    EXPECT_EQ(other.LastError(), CRegistry::kErrorUnreadAtStart);
    EXPECT_EQ(ReadFile(file), mended);

    // The next run reads the mended file and may store again.
    HiveCache::Reset();
    Settings next;
    next.Load();
    EXPECT_EQ(next.GetBMPSizeInPixel(), 1024);
    next.SetUseMPH(0);
    EXPECT_TRUE(next.Save());
}

TEST_F(SettingsTest, AReadOnlySettingsFileIsReportedAndKept) {
    const fs::path file = config.folder() / "current_user.reg";
    fs::create_directories(config.folder());
    const std::string text = "REGEDIT4\r\n\r\n" + kUserValues;
    fixture::WriteFile(file, text);
    fs::permissions(file, fs::perms::owner_read);
    Settings s;
    s.Load();
    EXPECT_TRUE(s.GetLoadProblems().empty());
    EXPECT_EQ(s.GetBMPSizeInPixel(), 1024);
    EXPECT_TRUE(s.Save());  // nothing changed: nothing to write, nothing to say
    s.SetUseMPH(0);
    EXPECT_FALSE(s.Save());
    EXPECT_EQ(s.SaveFailureMessage(), kNotSaved + "The settings file is read-only:\r\n" +
                                          file.string() + "\r\nOstrevan leaves it as it is.");
    EXPECT_EQ(ReadFile(file), text);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read);
    EXPECT_FALSE(fs::exists(file.string() + ".lock"));
}

// A save of every value while another run holds the file's lock is one
// change: it waits once, and stores every value when the lock is let go
// during the wait, none (and says so) when it is not.
TEST_F(SettingsTest, ASaveWaitsOnceForALockedFileAndStoresAllOrNone) {
    for (const bool let_go : {false, true}) {
        SCOPED_TRACE(let_go ? "let go during the wait" : "held throughout");
        fixture::ScopedConfigDir fresh;
        Settings s;
        s.Load();
        const fs::path file = fresh.folder() / "current_user.reg";
        const std::string text = ReadFile(file);
        fixture::LockHolder other(file.string() + ".lock");
        ASSERT_TRUE(other.held());
        // Let go: a wait far longer than the test needs, ended by the other
        // run as soon as the save waits.
        HiveCache::SetLockWait(std::chrono::milliseconds(let_go ? 120'000 : 50));
        const size_t waits = HiveCache::LockWaitCount();
        std::thread other_run([&] {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
            while (let_go && HiveCache::LockWaitCount() == waits && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (let_go) other.Release();
        });
        s.SetQELDirectory("/srv/qel");
        s.SetDontShowQualReport(0);
        s.SetRetireInRaceReport(1);
        s.SetOffTheTrackInRaceReport(1);
        s.SetBMPSizeInPixel(1024);
        s.SetUseMPH(1);
        s.SetAltRpyPath("/srv/alt");
        s.SetRecordsPath("/srv/records");
        s.SetDefaultPlayerIndex(2);
        s.SetDefaultModIndex(3);
        s.SetWarbleyeMsg(1);
        EXPECT_EQ(s.Save(), let_go);
        other_run.join();
        EXPECT_EQ(HiveCache::LockWaitCount() - waits, 1u);
        if (!let_go) {
            EXPECT_EQ(s.SaveFailureMessage(), kNotSaved + "Another program kept the settings "
                                              "file locked for too long:\r\n" + file.string());
            EXPECT_EQ(ReadFile(file), text);
            other.Release();
            EXPECT_TRUE(s.Save());  // the next save stores them
        }
        EXPECT_EQ(ReadFile(file), "REGEDIT4\r\n\r\n" + kUserValues + "\"WarbleyeMsg\"=dword:00000001\r\n\r\n");
        HiveCache::Reset();
    }
}

// A first start (no settings key yet) while another run holds the file's
// lock waits once, then starts on defaults and says the settings could not
// be written.
TEST_F(SettingsTest, AStartThatCannotCreateTheKeyWaitsOnceAndSaysSo) {
    const fs::path file = config.folder() / "current_user.reg";
    fs::create_directories(config.folder());
    fixture::LockHolder other(file.string() + ".lock");
    ASSERT_TRUE(other.held());
    HiveCache::SetLockWait(std::chrono::milliseconds(50));
    const size_t waits = HiveCache::LockWaitCount();
    Settings s;
    s.Load();
    EXPECT_EQ(HiveCache::LockWaitCount() - waits, 1u);
    EXPECT_EQ(s.GetBMPSizeInPixel(), 768);
    EXPECT_EQ(s.GetLoadProblems(),
              std::vector<std::string>{"The settings could not be written.\r\nAnother program kept the settings file "
                                       "locked for too long:\r\n" + file.string()});
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(SettingsTest, ASaveWritesOnlyTheChangedValueAndKeepsTheRestOfTheFileAsItStood) {
    // What a user's own file may hold: a byte-order mark, line feeds only,
    // blank lines, a comment, the key twice, a duplicate value, and the
    // folder as an expandable string.
    const std::string text =
        "\xEF\xBB\xBFREGEDIT4\n\n\n; mine\n[HKEY_CURRENT_USER\\Software\\Ostrevan\\Ostrevan\\Settings]\n"
        "\"QELDirectory\"=hex(2):2f,71,00\n\n\"MPH\"=dword:00000001\n\"mph\"=dword:00000000\n\n"
        "[HKEY_CURRENT_USER\\Software\\Ostrevan\\Ostrevan\\Settings]\n\"BMPSizeInPixel\"=dword:00000200\n";
    const fs::path file = config.folder() / "current_user.reg";
    fs::create_directories(config.folder());
    fixture::WriteFile(file, text);
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    Settings s;
    s.Load();
    EXPECT_EQ(s.GetQELDirectory(), "/q");
    EXPECT_EQ(s.GetBMPSizeInPixel(), 512);
    EXPECT_TRUE(s.Save());
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);  // not even rewritten
    EXPECT_EQ(ReadFile(file), text);

    s.SetUseMPH(0);
    s.SetDefaultModIndex(2);
    ASSERT_TRUE(s.Save());
    std::string expected = text;
    expected.replace(expected.find("\"MPH\"=dword:00000001"), 20, "\"MPH\"=dword:00000000");
    expected.replace(expected.find("\"mph\"="), 0, "\"DefaultModIndex\"=dword:00000002\n");
    EXPECT_EQ(ReadFile(file), expected);
}

TEST_F(SettingsTest, TheSettingsFileIsParsedOncePerRunAndAgainOnlyWhenItChanges) {
    const fs::path file = config.folder() / "current_user.reg";
    fs::create_directories(config.folder());
    fixture::WriteFile(file, "REGEDIT4\r\n\r\n" + kUserValues);
    // Written long ago, as a settings file usually is.
    const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), old, 0), 0);
    const size_t parses = HiveCache::ParseCount();
    Settings s;
    s.Load();
    CRegistry reg(RegistryHive::kCurrentUser);
    ASSERT_TRUE(reg.Open(RegistryHive::kCurrentUser, Settings::kSettingsKey));
    std::string folder;
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(reg.ReadString("RecordsPath", folder));
    s.SetDefaultModIndex(s.GetDefaultModIndex());
    EXPECT_TRUE(s.Save());
    EXPECT_EQ(HiveCache::ParseCount() - parses, 1u);

    // Another program changes the file: it is read again, once.
    fixture::WriteFile(file, "REGEDIT4\r\n\r\n" + kUserValues + "\"Extra\"=dword:00000001\r\n");
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), old, 0), 0);
    uint32_t extra = 0;
    EXPECT_TRUE(reg.ReadDword("Extra", extra));
    EXPECT_TRUE(reg.ReadDword("Extra", extra));
    EXPECT_EQ(extra, 1u);
    EXPECT_EQ(HiveCache::ParseCount() - parses, 2u);
}

// A file is known as changed by what changed, not by its age: one dated in
// the future (a clock behind, a copy that kept its time) is parsed once, and
// one put in its place with the same size and time is still seen.
TEST_F(SettingsTest, AFileDatedInTheFutureIsParsedOnceAndAReplacementWithItsSizeAndTimeIsSeen) {
    const fs::path file = config.folder() / "current_user.reg";
    fs::create_directories(config.folder());
    const std::string text = "REGEDIT4\r\n\r\n" + kUserValues;
    fixture::WriteFile(file, text);
    const timespec future[2] = {{::time(nullptr) + 86400, 0}, {::time(nullptr) + 86400, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), future, 0), 0);
    const size_t parses = HiveCache::ParseCount();
    Settings s;
    s.Load();
    CRegistry reg(RegistryHive::kCurrentUser);
    ASSERT_TRUE(reg.Open(RegistryHive::kCurrentUser, Settings::kSettingsKey));
    uint32_t mph = 0;
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(reg.ReadDword("MPH", mph));
    EXPECT_EQ(mph, 1u);
    EXPECT_EQ(HiveCache::ParseCount() - parses, 1u);

    // Another run renames a new file into place: same size, same time.
    std::string changed = text;
    changed.replace(changed.find("\"MPH\"=dword:00000001"), 20, "\"MPH\"=dword:00000000");
    const fs::path next = config.folder() / ".current_user.reg.new";
    fixture::WriteFile(next, changed);
    ASSERT_EQ(::utimensat(AT_FDCWD, next.c_str(), future, 0), 0);
    fs::rename(next, file);
    ASSERT_TRUE(reg.ReadDword("MPH", mph));
    EXPECT_EQ(mph, 0u);
    EXPECT_EQ(HiveCache::ParseCount() - parses, 2u);
}

TEST(SettingsProgramFolder, KeepsTheFolderWithoutItsLastSeparator) {
    Settings s;
    EXPECT_EQ(s.InitProgramFolder("C:\\Programme\\Ostrevan\\Ostrevan.exe"), 1);
    EXPECT_EQ(s.GetProgramFolder(), "C:\\Programme\\Ostrevan");
    EXPECT_EQ(s.InitProgramFolder("/opt/ostrevan/bin/ostrevan"), 1);
    EXPECT_EQ(s.GetProgramFolder(), "/opt/ostrevan/bin");
    EXPECT_EQ(s.InitProgramFolder(""), 0);
    ASSERT_EQ(s.InitProgramFolder(), 1);
    EXPECT_TRUE(fs::is_directory(s.GetProgramFolder()));
}

}  // namespace
