#include "settings/registry.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "settings/hive_cache.h"
#include "support/config_dir.h"
#include "support/replay_fixture.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kKey = "Software\\Ostrevan\\Ostrevan\\Settings";

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class RegistryTest : public ::testing::Test {
protected:
    // A wrapper with the settings key created and open.
    CRegistry& Opened() {
        EXPECT_TRUE(reg.CreateKey(RegistryHive::kCurrentUser, kKey));
        return reg;
    }
    // Stores raw bytes of any type straight into the current user's hive.
    void Store(const char* name, uint32_t type, const std::string& data) {
        RegistryStore store;
        store.Load(RegistryStore::FileOf(RegistryHive::kCurrentUser));
        ASSERT_TRUE(store.SetValue(kKey, name, type, data));
        ASSERT_TRUE(store.Save(RegistryStore::FileOf(RegistryHive::kCurrentUser)));
    }
    fs::path UserFile() const { return config.folder() / "current_user.reg"; }
    // The next test starts as a new run would (the lock wait included).
    void TearDown() override { HiveCache::Reset(); }

    fixture::ScopedConfigDir config;
    CRegistry reg{RegistryHive::kCurrentUser};
};

TEST_F(RegistryTest, ConfigFolderFollowsOverrideThenXdgThenHome) {
    const std::string old_xdg = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
    const std::string old_home = std::getenv("HOME") ? std::getenv("HOME") : "";
    EXPECT_EQ(RegistryStore::ConfigFolder(), config.folder());
    ::unsetenv("OSTREVAN_CONFIG_DIR");
    ::setenv("XDG_CONFIG_HOME", "/xdg/conf", 1);
    ::setenv("HOME", "/home/driver", 1);
    EXPECT_EQ(RegistryStore::ConfigFolder(), fs::path("/xdg/conf/Ostrevan"));
    ::setenv("XDG_CONFIG_HOME", "relative/conf", 1);
    EXPECT_EQ(RegistryStore::ConfigFolder(), fs::path("/home/driver/.config/Ostrevan"));
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(RegistryStore::FileOf(RegistryHive::kLocalMachine),
              fs::path("/home/driver/.config/Ostrevan/local_machine.reg"));
    if (old_xdg.empty()) ::unsetenv("XDG_CONFIG_HOME");
    else ::setenv("XDG_CONFIG_HOME", old_xdg.c_str(), 1);
    ::setenv("HOME", old_home.c_str(), 1);
}

TEST_F(RegistryTest, WritesRecordTypeAndSizeAndReadBack) {
    CRegistry& r = Opened();
    ASSERT_TRUE(r.WriteDword("BMPSizeInPixel", 1024));
    EXPECT_EQ(r.LastType(), 4u);
    EXPECT_EQ(r.LastSize(), 4u);
    ASSERT_TRUE(r.WriteString("RecordsPath", "C:\\Records"));
    EXPECT_EQ(r.LastType(), 1u);
    EXPECT_EQ(r.LastSize(), 11u);
    ASSERT_TRUE(r.WriteDWordArray("PB_times", {1, 2, 3}));
    EXPECT_EQ(r.LastType(), 3u);
    EXPECT_EQ(r.LastSize(), 2u + 12u);

    // A second wrapper on the same key sees the values at once, with value
    // and key names compared without regard to case.
    CRegistry other(RegistryHive::kCurrentUser);
    ASSERT_TRUE(other.Open(RegistryHive::kCurrentUser, "software\\OSTREVAN\\ostrevan\\settings"));
    uint32_t dword = 0;
    ASSERT_TRUE(other.ReadDword("bmpsizeinpixel", dword));
    EXPECT_EQ(dword, 1024u);
    std::string text;
    ASSERT_TRUE(other.ReadString("RECORDSPATH", text));
    EXPECT_EQ(text, "C:\\Records");
    EXPECT_EQ(other.LastSize(), 11u);
    EXPECT_TRUE(other.ValueExists("PB_times"));
    EXPECT_EQ(other.LastType(), 0u);
    EXPECT_FALSE(other.ValueExists("PB_none"));
    EXPECT_EQ(other.LastError(), CRegistry::kErrorFileNotFound);

    ASSERT_TRUE(other.DeleteValue("PB_times"));
    EXPECT_FALSE(r.ValueExists("PB_times"));
    EXPECT_FALSE(other.DeleteValue("PB_times"));
}

