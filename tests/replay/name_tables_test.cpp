#include "replay/name_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace name_tables;

const int kSeasons[] = {1967, 1969, 1966, 1965, 1955, 1999, 66};

struct Row {
    int index;
    const char* name;
    const char* short_name;
    const char* model_year;
    const char* tag;
    const char* engine;
};

void ExpectRows(int code, const std::vector<Row>& rows) {
    for (const Row& r : rows) {
        SCOPED_TRACE("season " + std::to_string(code) + " index " + std::to_string(r.index));
        EXPECT_EQ(GetCarName(code, r.index), r.name);
        EXPECT_EQ(GetCarShortName(code, r.index), r.short_name);
        EXPECT_EQ(GetCarModelYear(code, r.index), r.model_year);
        EXPECT_EQ(GetCarTag(code, r.index), r.tag);
        EXPECT_EQ(GetEngineName(code, r.index), r.engine);
    }
}

TEST(NameTables, Season1966HasSixteenCarsAndFourPlaceholders) {
    EXPECT_EQ(GetModCarCount(1966), 16);
    ExpectRows(1966, {
        {0, "Brabham BT19", "BrabBT19 ", "Brabham BT19   1966", "BT19wks", "RepcoV8 3.0"},
        {2, "BrabhamBT116", "BraBT117 ", "BrabhamBT116   1966", "BT11dwr", "ClimaxS42.7"},
        {7, "EagleAAR T1G", "EagleT1G ", "EagleAAR T1G   1966", "EagT1G", "WestlakeV12"},
        {10, "Ferrari 246", "Ferr 246 ", "Ferrari 246    1966", "Fer246", "Ferrari V6 "},
        {13, "Lotus33 Cli", "Lot33Cli ", "Lotus33 Cli    1966", "L33V8", "ClimaxV82.0"},
        {15, "McLaren M2B", "McLaren  ", "McLaren M2B    1966", "MclM2b", "Ford V8 3.0"},
        // The placeholders have names but no tag.
        {16, "unused atm", "unused   ", "unused atm     1966", "", "unused     "},
        {19, "unused atm", "unused   ", "unused atm     1966", "", "unused     "},
    });
}

TEST(NameTables, SevenCarSeasons) {
    ExpectRows(1967, {
        {0, "Brabham", "Brabham  ", "Brabham BT24   1967", "bra", "Repco      "},
        {6, "Honda", "Honda    ", "Honda RA273    1967", "mur", "Honda      "},
    });
    ExpectRows(1969, {
        {1, "BRM", "BRM      ", "BRM P126/139   1969", "brm", "BRM V12    "},
        {3, "McLaren", "McLaren  ", "Mclaren M7     1969", "eag", "Ford DFV   "},
    });
    ExpectRows(1965, {
        {3, "BrabhamBT7", "Brab BT7 ", "BT7 Brabham    1965", "eag", "Climax 16v "},
    });
    ExpectRows(1955, {
        {2, "Connaught", "Conaught ", "Connaught T. B 1955", "cov", "Connaught  "},
    });
    ExpectRows(1999, {
        {1, "Racing Bull", "RaciBull ", "Racing Bull    NA  ", "brm", "V8 GMC hemi"},
    });
    ExpectRows(66, {
        {4, "G2 Privateer", "G2 Priva ", "GR2 Lotus Priv 1966", "fer", "BRM 105E II"},
    });
    for (int code : kSeasons) {
        if (code != 1966) {
            EXPECT_EQ(GetModCarCount(code), 7) << code;
        }
    }
}

TEST(NameTables, EveryRowHasTheFixedWidths) {
    for (int code : kSeasons) {
        const int rows = code == 1966 ? 20 : 7;
        for (int i = 0; i < rows; ++i) {
            SCOPED_TRACE("season " + std::to_string(code) + " index " + std::to_string(i));
            EXPECT_EQ(GetCarShortName(code, i).size(), 9u);
            EXPECT_EQ(GetCarModelYear(code, i).size(), 19u);
            EXPECT_EQ(GetEngineName(code, i).size(), 11u);
            EXPECT_FALSE(GetCarName(code, i).empty());
        }
    }
}

