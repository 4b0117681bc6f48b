// The hive files in the registry editor's export format, and Wine's own
// registry file. The inputs are written here by hand (and by the Wine
// fixture writer) in those formats, not by the store's writer.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "settings/registry_store.h"
#include "support/config_dir.h"
#include "support/wine_fixture.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kKey = "Software\\Ostrevan\\Ostrevan\\Settings";

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

std::string Data(const RegistryStore& store, const char* key, const char* name) {
    const auto* v = store.FindValue(key, name);
    return v ? v->data : "<absent>";
}

TEST(RegistryTextTest, EveryValueTypeIsWrittenInTheExportFormAndReadBack) {
    struct Case {
        const char* label;
        std::string name;
        uint32_t type;
        std::string data;
        std::string line;  // the value's (first) line in the file
    };
    std::string big;
    for (int i = 0; i < 100; ++i) big.push_back(static_cast<char>(i));
    const Case cases[] = {
        {"string", "QELDirectory", 1, std::string("C:\\Games\\QEL\0", 13), R"("QELDirectory"="C:\\Games\\QEL")"},
        {"quotes and backslashes", "Say \"hi\"", 1, std::string("a\"b\\c\0", 6), R"("Say \"hi\""="a\"b\\c")"},
        {"Windows-1252 text", "Fahrer", 1, std::string("J\xFCrgen\0", 7), "\"Fahrer\"=\"J\xFCrgen\""},
        {"default value", "", 1, std::string("x\0", 2), "@=\"x\""},
        {"dword", "MPH", 4, std::string("\x1E\0\0\0", 4), "\"MPH\"=dword:0000001e"},
        {"dword of two bytes", "Short", 4, "\x01\x02", "\"Short\"=hex(4):01,02"},
        {"string without its NUL", "Bare", 1, "C:\\Q", "\"Bare\"=hex(1):43,3a,5c,51"},
        {"string with a line break", "Two", 1, std::string("a\r\nb\0", 5), "\"Two\"=hex(1):61,0d,0a,62,00"},
        {"expandable string", "Path", 2, std::string("%H%\0", 4), "\"Path\"=hex(2):25,48,25,00"},
        {"binary", "Laps", 3, std::string("\x02\x00\xFF", 3), "\"Laps\"=hex:02,00,ff"},
        {"empty binary", "None", 3, "", "\"None\"=hex:"},
        {"type 0", "Zero", 0, "\x01", "\"Zero\"=hex(0):01"},
        {"multi-string", "Multi", 7, std::string("a\0b\0\0", 5), "\"Multi\"=hex(7):61,00,62,00,00"},
        {"type beyond 9", "Qword", 11, std::string(8, '\x7F'), "\"Qword\"=hex(b):7f,7f,7f,7f,7f,7f,7f,7f"},
        {"long binary", "Big", 3, big, "\"Big\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\"},
    };
    fixture::ScopedConfigDir config;
    const fs::path file = RegistryStore::FileOf(RegistryHive::kCurrentUser);
    {
        RegistryStore store;
        for (const auto& c : cases) ASSERT_TRUE(store.SetValue(kKey, c.name, c.type, c.data)) << c.label;
        ASSERT_TRUE(store.Save(file));
    }
    std::string text;
    {
        std::ifstream in(file, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    EXPECT_EQ(text.rfind("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Ostrevan\\Ostrevan\\Settings]\r\n", 0), 0u);
    EXPECT_EQ(Count(text, "\n"), Count(text, "\r\n"));
    // Long hex data runs on over lines of at most 80 characters.
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        EXPECT_LE(end - start, 80u);
    EXPECT_NE(text.find("\\\r\n  17,18,"), std::string::npos);

    RegistryStore back;
    ASSERT_EQ(back.Load(file), RegistryStore::LoadResult::kLoaded);
    EXPECT_EQ(back.KeptLineCount(), 0u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_NE(text.find("\r\n" + c.line + "\r\n"), std::string::npos) << c.line;
        const auto* v = back.FindValue(kKey, c.name);
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->type, c.type);
        EXPECT_EQ(v->data, c.data);
    }

    // The machine hive names its own root.
    RegistryStore machine(RegistryHive::kLocalMachine);
    machine.SetValue("Software\\Corvalis\\Setup\\QEL", "Directory", 1, std::string("D:\\QEL\0", 7));
    EXPECT_EQ(machine.Encode(),
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Corvalis\\Setup\\QEL]\r\n"
              "\"Directory\"=\"D:\\\\QEL\"\r\n\r\n");
}

TEST(RegistryTextTest, HandWrittenFileLoadsAndKeepsWhatItDoesNotUnderstand) {
    const std::string hand =
        "REGEDIT4\n"
        "\n"
        "; Ostrevan's settings, written by hand\n"
        "[HKEY_CURRENT_USER\\Software\\Ostrevan\\Ostrevan\\Settings]\n"
        "\"QELDirectory\"=\"C:\\\\Games\\\\QEL\"\r\n"
        "\"MPH\"=dword:1\n"
        "\"Title\"=\"Say \\\"hi\\\"\"\n"
        "; a comment between values\n"
        "\n"
        "\"Laps\"=hex:01,02,\\\n"
        "  03,04,\\\n"
        "  05\n"
        "\"mph\"=dword:00000002\n"
        "\"Broken\"=dword:xyz\n"
        "@=\"default\"\n"
        "\"Spaced\" = hex(2): 41 , 00\n"
        "\"Tail\"=hex:01,\\\n"  // a continuation ends at the blank line
        "\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Corvalis\\Setup\\QEL]\n"
        "\"Directory\"=\"C:\\\\Other\"\n"
        "\n"
        "[hkey_current_user\\software\\ostrevan\\ostrevan\\settings]\n"
        "\"Later\"=dword:00000003\n";
    RegistryStore store;
    ASSERT_EQ(store.Decode(hand), RegistryStore::LoadResult::kLoaded);
    EXPECT_EQ(Data(store, kKey, "QELDirectory"), std::string("C:\\Games\\QEL\0", 13));
    EXPECT_EQ(Data(store, kKey, "MPH"), std::string("\x01\0\0\0", 4));  // the first of duplicates stands
    EXPECT_EQ(Data(store, kKey, "Title"), std::string("Say \"hi\"\0", 9));
    EXPECT_EQ(Data(store, kKey, "Laps"), "\x01\x02\x03\x04\x05");
    EXPECT_EQ(Data(store, kKey, "Broken"), "<absent>");
    EXPECT_EQ(Data(store, kKey, ""), std::string("default\0", 8));
    EXPECT_EQ(Data(store, kKey, "Spaced"), std::string("A\0", 2));
    EXPECT_EQ(store.FindValue(kKey, "Spaced")->type, 2u);
    EXPECT_EQ(Data(store, kKey, "Later"), std::string("\x03\0\0\0", 4));
    EXPECT_EQ(Data(store, kKey, "Tail"), "\x01");
    EXPECT_EQ(Data(store, "Software\\Corvalis\\Setup\\QEL", "Directory"), "<absent>");
    // Two comments, the duplicate, the damaged value, the other hive's key and its value.
    EXPECT_EQ(store.KeptLineCount(), 6u);

    // A change touches only the lines of what changed: the value that did
    // not change, comments, blank lines, line ends, the duplicate, the
    // damaged value, the other hive's key and the repeated section all stay
    // byte for byte. The new value joins its key's first section (after its
    // last value, whose dangling continuation mark is mended so it cannot
    // take the new line in) in the file's own line end.
    ASSERT_TRUE(store.SetValue(kKey, "MPH", 4, std::string("\x01\0\0\0", 4)));
    ASSERT_TRUE(store.SetValue(kKey, "BMPSizeInPixel", 4, std::string("\x00\x04\0\0", 4)));
    const std::string saved = store.Encode();
    std::string expected = hand;
    const std::string tail = "\"Tail\"=hex:01,\\\n";
    expected.replace(expected.find(tail), tail.size(), "\"Tail\"=hex:01\n\"BMPSizeInPixel\"=dword:00000400\n");
    EXPECT_EQ(saved, expected);
    EXPECT_EQ(RegistryStore().Encode(), "REGEDIT4\r\n\r\n");
    RegistryStore again;
    ASSERT_EQ(again.Decode(saved), RegistryStore::LoadResult::kLoaded);
    EXPECT_EQ(again.Encode(), saved);

    // Deleting a value also drops its kept duplicates, so it does not come back.
    ASSERT_TRUE(again.DeleteValue(kKey, "MPH"));
    RegistryStore after;
    ASSERT_EQ(after.Decode(again.Encode()), RegistryStore::LoadResult::kLoaded);
    EXPECT_EQ(Data(after, kKey, "MPH"), "<absent>");

    // The README's example, three lines without the blank one.
    RegistryStore readme;
    ASSERT_EQ(readme.Decode("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Ostrevan\\Ostrevan\\Settings]\n"
                            "\"QELDirectory\"=\"/srv/qel\"\n"),
              RegistryStore::LoadResult::kLoaded);
    EXPECT_EQ(Data(readme, kKey, "QELDirectory"), std::string("/srv/qel\0", 9));
}

TEST(RegistryTextTest, OverlongLinesAreKeptUnread) {
    const size_t too_many = RegistryStore::kMaxValueBytes + 1;
    std::string huge_hex = "\"Huge\"=hex:";
    for (size_t i = 0; i < too_many; ++i) huge_hex += "00,";
    const std::string huge_line(RegistryStore::kMaxLineBytes + 1, 'x');
    const std::string text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + std::string(kKey) + "]\r\n" + huge_hex + "\r\n" +
                             huge_line + "\r\n\"After\"=dword:00000001\r\n";
    RegistryStore store;
    ASSERT_EQ(store.Decode(text), RegistryStore::LoadResult::kLoaded);
    EXPECT_EQ(Data(store, kKey, "Huge"), "<absent>");
    EXPECT_EQ(Data(store, kKey, "After"), std::string("\x01\0\0\0", 4));
    EXPECT_EQ(store.KeptLineCount(), 2u);
    EXPECT_EQ(store.Encode(), text);
}

TEST(RegistryTextTest, WineRegistryFileReadsKeysRelativeToTheMachineHive) {
    const std::string system_reg = fixture::WineSystemReg({
        {"Software\\Corvalis\\Setup\\QEL",
         {{"Directory", fixture::WineString("C:\\Games\\J\xFCrgen \x80" "1\tQEL")},
          {"Root", "str(2):" + fixture::WineString("%ProgramFiles%\\QEL")},
          {"Count", "dword:0000000a"},
          {"List", "hex(7):61,00,00,00,\\\n  62,00"}}},
        {"Software\\Wine\\[odd] key", {{"", fixture::WineString("say \"x\"")}}},
    });
    RegistryStore wine(RegistryHive::kLocalMachine);
    ASSERT_EQ(wine.DecodeWine(system_reg), RegistryStore::LoadResult::kLoaded);
    const char* setup = "Software\\Corvalis\\Setup\\QEL";
    EXPECT_EQ(Data(wine, setup, "Directory"), std::string("C:\\Games\\J\xFCrgen \x80" "1\tQEL\0", 23));
    EXPECT_EQ(Data(wine, setup, "Root"), std::string("%ProgramFiles%\\QEL\0", 19));
    EXPECT_EQ(wine.FindValue(setup, "Root")->type, 2u);
    EXPECT_EQ(Data(wine, setup, "Count"), std::string("\x0A\0\0\0", 4));
    EXPECT_EQ(Data(wine, setup, "List"), std::string("a\0\0\0b\0", 6));
    EXPECT_EQ(Data(wine, "Software\\Wine\\[odd] key", ""), std::string("say \"x\"\0", 8));

    // Each reader takes only its own format.
    RegistryStore other;
    EXPECT_EQ(other.Decode(system_reg), RegistryStore::LoadResult::kDamaged);
    EXPECT_EQ(other.DecodeWine("REGEDIT4\r\n\r\n"), RegistryStore::LoadResult::kDamaged);
}

}  // namespace