TEST_F(RegistryTest, KeysImplyTheirParentsAndFailedOpenClosesTheKey) {
    CRegistry& r = Opened();
    EXPECT_TRUE(r.KeyExists(RegistryHive::kCurrentUser, "Software\\Ostrevan"));
    EXPECT_TRUE(r.KeyExists(RegistryHive::kCurrentUser, "\\SOFTWARE\\\\ostrevan\\"));
    EXPECT_FALSE(r.KeyExists(RegistryHive::kCurrentUser, "Software\\Ostrev"));
    EXPECT_FALSE(r.KeyExists(RegistryHive::kLocalMachine, kKey));
    // KeyExists leaves the open key alone.
    EXPECT_TRUE(r.WriteDword("MPH", 1));

    EXPECT_FALSE(r.Open(RegistryHive::kCurrentUser, "Software\\Missing"));
    EXPECT_EQ(r.KeyPath(), "Software\\Missing");
    EXPECT_FALSE(r.IsOpen());
    uint32_t v = 77;
    EXPECT_FALSE(r.ReadDword("MPH", v));
    EXPECT_EQ(r.LastError(), CRegistry::kErrorInvalidHandle);
    EXPECT_EQ(v, 77u);
    EXPECT_FALSE(r.WriteDword("MPH", 2));
}

struct DwordCase {
    const char* label;
    uint32_t type;
    std::string data;
    bool ok;
    uint32_t expected;  // out value afterwards (55 = untouched)
};

TEST_F(RegistryTest, DwordReadsTakeRawBytesOfAnyTypeUpToFour) {
    const DwordCase cases[] = {
        {"dword", 4, std::string("\x00\x03\x00\x00", 4), true, 768},
        {"binary of 2 bytes", 3, std::string("\x34\x12", 2), true, 0x1234},
        {"string of 3 bytes", 1, std::string("12\0", 3), true, 0x3231},
        {"empty binary", 3, "", true, 0},
        {"binary of 5 bytes", 3, std::string("\x01\x02\x03\x04\x05", 5), false, 55},
        {"long string", 1, std::string("768\0", 4) + "x", false, 55},
    };
    CRegistry& r = Opened();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Store("Value", c.type, c.data);
        uint32_t v = 55;
        EXPECT_EQ(r.ReadDword("Value", v), c.ok);
        EXPECT_EQ(v, c.expected);
        EXPECT_EQ(r.LastType(), c.type);
        EXPECT_EQ(r.LastSize(), c.data.size());
        if (!c.ok) {
            EXPECT_EQ(r.LastError(), CRegistry::kErrorMoreData);
        }
    }
}

TEST_F(RegistryTest, StringsAreReadWholeAndOnlyFromStringValues) {
    CRegistry& r = Opened();
    const std::string long_path(300, 'p');
    ASSERT_TRUE(r.WriteString("RecordsPath", long_path));
    std::string text = "old";
    ASSERT_TRUE(r.ReadString("RecordsPath", text));
    EXPECT_EQ(text, long_path);

    Store("NoTerminator", 1, "C:\\QEL");
    ASSERT_TRUE(r.ReadString("NoTerminator", text));
    EXPECT_EQ(text, "C:\\QEL");

    ASSERT_TRUE(r.WriteDword("Number", 0x41));
    text = "old";
    EXPECT_FALSE(r.ReadString("Number", text));
    EXPECT_EQ(r.LastError(), CRegistry::kErrorUnsupportedType);
    EXPECT_EQ(text, "old");
    EXPECT_FALSE(r.ReadString("Missing", text));
    EXPECT_EQ(text, "old");
}