TEST(NameTables, Code255IsTheBaseSeasonExceptForFolderAndProfile) {
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(GetCarName(255, i), GetCarName(1967, i));
        EXPECT_EQ(GetCarShortName(255, i), GetCarShortName(1967, i));
        EXPECT_EQ(GetCarModelYear(255, i), GetCarModelYear(1967, i));
        EXPECT_EQ(GetEngineName(255, i), GetEngineName(1967, i));
        EXPECT_EQ(GetCarTag(255, i), GetCarTag(1967, i));
    }
    EXPECT_EQ(GetModYearText(255), "1967");
    EXPECT_EQ(GetModFolderName(255), "?????");
    std::string profile = "\\keep.ini";
    EXPECT_EQ(GetModPlayerIni(255, profile), 255);
    EXPECT_EQ(profile, "\\keep.ini");
    EXPECT_EQ(GetModCarCount(255), 7);
}

TEST(NameTables, TagsComeFromTwoLists) {
    const char* seven[] = {"bra", "brm", "cov", "eag", "fer", "lot", "mur"};
    for (int code : {1967, 1969, 1965, 1955, 1999, 66, 255, 1234, -1})
        for (int i = 0; i < 7; ++i) EXPECT_EQ(GetCarTag(code, i), seven[i]) << code << " " << i;
    EXPECT_EQ(GetCarTag(1969, 2), "cov");
    EXPECT_EQ(GetCarTag(1966, 15), "MclM2b");
    EXPECT_EQ(GetCarTag(1966, 0), "BT19wks");
}

TEST(NameTables, UnknownCodesAndIndexesBeyondTheTablesGiveUnknownTexts) {
    struct Case {
        int code;
        int index;
    };
    const Case cases[] = {{1234, 0}, {0, 3}, {-1, 0}, {1967, 7}, {1967, -1}, {1969, 1000}, {1966, 20}, {255, 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.code) + " " + std::to_string(c.index));
        EXPECT_EQ(GetCarName(c.code, c.index), "Unknown");
        EXPECT_EQ(GetCarShortName(c.code, c.index), "Unknown");
        EXPECT_EQ(GetCarModelYear(c.code, c.index), "Unknown Car/Year   ");
        EXPECT_EQ(GetEngineName(c.code, c.index), "Unknown    ");
    }
    EXPECT_EQ(GetCarTag(1967, 7), "");
    EXPECT_EQ(GetCarTag(1966, 16), "");
    EXPECT_EQ(GetCarTag(1966, -1), "");
    EXPECT_EQ(GetModYearText(1234), "???");
    EXPECT_EQ(GetModFolderName(1234), "?????");
    std::string profile = "\\player.ini";
    EXPECT_EQ(GetModPlayerIni(1234, profile), 1234);
    EXPECT_EQ(profile, "\\player.ini");
    EXPECT_EQ(GetModCarCount(1234), 7);
}

TEST(NameTables, ModList) {
    struct Mod {
        int code;
        const char* display;
        const char* year;
        const char* folder;
        const char* profile;
    };
    const Mod mods[] = {
        {1967, "1967 (original)", "1967", "qel67", "\\player.ini"},
        {1969, "1969 (mod)", "1969", "qel69", "\\plac69.ini"},
        {1966, "1966 (mod)", "1966", "qel66", "\\plac66.ini"},
        {1965, "1965 (mod)", "1965", "qel65", "\\plac65.ini"},
        {1955, "1955 (mod)", "1955", "qel55", "\\plac55.ini"},
        {1999, "ThunderCars (mod)", "TC", "qeltc", "\\placTC.ini"},
        {66, "Cortina/1966 (mod)", "Cortina", "qelcm", "\\placCM.ini"},
    };
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        const Mod& m = mods[i];
        EXPECT_EQ(GetModCode(i), m.code);
        std::string display;
        EXPECT_EQ(GetModName(i, display), m.code);
        EXPECT_EQ(display, m.display);
        EXPECT_EQ(GetModYearText(m.code), m.year);
        EXPECT_EQ(GetModFolderName(m.code), m.folder);
        std::string profile = "unchanged";
        EXPECT_EQ(GetModPlayerIni(m.code, profile), m.code);
        EXPECT_EQ(profile, m.profile);
    }
    for (int outside : {7, -1, 100}) {
        EXPECT_EQ(GetModCode(outside), -1);
        std::string display;
        EXPECT_EQ(GetModName(outside, display), -1);
        EXPECT_EQ(display, "error");
    }
}

}  // namespace
