#include "track/file_handle.h"

#include <string_view>

FileHandle::FileHandle(const std::string& path, const char* mode) {
    const std::string_view m = mode ? mode : "";
    if (m == "r" || m == "rb") file_.Open(path);
}

FileHandle::~FileHandle() { Close(); }

int FileHandle::Close() {
    file_.Close();
    return 0;
}

bool FileHandle::Size(uint64_t& size) {
    if (!file_.is_open()) return false;
    size = file_.size();
    return true;
}

bool FileHandle::ReadAt(uint64_t offset, uint64_t count, std::vector<uint8_t>& out) {
    out.clear();
    // The buffer is never larger than what the file holds, whatever a
    // damaged count asks for.
    if (!file_.is_open() || offset > file_.size() || count > file_.size() - offset) return false;
    out.resize(static_cast<size_t>(count));
    if (!file_.ReadAt(offset, out.data(), out.size())) {
        out.clear();
        return false;
    }
    return true;
}