TEST_F(RegistryTest, ArraysUseTheFrameworkArchiveForm) {
    EXPECT_EQ(CRegistry::EncodeDWordArray({0x01020304, 0xFFFFFFFF}),
              std::string("\x02\x00\x04\x03\x02\x01\xFF\xFF\xFF\xFF", 10));
    // Length prefixes: one byte up to 254, 0xFF and 16 bits below 0xFFFE,
    // else 0xFF, 0xFFFF and 32 bits.
    const std::string s254(254, 'a'), s255(255, 'b'), s65534(65534, 'c');
    const std::string bytes = CRegistry::EncodeStringArray({"monza", s254, s255, s65534});
    size_t at = 0;
    EXPECT_EQ(bytes.substr(at, 2), std::string("\x04\x00", 2));
    at += 2;
    EXPECT_EQ(bytes.substr(at, 6), std::string("\x05monza"));
    at += 6;
    EXPECT_EQ(bytes.substr(at, 1), "\xFE");
    at += 1 + 254;
    EXPECT_EQ(bytes.substr(at, 3), std::string("\xFF\xFF\x00", 3));
    at += 3 + 255;
    EXPECT_EQ(bytes.substr(at, 7), std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7));
    at += 7 + 65534;
    EXPECT_EQ(at, bytes.size());

    std::vector<std::string> back;
    ASSERT_TRUE(CRegistry::DecodeStringArray(bytes, back));
    EXPECT_EQ(back, (std::vector<std::string>{"monza", s254, s255, s65534}));

    // From 0xFFFF elements on, the count is 0xFFFF followed by 32 bits.
    const std::vector<uint32_t> many(0xFFFF, 7);
    const std::string wide = CRegistry::EncodeDWordArray(many);
    EXPECT_EQ(wide.substr(0, 6), std::string("\xFF\xFF\xFF\xFF\x00\x00", 6));
    std::vector<uint32_t> many_back;
    ASSERT_TRUE(CRegistry::DecodeDWordArray(wide, many_back));
    EXPECT_EQ(many_back, many);
}

TEST_F(RegistryTest, ArraysKeepTheCallersSize) {
    CRegistry& r = Opened();
    ASSERT_TRUE(r.WriteDWordArray("PB_times", {11, 22, 33}));
    ASSERT_TRUE(r.WriteStringArray("PB_tracks", {"monza", "spa"}));

    std::vector<uint32_t> wider(5, 9);
    ASSERT_TRUE(r.ReadDWordArray("PB_times", wider));
    EXPECT_EQ(wider, (std::vector<uint32_t>{11, 22, 33, 0, 0}));
    std::vector<uint32_t> narrower(2, 9);
    ASSERT_TRUE(r.ReadDWordArray("PB_times", narrower));
    EXPECT_EQ(narrower, (std::vector<uint32_t>{11, 22}));

    std::vector<std::string> tracks(3, "x");
    ASSERT_TRUE(r.ReadStringArray("PB_tracks", tracks));
    EXPECT_EQ(tracks, (std::vector<std::string>{"monza", "spa", ""}));

    // Framework values may carry zero padding behind the array.
    Store("Padded", 3, CRegistry::EncodeDWordArray({5}) + std::string(100, '\0'));
    std::vector<uint32_t> one(1);
    ASSERT_TRUE(r.ReadDWordArray("Padded", one));
    EXPECT_EQ(one[0], 5u);

    // Values beyond the 8192 bytes of earlier versions read back whole.
    std::vector<uint32_t> big(4000);
    for (uint32_t i = 0; i < big.size(); ++i) big[i] = i;
    ASSERT_TRUE(r.WriteDWordArray("Big", big));
    std::vector<uint32_t> big_back(4000);
    ASSERT_TRUE(r.ReadDWordArray("Big", big_back));
    EXPECT_EQ(big_back, big);
}

