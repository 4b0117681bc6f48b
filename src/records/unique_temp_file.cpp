#include "records/unique_temp_file.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

UniqueTempFile::UniqueTempFile(const std::string& prefix, const std::string& suffix) {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) return;
    const std::string pattern = (folder / (prefix + "XXXXXX" + suffix)).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd < 0) return;
    ::close(fd);
    path_ = name.data();
}

UniqueTempFile::~UniqueTempFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
}
