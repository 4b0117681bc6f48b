#include "reports/report_site_watcher.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "settings/file_times.h"
#include "settings/path_lookup.h"

ReportSiteWatcher::ReportSiteWatcher(std::function<std::optional<std::filesystem::path>()> folder)
    : folder_(std::move(folder)) {}

std::map<std::string, ReportSiteWatcher::Entry> ReportSiteWatcher::List() const {
    std::map<std::string, Entry> files;
    const auto folder = folder_ ? folder_() : std::nullopt;
    if (!folder) return files;
    for (const auto& path : path_lookup::ListFiles(*folder, "*.rpy")) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(path, ec);
        const auto modified = file_times::ModificationTime(path);
        const auto created = file_times::CreationTime(path);
        if (ec || !modified) continue;  // gone meanwhile
        Entry e;
        e.path = path;
        e.identity = {*modified, size};
        // Overwriting a file in place keeps its creation time: the later of
        // the two times tells when the replay was last made.
        e.order = std::max(*modified, created.value_or(*modified));
        files.emplace(path.filename().string(), std::move(e));
    }
    return files;
}

void ReportSiteWatcher::Start() {
    dealt_with_.clear();
    for (const auto& [name, e] : List()) dealt_with_[name] = e.identity;
    pending_.reset();
    failed_.reset();
    listening_ = true;
}

void ReportSiteWatcher::Stop() {
    listening_ = false;
    pending_.reset();
}

ReportSiteWatcher::Outcome ReportSiteWatcher::Tick(const Handler& handle) {
    if (!listening_ || in_tick_) return Outcome::kIdle;
    const auto files = List();
    const Entry* newest = nullptr;
    std::string newest_name;
    for (const auto& [name, e] : files) {
        const auto known = dealt_with_.find(name);
        if (known != dealt_with_.end() && known->second == e.identity) continue;
        if (!newest || e.order > newest->order) {
            newest = &e;
            newest_name = name;
        }
    }
    if (!newest) {
        pending_.reset();
        return Outcome::kNothing;
    }
    const auto seen = std::make_pair(newest_name, newest->identity);
    if (pending_ != seen) {
        pending_ = seen;
        return Outcome::kWaiting;
    }

    in_tick_ = true;
    const Handled handled = handle ? handle(newest->path) : Handled::kSkipped;
    in_tick_ = false;
    pending_.reset();
    const bool retried = failed_ == seen;
    failed_.reset();
    if (handled == Handled::kFailed && !retried) {
        failed_ = seen;
        return Outcome::kRetrying;
    }
    // Everything present now is dealt with: the handled replay, and older
    // new ones that lost to it.
    for (const auto& [name, e] : files) dealt_with_[name] = e.identity;
    switch (handled) {
    case Handled::kWritten: return Outcome::kWritten;
    case Handled::kSkipped: return Outcome::kSkipped;
    default: return Outcome::kFailed;
    }
}