TEST_F(RegistryTest, ArrayReadsFailOnOtherTypesAndBadBytesLeavingTheArray) {
    struct Case {
        const char* label;
        uint32_t type;
        std::string data;
        long error;
    };
    const Case cases[] = {
        {"dword value", 4, std::string("\x02\x00\x00\x00", 4), CRegistry::kErrorUnsupportedType},
        {"string value", 1, std::string("\x01\x00\x05\x00\x00\x00", 6), CRegistry::kErrorUnsupportedType},
        {"count beyond the bytes", 3, std::string("\x10\x00\x01\x00\x00\x00", 6), CRegistry::kErrorInvalidData},
        {"wide count beyond the bytes", 3, std::string("\xFF\xFF\xFF\xFF\xFF\x0F", 6), CRegistry::kErrorInvalidData},
        {"cut count", 3, std::string("\x01", 1), CRegistry::kErrorInvalidData},
    };
    CRegistry& r = Opened();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Store("Array", c.type, c.data);
        std::vector<uint32_t> numbers{1, 2};
        EXPECT_FALSE(r.ReadDWordArray("Array", numbers));
        EXPECT_EQ(r.LastError(), c.error);
        EXPECT_EQ(numbers, (std::vector<uint32_t>{1, 2}));
        std::vector<std::string> texts{"a"};
        EXPECT_FALSE(r.ReadStringArray("Array", texts));
        EXPECT_EQ(texts, std::vector<std::string>{"a"});
    }
    // A string longer than the bytes left, and a Unicode string.
    const std::string bad_strings[] = {std::string("\x01\x00\x09" "abc", 6),
                                       std::string("\x01\x00\xFF\xFE\xFF\x01\x61\x00", 8)};
    for (const std::string& bad : bad_strings) {
        Store("Array", 3, bad);
        std::vector<std::string> texts{"a"};
        EXPECT_FALSE(r.ReadStringArray("Array", texts));
        EXPECT_EQ(texts, std::vector<std::string>{"a"});
    }
    std::vector<uint32_t> untouched{3};
    EXPECT_FALSE(r.ReadDWordArray("Missing", untouched));
    EXPECT_EQ(untouched, std::vector<uint32_t>{3});
}

