// Settings store and Wine's registry: the bytes are the current user's hive
// file, the machine hive's, and the system.reg of the Wine prefix the
// program looks in. The hive is loaded, written and read again (the text
// must come back the same), Wine's file is read, the program's settings are
// loaded as at start-up (and a changed value saved, when the hive must
// refuse it), the simulator's folder is mapped through the prefix's drive
// link, and the bytes are read as stored arrays.
// A hive that does not parse must come through all of it unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "settings/path_lookup.h"
#include "settings/registry.h"
#include "settings/registry_store.h"
#include "settings/settings.h"

namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const auto scratch = fuzz::Scratch::Folder();
    ::setenv("OSTREVAN_CONFIG_DIR", (scratch / "config").c_str(), 1);
    ::setenv("WINEPREFIX", (scratch / "wine").c_str(), 1);
    std::error_code ec;
    std::filesystem::create_directories(scratch / "wine" / "dosdevices", ec);
    std::filesystem::create_directories(scratch / "wine" / "drive_c", ec);
    std::filesystem::create_symlink("../drive_c", scratch / "wine" / "dosdevices" / "c:", ec);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto user = fuzz::WriteInput("config/current_user.reg", data, size);
    fuzz::WriteInput("config/local_machine.reg", data, size);
    fuzz::WriteInput("wine/system.reg", data, size);

    RegistryStore store;
    const RegistryStore::LoadResult result = store.Load(user);
    if (result == RegistryStore::LoadResult::kLoaded) {
        // Whatever was read, kept lines included, is written the same way again.
        const std::string encoded = store.Encode();
        RegistryStore again;
        if (again.Decode(encoded) != RegistryStore::LoadResult::kLoaded || again.Encode() != encoded)
            __builtin_trap();
    }
    RegistryStore wine(RegistryHive::kLocalMachine);
    (void)wine.DecodeWine(bytes);

    Settings settings;
    settings.Load();
    (void)path_lookup::ToLocalPath(settings.GetQELDirectory());
    (void)path_lookup::ToLocalPath(settings.GetAltRpyPath());
    // Saving a sound hive is the store's own round trip above; saving a
    // changed value is left to the hive that must refuse it.
    settings.SetBMPSizeInPixel(settings.GetBMPSizeInPixel() + 1);
    if (result == RegistryStore::LoadResult::kDamaged && (settings.Save() || ReadAll(user) != bytes))
        __builtin_trap();
    if (result == RegistryStore::LoadResult::kLoaded) {
        RegistryStore back;
        if (back.Load(user) != RegistryStore::LoadResult::kLoaded) __builtin_trap();
    }

    std::vector<uint32_t> numbers;
    (void)CRegistry::DecodeDWordArray(bytes, numbers);
    std::vector<std::string> texts;
    (void)CRegistry::DecodeStringArray(bytes, texts);
    return 0;
}
