#pragma once
// A file of its own in the system's temporary folder, named from a prefix,
// six random characters and a suffix ("ZAVRO_QELRank_tempfileA1b2C3.ini"),
// created empty and readable by the user alone, and removed when the object
// goes, so two uploads never share or leave a file.

#include <string>

class UniqueTempFile {
public:
    UniqueTempFile(const std::string& prefix, const std::string& suffix);
    virtual ~UniqueTempFile();
    UniqueTempFile(const UniqueTempFile&) = delete;
    UniqueTempFile& operator=(const UniqueTempFile&) = delete;

    // Empty when the file could not be made.
    const std::string& Path() const { return path_; }
    bool Ok() const { return !path_.empty(); }

private:
    std::string path_;
};
