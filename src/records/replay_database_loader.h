#pragma once
// Walks through every replay record of every replay CD catalogue (*.rdb)
// below one folder and offers each in turn as a Header and a Drivers table,
// as if the replay itself had been read, with the catalogue's name, the
// replay's path on the medium and the medium's label.
//
//   ReplayDatabaseLoader loader;
//   loader.FindDatabases(folder);
//   while (loader.NextReplay()) use(*loader.GetHeader(), *loader.GetDrivers());
//
// The header and table belong to the loader and are valid until the next
// NextReplay or the loader's end. Only whole records are handed out. A
// catalogue that cannot be read (missing, not a regular file, a wrong
// magic, a version other than 1 to 4, a label too long) is passed over, and
// so is the rest of a catalogue after a damaged record (cut short, a path
// too long, counts beyond what a replay holds): the walk goes on with the
// next catalogue, and GetSkipped lists what was passed over so the caller
// can tell the user.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "replay/input_file.h"

class Drivers;
class Header;

class ReplayDatabaseLoader {
public:
    struct Skipped {
        std::string path;    // the catalogue file
        std::string reason;  // why, for a notice to the user
    };

    ReplayDatabaseLoader();
    virtual ~ReplayDatabaseLoader();
    ReplayDatabaseLoader(const ReplayDatabaseLoader&) = delete;
    ReplayDatabaseLoader& operator=(const ReplayDatabaseLoader&) = delete;

    // Lists every file matching "*.rdb" (without regard to case) below
    // folder, sub-folders included, in name order. folder is a stored path,
    // Windows or Linux. True when at least one was found.
    bool FindDatabases(const std::string& folder);

    // Makes the next record current; false when none is left. The record
    // before is freed either way.
    bool NextReplay();

    Header* GetHeader() const { return header_.get(); }
    Drivers* GetDrivers() const { return drivers_.get(); }
    std::string GetCDLabel() const { return label_; }
    std::string GetDatabaseName() const { return name_; }
    // Catalogues, or their rest, that were passed over so far.
    const std::vector<Skipped>& GetSkipped() const { return skipped_; }

private:
    bool OpenNextDatabase();
    // False when the record at the cursor is damaged.
    bool ReadReplayRecord();
    // Makes the buffer hold the next `want` bytes after the cursor, or what
    // is left of the file when that is less; false when the file cannot be
    // read.
    bool Fill(size_t want);
    void Skip(const std::string& reason);

    uint8_t version_ = 0;
    std::string name_;
    std::string label_;
    int index_ = -1;
    bool first_call_ = true;
    std::unique_ptr<Drivers> drivers_;
    std::unique_ptr<Header> header_;
    std::vector<std::filesystem::path> files_;
    InputFile file_;
    std::vector<uint8_t> buffer_;
    uint64_t buffer_start_ = 0;  // file offset of buffer_[0]
    uint64_t cursor_ = 0;        // file offset of the next record
    std::vector<Skipped> skipped_;
};
