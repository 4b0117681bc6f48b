#include "records/catalogue_creator.h"

#include <algorithm>
#include <memory>
#include <system_error>

#include "interaction/interaction.h"
#include "records/catalogue_format.h"
#include "records/media_drives.h"
#include "replay/byte_reader.h"
#include "replay/byte_writer.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "settings/atomic_file.h"
#include "settings/path_lookup.h"

namespace fs = std::filesystem;

const char* const CatalogueCreator::kInformationText =
    "This feature lets you burn your QEL replay files on CDs (or store on other removable media), thus saving hard "
    "disk space, and still be able to use these replay files in Ostrevan's LapFinder,\r\nPB Viewer and Export "
    "Records.\r\n\r\nIt works like this:\r\n1. Burn your QEL Replay CD with your favourite burning program\r\n2. All "
    "replay files on the CD are scanned and all drivers and their laptimes are extracted.\r\n3. This data is stored "
    "in a small database (one database per CD)\r\n4. This database is stored in a subdirectory to your "
    "\\Qel\\Replay\\ directory.\r\n5. LapFinder, PB Viewer and Export Records reads these databases when performing "
    "their tasks. If you in LapFinder choose a lap which is stored on a CD you'll be prompted to insert that CD. "
    "Export Records and PB Viewer don't need the CD, the database is enough.\r\n";

namespace {

constexpr const char* kReadFailureCaption = "Error reading replay file - is this a standard QEL replay?";
constexpr const char* kLeftOut = "\r\nFile will not be included in the database.";
constexpr const char* kCannotCreateFile = "Error creating database file, aborting...";

// The header and driver-table records of one replay, or nullopt when
// either does not read back as written (a text longer than the reader
// takes), so that nothing unreadable reaches a catalogue.
std::optional<std::string> RecordsOf(const Header& header, const Drivers& drivers) {
    ByteWriter w;
    header.WriteDatabaseRecord(w);
    drivers.WriteToDatabase(w);
    ByteReader check(w.bytes().data(), w.bytes().size());
    Header h;
    auto d = std::make_unique<Drivers>();
    if (!h.ReadDatabaseRecord(check) || !d->ReadFromDatabaseV4(check) || check.remaining() != 0) return std::nullopt;
    return std::move(w.bytes());
}

}  // namespace

CatalogueCreator::CatalogueCreator(const MediaDrives& media, Interaction& ui, std::string simulator_folder)
    : media_(media), ui_(ui), simulator_folder_(std::move(simulator_folder)) {}

bool CatalogueCreator::ScanDrives() {
    drives_.clear();
    bool any_medium = false;
    for (const MediaDrives::Medium& m : media_.List()) {
        if (m.kind != MediaDrives::Kind::kRemovable && m.kind != MediaDrives::Kind::kOptical) continue;
        DriveEntry e;
        e.root = m.root;
        e.has_medium = m.mounted;
        if (m.mounted) {
            e.label = m.volume_name + " [" + m.file_system + "]";
            // The reader takes labels of at most 199 characters; a longer
            // one is cut here so the catalogue stays readable.
            if (e.label.size() > catalogue_format::kMaxTextChars) e.label.resize(catalogue_format::kMaxTextChars);
        }
        e.text = m.root + " " + (m.mounted ? e.label : std::string(kNoDisk));
        any_medium = any_medium || m.mounted;
        drives_.push_back(std::move(e));
    }
    if (drives_.empty()) {
        drives_.push_back({kNoDrives, {}, {}, false});
        return false;
    }
    return any_medium;
}

std::optional<fs::path> CatalogueCreator::DatabaseFolder() const {
    return catalogue_format::FolderIn(simulator_folder_);
}

int CatalogueCreator::CountReplayFiles(const std::string& root) {
    replays_ = catalogue_format::FindFiles(root, "*.rpy");
    return static_cast<int>(replays_.size());
}

bool CatalogueCreator::EnsureDatabaseFolder() {
    const auto folder = DatabaseFolder();
    std::error_code ec;
    if (folder && fs::is_directory(*folder, ec)) return true;
    if (folder) {
        ui_.ShowMessage("The following directory will be created and will\r\ncontain replay CD databases:\r\n\r\n" +
                            folder->string(),
                        Interaction::Icon::Information);
        fs::create_directories(*folder, ec);
        if (!ec && fs::is_directory(*folder, ec)) return true;
    }
    ui_.ShowMessage("Error creating directory, aborting...", Interaction::Icon::Error);
    return false;
}

