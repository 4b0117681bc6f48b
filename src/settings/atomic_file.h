#pragma once
// Whole-file reading and writing for every file that holds user data or
// replaces an earlier output (the registry hives, ini files, the season
// file, report files). A write never leaves a half written file behind: the
// bytes go to a temporary file in the same folder, which is flushed to disk
// and then renamed over the target. Nothing is ever written into a special
// file (a FIFO, a device, a folder) found where the target should be: it is
// refused.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace atomic_file {

// What a symbolic link found at the target means.
enum class Links {
    kFollow,   // the file it names is replaced and the link stays
    kReplace,  // the link itself is replaced; nothing is written through it
};

enum class ReadResult {
    kRead,        // out holds the whole file
    kMissing,     // no such file
    kUnreadable,  // exists but cannot be read, is not a regular file, or is larger than max_bytes
};

// Reads the whole file into out (emptied first). Files larger than max_bytes
// are refused rather than read in part.
ReadResult Read(const std::filesystem::path& path, size_t max_bytes, std::string& out);

// Replaces the file at path with bytes, through AtomicFile below. False
// when any step fails; the old file is then untouched and no temporary file
// is left behind.
bool Write(const std::filesystem::path& path, std::string_view bytes,
           std::optional<std::filesystem::perms> mode = std::nullopt, Links links = Links::kFollow);

// The name of a temporary file that Ostrevan makes for the file called
// name (AtomicFile's, and a writer's scratch folder): "." + name +
// ".ostrevan-" and six letters or digits. The mark is one that no other tool
// writes, so a clean-up can tell what a run of Ostrevan left from the user's
// backups (".index.html.backup") and other tools' temporary files (rsync's
// ".index.html.Ab12Cd"). TemporaryPattern gives the name with "XXXXXX" for
// mkstemp or mkdtemp.
std::string TemporaryPattern(std::string_view name);
bool IsTemporaryOf(std::string_view entry, std::string_view name);

// The file that a write to path replaces when links are followed: the file
// a symbolic link at path leads to, through a chain of links too, or path
// itself when it is no link. Empty (with errno set) when the link cannot be
// resolved (a loop). Whatever is kept beside the file it replaces (a lock)
// is kept beside this one, so that every link to a file shares it.
std::filesystem::path FollowLinks(const std::filesystem::path& path);

// Makes the renames done in folder durable (an fsync of the folder); a
// folder that cannot be opened for this still holds the renamed files, so
// nothing is reported.
void SyncFolder(const std::filesystem::path& folder);

}  // namespace atomic_file

// The replacement of one file, written piece by piece: Begin makes a
// temporary file beside the target, Append writes to it (buffered), Finish
// flushes it to disk, and Commit renames it over the target. Until Commit
// the target is untouched; an object destroyed before Commit, or a failed
// step, removes the temporary file. Several files can be finished first and
// committed together, so that a failure while writing any of them leaves
// all of them as they were.
//
// mode gives the permissions of the new file; without it an existing file
// keeps its permissions and a new one gets 0666 less the process umask. A
// symbolic link at the path is followed, so the file it names is replaced
// and the link stays, unless Begin is told to replace links (for files in a
// folder that others may plant links in). The folder must exist.
class AtomicFile {
public:
    AtomicFile();
    virtual ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Starts replacing path. False when something other than a regular file
    // stands at path (a FIFO, a device, a socket, a folder: never opened),
    // or the temporary file cannot be made (no such folder, no permission).
    bool Begin(const std::filesystem::path& path, std::optional<std::filesystem::perms> mode = std::nullopt,
               atomic_file::Links links = atomic_file::Links::kFollow);
    // Adds bytes. False once any write has failed (a full disk): the file
    // is then failed for good and can only be discarded.
    bool Append(std::string_view bytes);
    // Writes out what is buffered, flushes the temporary file to disk and
    // closes it. After it returns true the new content is whole on disk.
    bool Finish();
    // Finishes when that is not done and renames the temporary file over the
    // target. False when that fails; the target is then as it was. The
    // rename is made durable at once, or (kLater) by the caller's
    // atomic_file::SyncFolder once for several files of one folder.
    enum class FolderSync { kNow, kLater };
    bool Commit(FolderSync folder_sync = FolderSync::kNow);
    // As Commit, but only when nothing stands at the target: a file that
    // appeared there meanwhile is left as it is, and false is returned with
    // errno EEXIST.
    bool CommitNew();
    // Removes the temporary file; the target stays as it was.
    void Discard();

    // The temporary file between Begin and Commit, for a writer that opens
    // it by name (the PDF printer). The file stays open here, so Finish
    // flushes what that writer put into it to disk as well.
    const std::filesystem::path& temp_path() const { return temp_; }

    bool failed() const { return failed_; }
    bool committed() const { return committed_; }
    const std::filesystem::path& target() const { return target_; }

protected:
    // Writes all of bytes to the temporary file's descriptor; false (with
    // errno set) when it cannot. The one place where bytes reach the disk,
    // so a test can stand in a full disk here.
    virtual bool WriteOut(int fd, std::string_view bytes);

private:
    bool Flush();
    // Discards the temporary file and marks the file failed; keeps errno.
    bool Fail();

    std::filesystem::path target_;
    std::filesystem::path temp_;
    int fd_ = -1;
    uint32_t mode_ = 0;
    std::string buffer_;
    bool failed_ = false;
    bool finished_ = false;
    bool committed_ = false;
};
