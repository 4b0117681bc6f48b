#pragma once
// Points OSTREVAN_CONFIG_DIR at a fresh temporary folder for the lifetime of
// the object, so registry tests never touch the user's real configuration,
// and restores the previous value afterwards.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/temp_dir.h"

namespace fixture {

class ScopedConfigDir {
public:
    ScopedConfigDir() : folder_(dir_.path() / "config") {
        if (const char* old = std::getenv(kVariable)) old_ = old;
        Point(folder_);
    }
    ~ScopedConfigDir() {
        if (old_) ::setenv(kVariable, old_->c_str(), 1);
        else ::unsetenv(kVariable);
    }
    ScopedConfigDir(const ScopedConfigDir&) = delete;
    ScopedConfigDir& operator=(const ScopedConfigDir&) = delete;

    // The folder the variable names (not created until something is stored).
    const std::filesystem::path& folder() const { return folder_; }
    // A scratch folder beside it.
    const std::filesystem::path& scratch() const { return dir_.path(); }
    // Points the variable somewhere else for the rest of the test.
    void Point(const std::filesystem::path& folder) { ::setenv(kVariable, folder.c_str(), 1); }

private:
    static constexpr const char* kVariable = "OSTREVAN_CONFIG_DIR";
    TempDir dir_;
    std::filesystem::path folder_;
    std::optional<std::string> old_;
};

}  // namespace fixture