std::optional<fs::path> CatalogueCreator::ChooseTarget(const fs::path& folder, const std::string& label,
                                                      const AskName& ask_name) {
    std::string proposal = label;
    for (;;) {
        const std::optional<std::string> name = ask_name(proposal);
        if (!name) return std::nullopt;
        proposal = *name;
        // The name becomes a file in the catalogue folder: a separator
        // would put it somewhere else ("..\..\x"), an empty one makes ".rdb".
        if (!catalogue_format::IsAcceptableName(*name)) {
            ui_.ShowMessage("The database filename cannot be empty or contain \\ or /.\r\nPlease enter another name.",
                            Interaction::Icon::Warning);
            continue;
        }
        const std::string file = *name + catalogue_format::kExtension;
        // Catalogue names compare without regard to case, as on Windows:
        // "MyCD.rdb" is overwritten by a catalogue named "mycd".
        fs::path existing;
        for (const fs::path& p : path_lookup::ListFiles(folder, std::string("*") + catalogue_format::kExtension))
            if (path_lookup::EqualsNoCase(p.filename().string(), file)) existing = p;
        std::error_code ec;
        if (existing.empty() && !fs::exists(fs::symlink_status(folder / file, ec))) return folder / file;
        if (existing.empty()) existing = folder / file;
        switch (ui_.AskYesNoCancel("File already exists, overwrite?")) {
        case Interaction::Answer::Yes: return existing;
        case Interaction::Answer::No: continue;
        case Interaction::Answer::Cancel: return std::nullopt;
        }
    }
}

bool CatalogueCreator::CreateDatabase(const std::string& root, const AskName& ask_name, const Progress& progress) {
    // The root comes from the chosen entry itself, never from its text.
    const auto entry = std::find_if(drives_.begin(), drives_.end(),
                                    [&root](const DriveEntry& e) { return !root.empty() && e.root == root; });
    if (entry == drives_.end() || !entry->has_medium) return false;
    const std::string label = entry->label;

    const int count = CountReplayFiles(root);
    if (count == 0) {
        ui_.ShowMessage("No replay files found on selected media, aborting...", Interaction::Icon::Warning);
        return false;
    }
    if (!EnsureDatabaseFolder()) return false;
    const auto target = ChooseTarget(*DatabaseFolder(), label, ask_name);
    if (!target) return false;

    AtomicFile out;
    if (!out.Begin(*target)) {
        ui_.ShowMessage(kCannotCreateFile, Interaction::Icon::Error);
        return false;
    }
    ByteWriter head;
    head.Raw(std::string_view(catalogue_format::kMagic, sizeof catalogue_format::kMagic));  // with its NUL
    head.U8(catalogue_format::kVersion);
    head.CString(label);
    head.U32(static_cast<uint32_t>(count));
    out.Append(head.bytes());

    const int added = WriteReplayRecords(out, count, root, progress);
    if (!out.Commit()) {
        ui_.ShowMessage(kCannotCreateFile, Interaction::Icon::Error);
        if (progress) progress(0, count);
        return false;
    }
    last_written_ = *target;
    ui_.ShowMessage("The replay CD contained " + std::to_string(count) + " replays,\r\n" +
                        (added == count ? std::string("all") : std::to_string(added)) + " were added to the database.",
                    Interaction::Icon::Information);
    if (progress) progress(0, count);
    return true;
}

int CatalogueCreator::WriteReplayRecords(AtomicFile& out, int count, const std::string& root,
                                         const Progress& progress) {
    if (progress) progress(0, count);
    ui_.BeginWait();
    int added = count;
    const size_t listed = std::min(replays_.size(), static_cast<size_t>(count));
    for (size_t i = 0; i < listed; ++i) {
        const fs::path& replay = replays_[i];
        const std::string path = replay.string();
        Header header;
        if (header.Load(path) != Header::kOk) {
            ui_.ShowMessage(path + kLeftOut, Interaction::Icon::Error, kReadFailureCaption);
            --added;
            continue;
        }
        auto drivers = std::make_unique<Drivers>();
        std::optional<std::string> records;
        const std::string medium_path = catalogue_format::MediumPath(root, replay);
        if (drivers->LoadReplay(path) != 0 || !(records = RecordsOf(header, *drivers))) {
            ui_.ShowMessage(path + kLeftOut, Interaction::Icon::Error, kReadFailureCaption);
            --added;
        } else if (medium_path.size() > catalogue_format::kMaxTextChars) {
            // Cutting the path would point at another file: leave it out.
            ui_.ShowMessage(path + kLeftOut, Interaction::Icon::Error, "Replay path too long for the database");
            --added;
        } else {
            ByteWriter w;
            w.CString(medium_path);
            out.Append(w.bytes());
            out.Append(*records);
        }
        if (progress) progress(static_cast<int>(i) + 1, count);
    }
    ui_.EndWait();
    return added;
}
