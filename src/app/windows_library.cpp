#include "app/windows_library.h"

#include <dlfcn.h>

#include <filesystem>
#include <iostream>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Beside the program first: a build folder holds both there. An installed
// program finds its libraries under the library folder named at build time.
std::vector<fs::path> Candidates(const std::string& file) {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    std::vector<fs::path> out;
    if (!error) {
        out.push_back(program.parent_path() / file);
        out.push_back(program.parent_path() / OSTREVAN_LIBRARY_DIR / file);
    }
    return out;
}

int Run(const std::string& file, const char* entry_name, int& argc, char** argv, const CommandLine& command) {
    std::string why = "not found beside the program";
    for (const fs::path& path : Candidates(file)) {
        std::error_code error;
        if (!fs::exists(path, error)) continue;
        // The library is never closed: Qt's objects live to the process's end.
        // Its functions are bound as they are first called: a mode calls
        // few of the many it could.
        void* library = dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (!library) {
            why = dlerror();
            break;
        }
        const auto entry = reinterpret_cast<LibraryEntry>(dlsym(library, entry_name));
        if (!entry) {
            why = path.string() + " has no entry " + entry_name;
            break;
        }
        return entry(&argc, argv, &command);
    }
    std::cerr << "Ostrevan cannot load " << file << ": " << why << "\n";
    return 1;
}

}  // namespace

int RunInteractiveLibrary(int& argc, char** argv, const CommandLine& command) {
    return Run("libostrevan_windows.so", kInteractiveEntry, argc, argv, command);
}

int RunReportSiteLibrary(int& argc, char** argv, const CommandLine& command) {
    return Run("libostrevan_site.so", kReportSiteEntry, argc, argv, command);
}
