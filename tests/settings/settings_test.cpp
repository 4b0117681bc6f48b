#include "settings/settings.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/config_dir.h"
#include "support/replay_fixture.h"

namespace {

namespace fs = std::filesystem;

class SettingsTest : public ::testing::Test {
protected:
    // Writes values under a key of a hive through a separate wrapper.
    static CRegistry& KeyOf(CRegistry& reg, RegistryHive hive, const char* key) {
        EXPECT_TRUE(reg.CreateKey(hive, key));
        return reg;
    }
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
    };
    const Case cases[] = {
        {"own value wins", "D:\\Mine", true, "C:\\Games\\QEL", "D:\\Mine"},
        {"own empty value is kept", "", true, "C:\\Games\\QEL", ""},
        {"setup key", std::nullopt, true, "C:\\Games\\QEL", "C:\\Games\\QEL"},
        {"setup key without Directory", std::nullopt, true, std::nullopt, ""},
        {"nothing", std::nullopt, false, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        fixture::ScopedConfigDir fresh;
        if (c.own) {
            CRegistry reg(RegistryHive::kCurrentUser);
            KeyOf(reg, RegistryHive::kCurrentUser, Settings::kSettingsKey).WriteString("QELDirectory", *c.own);
        }
        if (c.setup_key) {
            CRegistry reg(RegistryHive::kLocalMachine);
            KeyOf(reg, RegistryHive::kLocalMachine, Settings::kSetupKey);
            if (c.setup_folder) reg.WriteString("Directory", *c.setup_folder);
        }
        Settings s;
        s.Load();
        EXPECT_EQ(s.GetQELDirectory(), c.expected);
    }
}

TEST_F(SettingsTest, RoundTripThroughTheFileStore) {
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
    fixture::WriteFile(config.scratch() / "blocked", "x");
    config.Point(config.scratch() / "blocked" / "config");
    EXPECT_FALSE(s.Save());
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
