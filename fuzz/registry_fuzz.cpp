// Settings store: the bytes are the current user's hive file and the
// machine hive's, in the configuration folder the program reads. The hive
// is loaded, written and read again, then the program's settings are read
// from it as at start-up, and the bytes are read as the stored arrays.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "settings/registry.h"
#include "settings/registry_store.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ::setenv("OSTREVAN_CONFIG_DIR", (fuzz::Scratch::Folder() / "config").c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto user = fuzz::WriteInput("config/current_user.reg", data, size);
    fuzz::WriteInput("config/local_machine.reg", data, size);

    RegistryStore store;
    if (store.Load(user) != RegistryStore::LoadResult::kUnreadable) {
        // Whatever was kept of a damaged hive is written as a whole one.
        const std::string encoded = store.Encode();
        RegistryStore again;
        if (again.Decode(encoded) != RegistryStore::LoadResult::kLoaded || again.Encode() != encoded)
            __builtin_trap();
    }

    Settings settings;
    settings.Load();

    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<uint32_t> numbers;
    (void)CRegistry::DecodeDWordArray(bytes, numbers);
    std::vector<std::string> texts;
    (void)CRegistry::DecodeStringArray(bytes, texts);
    return 0;
}
