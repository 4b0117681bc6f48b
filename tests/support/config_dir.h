#pragma once
// Points OSTREVAN_CONFIG_DIR at a fresh temporary folder for the lifetime of
// the object, and WINEPREFIX at an empty one beside it, so tests never touch
// the user's real configuration or Wine prefix; restores the previous
// values afterwards.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/temp_dir.h"

namespace fixture {

class ScopedConfigDir {
public:
    ScopedConfigDir() : folder_(dir_.path() / "config"), wine_prefix_(dir_.path() / "wine") {
        if (const char* old = std::getenv(kVariable)) old_ = old;
        if (const char* old = std::getenv(kWineVariable)) old_wine_ = old;
        Point(folder_);
        ::setenv(kWineVariable, wine_prefix_.c_str(), 1);
    }
    ~ScopedConfigDir() {
        Restore(kVariable, old_);
        Restore(kWineVariable, old_wine_);
    }
    ScopedConfigDir(const ScopedConfigDir&) = delete;
    ScopedConfigDir& operator=(const ScopedConfigDir&) = delete;

    // The folder the variable names (not created until something is stored).
    const std::filesystem::path& folder() const { return folder_; }
    // A scratch folder beside it.
    const std::filesystem::path& scratch() const { return dir_.path(); }
    // Points the variable somewhere else for the rest of the test.
    void Point(const std::filesystem::path& folder) { ::setenv(kVariable, folder.c_str(), 1); }
    // The Wine prefix WINEPREFIX names (not created).
    const std::filesystem::path& wine_prefix() const { return wine_prefix_; }

private:
    static void Restore(const char* variable, const std::optional<std::string>& old) {
        if (old) ::setenv(variable, old->c_str(), 1);
        else ::unsetenv(variable);
    }
    static constexpr const char* kVariable = "OSTREVAN_CONFIG_DIR";
    static constexpr const char* kWineVariable = "WINEPREFIX";
    TempDir dir_;
    std::filesystem::path folder_;
    std::filesystem::path wine_prefix_;
    std::optional<std::string> old_;
    std::optional<std::string> old_wine_;
};

}  // namespace fixture
