#pragma once
// The report site listener's watch over the simulator's replay folder,
// without any window or timer: the listener's timer calls Tick every two
// seconds, tests call it directly.
//
// Start takes every replay present as dealt with. Each tick then looks for
// the newest replay (by the later of its creation and modification times;
// the first by name wins a tie) that is new or has changed since it was
// dealt with: a new file, or one overwritten under the same name (other
// size or modification time). Such a replay is handed over only once its
// size and modification time have stayed the same from one tick to the
// next, so a replay still being written is never read. A handled replay,
// and every other replay present then, counts as dealt with: when two
// replays were finished between ticks only the newer is reported, and
// deleting the newest replay never makes an older one new again.
//
// A replay whose site could not be written at all is handed over once
// more; a second failure, or a site written only in part (whose images a
// second run would merely back up again), is told once and the replay
// counts as dealt with.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

class ReportSiteWatcher {
public:
    enum class Handled {
        kWritten,     // the site was written
        kSkipped,     // not a replay to report on (no race, one driver...): passed over for good
        kFailed,      // nothing of the site could be written: tried once more
        kIncomplete,  // the site was written without some of its parts: not tried again
    };
    enum class Outcome {
        kIdle,          // not listening, or a tick is already running
        kNothing,       // nothing new
        kWaiting,       // a new replay is still changing (or was seen only now)
        kWritten,
        kSkipped,
        kRetrying,      // nothing was written: the replay is tried once more
        kFailed,        // the site failed for good: tell the user; the replay is dealt with
    };
    // Writes the site of the replay at path.
    using Handler = std::function<Handled(const std::filesystem::path& replay)>;

    // folder gives the replay folder at each look (nullopt: none).
    explicit ReportSiteWatcher(std::function<std::optional<std::filesystem::path>()> folder);

    void Start();
    void Stop();
    bool listening() const { return listening_; }

    // One poll; handle runs at most once per tick, and a tick that comes
    // while one is running (a message box of the handler, for instance)
    // does nothing.
    Outcome Tick(const Handler& handle);

private:
    struct Identity {
        int64_t modified = 0;
        uint64_t size = 0;
        bool operator==(const Identity&) const = default;
    };
    struct Entry {
        std::filesystem::path path;
        int64_t order = 0;
        Identity identity;
    };
    std::map<std::string, Entry> List() const;

    std::function<std::optional<std::filesystem::path>()> folder_;
    bool listening_ = false;
    bool in_tick_ = false;
    std::map<std::string, Identity> dealt_with_;
    std::optional<std::pair<std::string, Identity>> pending_;
    std::optional<std::pair<std::string, Identity>> failed_;
};
