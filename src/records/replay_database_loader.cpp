#include "records/replay_database_loader.h"

#include <algorithm>
#include <cstring>

#include "records/catalogue_format.h"
#include "replay/byte_reader.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "settings/path_lookup.h"

namespace {

// The largest record a catalogue can hold: a path, a header record (texts of
// at most 15 characters) and a driver table of 20 drivers with two full
// lap tables each. A record that does not end within this many bytes is
// damaged, so the reader never holds more than this beyond its cursor.
constexpr size_t kMaxRecordBytes = 200 + 128 + 64 + 20 * (64 + 32 + 2 * 150 * 5);
// Catalogues are read in pieces of this size.
constexpr size_t kReadPiece = 1 << 20;
// The head: magic, version, label of at most 199 characters, count.
constexpr size_t kMaxHeadBytes = 10 + 1 + 200 + 4;

}  // namespace

ReplayDatabaseLoader::ReplayDatabaseLoader() = default;
ReplayDatabaseLoader::~ReplayDatabaseLoader() = default;

bool ReplayDatabaseLoader::FindDatabases(const std::string& folder) {
    if (const auto local = path_lookup::ToLocalPath(folder)) {
        auto found = catalogue_format::FindFiles(*local, std::string("*") + catalogue_format::kExtension);
        files_.insert(files_.end(), found.begin(), found.end());
    }
    return !files_.empty();
}

bool ReplayDatabaseLoader::NextReplay() {
    if (first_call_) {
        first_call_ = false;
        index_ = -1;
        if (!OpenNextDatabase()) return false;
    }
    header_.reset();
    drivers_.reset();
    for (;;) {
        if (!file_.is_open()) return false;
        if (cursor_ >= file_.size()) {
            if (!OpenNextDatabase()) return false;
            continue;
        }
        if (ReadReplayRecord()) return true;
        Skip("damaged record at byte " + std::to_string(cursor_) + "; the records after it are left out");
        if (!OpenNextDatabase()) return false;
    }
}

void ReplayDatabaseLoader::Skip(const std::string& reason) {
    skipped_.push_back({files_[static_cast<size_t>(index_)].string(), reason});
}

bool ReplayDatabaseLoader::Fill(size_t want) {
    const uint64_t end = std::min<uint64_t>(file_.size(), cursor_ + want);
    if (cursor_ >= buffer_start_ && end <= buffer_start_ + buffer_.size()) return true;
    const uint64_t read_end = std::min<uint64_t>(file_.size(), cursor_ + std::max(want, kReadPiece));
    buffer_.resize(static_cast<size_t>(read_end - cursor_));
    buffer_start_ = cursor_;
    if (file_.ReadAt(cursor_, buffer_.data(), buffer_.size())) return true;
    buffer_.clear();
    return false;
}

bool ReplayDatabaseLoader::OpenNextDatabase() {
    file_.Close();
    while (++index_ < static_cast<int>(files_.size())) {
        buffer_.clear();
        buffer_start_ = cursor_ = 0;
        const std::filesystem::path& path = files_[static_cast<size_t>(index_)];
        if (file_.Open(path.string()) != InputFile::Status::kOpened) {
            Skip(file_.status() == InputFile::Status::kNotRegular ? "not a regular file" : "cannot be opened");
            continue;
        }
        if (!Fill(kMaxHeadBytes)) {
            Skip("cannot be read");
            file_.Close();
            continue;
        }
        ByteReader in(buffer_.data(), buffer_.size());
        const std::string magic = in.CString(catalogue_format::kMaxTextChars);
        if (!in.ok() || magic != catalogue_format::kMagic) {
            Skip("not a replay CD database");
            file_.Close();
            continue;
        }
        const uint8_t version = in.U8();
        std::string label = in.CString(catalogue_format::kMaxTextChars);
        in.U32();  // the number of replays found on the medium: not the number of records
        if (!in.ok()) {
            Skip("damaged head");
            file_.Close();
            continue;
        }
        // Versions 1 to 4 are the ones with record readers; a later one
        // cannot be read without guessing.
        if (version < catalogue_format::kOldestVersion || version > catalogue_format::kVersion) {
            Skip("unknown database version " + std::to_string(version));
            file_.Close();
            continue;
        }
        version_ = version;
        label_ = std::move(label);
        name_ = path.stem().string();
        cursor_ = in.pos();
        return true;
    }
    return false;
}

bool ReplayDatabaseLoader::ReadReplayRecord() {
    if (!Fill(kMaxRecordBytes)) return false;
    const size_t offset = static_cast<size_t>(cursor_ - buffer_start_);
    ByteReader in(buffer_.data() + offset, buffer_.size() - offset);
    std::string medium_path = in.CString(catalogue_format::kMaxTextChars);
    if (!in.ok()) return false;

    auto header = std::make_unique<Header>();
    const int header_ok = version_ == 1 ? header->ReadDatabaseRecordV1(in) : header->ReadDatabaseRecord(in);
    if (!header_ok) return false;
    auto drivers = std::make_unique<Drivers>();
    int drivers_ok = 0;
    switch (version_) {
    case 1: drivers_ok = drivers->ReadFromDatabaseV1(in); break;
    case 2: drivers_ok = drivers->ReadFromDatabaseV2(in); break;
    case 3: drivers_ok = drivers->ReadFromDatabaseV3(in); break;
    default: drivers_ok = drivers->ReadFromDatabaseV4(in); break;
    }
    if (!drivers_ok) return false;

    drivers->catalogue_name = name_;
    drivers->medium_path = std::move(medium_path);
    drivers->medium_label = label_;
    cursor_ += in.pos();
    header_ = std::move(header);
    drivers_ = std::move(drivers);
    return true;
}
