#pragma once
// Shared by the fuzz targets: a private scratch folder for the process, so
// each input reaches its reader as a file, the way the program meets it.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace fuzz {

// The folder is made once per process (targets may run side by side, each
// needs its own) and removed when the process ends normally.
class Scratch {
public:
    static const std::filesystem::path& Folder() {
        static Scratch scratch;
        return scratch.folder_;
    }

private:
    Scratch() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ostrevan-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        folder_ = pattern;
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    std::filesystem::path folder_;
};

// Replaces the file at relative (folders made as needed) with the bytes and
// returns its path.
inline std::filesystem::path WriteInput(const std::string& relative, const uint8_t* data, size_t size) {
    const std::filesystem::path path = Scratch::Folder() / relative;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) std::abort();  // a scratch folder that cannot be written tests nothing
    return path;
}

}  // namespace fuzz