TEST_F(RegistryTest, HiveFileIsPrivateAndWrittenWithoutLeftovers) {
    Opened().WriteDword("MPH", 1);
    struct stat st {};
    ASSERT_EQ(::stat(config.folder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // The hive file, and the lock file its saves are made under.
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(config.folder())) {
        names.insert(e.path().filename().string());
        ASSERT_EQ(::stat(e.path().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u) << e.path();
    }
    EXPECT_EQ(names, (std::set<std::string>{"current_user.reg", "current_user.reg.lock"}));
}

// Two runs save values into the same file at once, as two windows closing
// together do: every value of both stands, and each run saw its saves
// succeed. Also when each run reaches the file through a configuration
// folder of its own whose file is a link (a chain of them for one) into a
// dotfiles folder: the lock is the real file's, and the links stay.
TEST_F(RegistryTest, TwoRunsSavingAtOnceKeepEachOthersValues) {
    constexpr int kValues = 150;
    const struct Case {
        const char* label;
        bool linked;
    } cases[] = {{"one folder", false}, {"two folders linked to one file", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        fixture::ScopedConfigDir fresh;
        const fs::path dotfiles = fresh.scratch() / "dotfiles";
        fs::path file = fresh.folder() / "current_user.reg";
        std::vector<fs::path> folders = {fresh.folder(), fresh.folder()};
        if (c.linked) {
            file = dotfiles / "ostrevan.reg";
            folders = {fresh.scratch() / "a", fresh.scratch() / "b"};
            fs::create_directories(dotfiles);
            fixture::WriteFile(file, "REGEDIT4\r\n");
            for (const fs::path& f : folders) fs::create_directories(f);
            fs::create_symlink("ostrevan.reg", dotfiles / "chain.reg");
            fs::create_symlink("../dotfiles/ostrevan.reg", folders[0] / "current_user.reg");
            fs::create_symlink(dotfiles / "chain.reg", folders[1] / "current_user.reg");
            fresh.Point(folders[0]);
        }
        CRegistry first(RegistryHive::kCurrentUser);
        ASSERT_TRUE(first.CreateKey(RegistryHive::kCurrentUser, kKey));
        ASSERT_TRUE(first.WriteDword("Before", 1));
        int go[2];
        ASSERT_EQ(::pipe(go), 0);
        std::vector<pid_t> runs;
        for (size_t run = 0; run < 2; ++run) {
            const pid_t pid = ::fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                ::setenv("OSTREVAN_CONFIG_DIR", folders[run].c_str(), 1);
                HiveCache::Reset();
                // Both start when the test closes the pipe.
                ::close(go[1]);
                char ch = 0;
                while (::read(go[0], &ch, 1) < 0 && errno == EINTR) {
                }
                const std::string prefix = run == 0 ? "A" : "B";
                CRegistry r(RegistryHive::kCurrentUser);
                bool ok = r.Open(RegistryHive::kCurrentUser, kKey);
                for (int i = 0; ok && i < kValues; ++i)
                    ok = r.WriteDword(prefix + std::to_string(i), static_cast<uint32_t>(i));
                ::_exit(ok ? 0 : 1);
            }
            runs.push_back(pid);
        }
        ::close(go[0]);
        ::close(go[1]);
        for (const pid_t pid : runs) {
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a save failed";
        }
        RegistryStore stored;
        ASSERT_EQ(stored.Load(file), RegistryStore::LoadResult::kLoaded);
        int kept = 0;
        for (const char* prefix : {"A", "B"})
            for (int i = 0; i < kValues; ++i) kept += stored.FindValue(kKey, prefix + std::to_string(i)) != nullptr;
        EXPECT_EQ(kept, 2 * kValues);
        // This run sees them too: the file was replaced since it read it.
        uint32_t v = 0;
        EXPECT_TRUE(first.ReadDword("B149", v));
        EXPECT_EQ(v, 149u);
        EXPECT_TRUE(first.ReadDword("Before", v));
        for (const fs::path& f : folders) {
            EXPECT_EQ(fs::is_symlink(f / "current_user.reg"), c.linked);
            EXPECT_EQ(fs::exists(f / "current_user.reg.lock"), !c.linked);
        }
        EXPECT_EQ(fs::exists(dotfiles / "ostrevan.reg.lock"), c.linked);
        HiveCache::Reset();
    }
}

// A batch with a value that cannot be stored stores none of the others,
// and the values read afterwards are the file's.
TEST_F(RegistryTest, ABatchStoresAllOrNone) {
    ASSERT_TRUE(Opened().WriteDword("MPH", 1));
    const std::string before = ReadAll(UserFile());
    CRegistry::Batch batch(RegistryHive::kCurrentUser, kKey);
    batch.WriteDword("MPH", 2);
    batch.WriteString("Two\nLines", "x");
    EXPECT_FALSE(batch.Commit());
    EXPECT_EQ(batch.LastError(), CRegistry::kErrorInvalidData);
    uint32_t v = 0;
    EXPECT_TRUE(reg.ReadDword("MPH", v));
    EXPECT_EQ(v, 1u);
    EXPECT_EQ(ReadAll(UserFile()), before);
}

TEST_F(RegistryTest, ALockHeldTooLongFailsTheChangeAndLeavesTheFile) {
    ASSERT_TRUE(Opened().WriteDword("MPH", 1));
    const std::string before = ReadAll(UserFile());
    // Another run holds the lock and does not let it go.
    const fs::path lock_file = UserFile().string() + ".lock";
    const int other = ::open(lock_file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    HiveCache::SetLockWait(std::chrono::milliseconds(0));
    EXPECT_FALSE(reg.WriteDword("MPH", 2));
    EXPECT_EQ(reg.LastError(), CRegistry::kErrorLockViolation);
    EXPECT_FALSE(reg.DeleteValue("MPH"));
    EXPECT_EQ(reg.LastError(), CRegistry::kErrorLockViolation);
    CRegistry other_key(RegistryHive::kCurrentUser);
    EXPECT_FALSE(other_key.CreateKey(RegistryHive::kCurrentUser, "Software\\Other"));
    EXPECT_EQ(other_key.LastError(), CRegistry::kErrorLockViolation);
    // What is stored already needs no lock.
    EXPECT_TRUE(reg.WriteDword("MPH", 1));
    EXPECT_EQ(ReadAll(UserFile()), before);
    ::close(other);
    EXPECT_TRUE(reg.WriteDword("MPH", 2));
}

TEST_F(RegistryTest, FailedSavesAreReported) {
    // The configuration folder cannot be made: a file stands in its way.
    fixture::WriteFile(config.scratch() / "blocked", "x");
    config.Point(config.scratch() / "blocked" / "config");
    CRegistry r(RegistryHive::kCurrentUser);
    EXPECT_FALSE(r.CreateKey(RegistryHive::kCurrentUser, kKey));
    EXPECT_EQ(r.LastError(), CRegistry::kErrorWriteFault);
    EXPECT_FALSE(r.WriteDword("MPH", 1));
}

TEST_F(RegistryTest, UnreadableHiveIsNeverReplaced) {
    // A folder where the hive file should be: it exists but cannot be read.
    fs::create_directories(UserFile() / "inside");
    CRegistry r(RegistryHive::kCurrentUser);
    EXPECT_FALSE(r.CreateKey(RegistryHive::kCurrentUser, kKey));
    EXPECT_EQ(r.LastError(), CRegistry::kErrorAccessDenied);
    EXPECT_FALSE(r.Open(RegistryHive::kCurrentUser, ""));
    EXPECT_TRUE(fs::is_directory(UserFile() / "inside"));
}

TEST_F(RegistryTest, UnparseableHiveIsNeverOverwritten) {
    // Files that are not in the export format: the earlier binary store, a
    // Unicode export, a version 5 export, a file without its first line.
    // Reads find nothing, writes fail, and the file stays byte for byte.
    const std::string cases[] = {
        std::string("OSTREG1\0\1\0\0\0", 12),
        std::string("\xFF\xFEW\0i\0n\0", 8),
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n",
        "[HKEY_CURRENT_USER\\Software\\Ostrevan\\Ostrevan\\Settings]\r\n\"MPH\"=dword:00000001\r\n",
    };
    CRegistry& open = Opened();  // opened while the file was sound
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes);
        fixture::WriteFile(UserFile(), bytes);
        uint32_t v = 0;
        EXPECT_FALSE(open.ReadDword("MPH", v));
        EXPECT_EQ(open.LastError(), CRegistry::kErrorBadDatabase);
        EXPECT_FALSE(open.WriteDword("MPH", 1));
        EXPECT_EQ(open.LastError(), CRegistry::kErrorBadDatabase);
        EXPECT_FALSE(open.DeleteValue("MPH"));
        CRegistry r(RegistryHive::kCurrentUser);
        EXPECT_FALSE(r.KeyExists(RegistryHive::kCurrentUser, kKey));
        EXPECT_EQ(r.LastError(), CRegistry::kErrorBadDatabase);
        EXPECT_FALSE(r.CreateKey(RegistryHive::kCurrentUser, kKey));
        EXPECT_EQ(r.LastError(), CRegistry::kErrorBadDatabase);
        EXPECT_FALSE(r.Open(RegistryHive::kCurrentUser, kKey));
        EXPECT_EQ(r.LastError(), CRegistry::kErrorBadDatabase);
        EXPECT_EQ(ReadAll(UserFile()), bytes);
    }
    // An emptied file holds nothing to lose: it is an empty hive.
    fixture::WriteFile(UserFile(), "\r\n");
    EXPECT_TRUE(open.WriteDword("MPH", 1));
}

}  // namespace
