#pragma once
// The HTML report site of one replay: the practice, race, lap chart, lap by
// lap and mechanical reports set into a common page frame, an index page
// that sums the event up beside a small track map, two pages showing the
// race charts as PNG images, a style sheet and a spacer image, all in one
// folder named after the replay.
//
// Pages are built as whole strings in the replay's own single-byte text
// (Windows-1252, which the pages declare as iso-8859-1) with CR LF line
// ends. Text taken from the replay (names, report texts) is escaped for
// HTML, so a driver called "<b>" reads as written.

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class PngStatusLine;
struct RaceReportLayout;
class ReportSiteImages;
struct ReportInput;

namespace report_site {

// The site folder: the parent folder, "/", the replay's file name without
// folder and without the four characters from its last dot, and "/". The
// parent keeps any folder separator it ends with. The name is always a
// folder of its own inside the parent: one of dots alone, or empty, becomes
// as many underscores (at least one), and control characters become "_".
std::string SiteFolder(const std::string& parent, const std::string& replay_path);

// "&", "<" and ">" as entities, every line end CR LF.
std::string EscapeHtml(std::string_view text);

// The frame every page is set in: the head (title bar with the page's
// title, the bar of links to the other pages) and the foot.
std::string PageHead(std::string_view title);
std::string PageFoot();
// A report page: the head, the report text (escaped, line ends made CR LF)
// inside blockquote and pre, the foot.
std::string TextPage(std::string_view title, std::string_view report_text);

// What the index page sums up, each value as shown (not yet escaped).
struct IndexValues {
    std::string track;   // first character upper-cased
    std::string date;
    std::string pole;
    std::string winner;
    std::string fastest;
    std::string most_led;
    int scheduled_laps = 0;
    int drivers = 0;
};
// The values the index takes from the practice and race report texts
// ("\r\n" line ends, as the writers make them). The fastest lap and the
// most laps led are read from the first rows of their tables, found where
// the race writer says they stand (never by searching the text, where a
// driver may be named like a heading). Anything the texts do not hold (no
// practice, no race, an empty table) reads "Unknown".
void FillFromReports(IndexValues& values, const std::string& practice_text, const std::string& race_text,
                     const RaceReportLayout& race_layout);
// The index page. Every value is put in once, where its placeholder stands
// in the page's template; a value that reads like a placeholder stays as
// it is.
std::string IndexPage(const IndexValues& values);

// The fixed files of every site, byte for byte.
std::string_view StyleSheet();
std::string GraphicsPage(std::string_view title, std::string_view caption, std::string_view image);
std::string_view SpacerGif();

struct Result {
    // The site folder (ending in "/"), or empty when no page was written.
    std::string folder;
    // One line per thing that went wrong (a page, an image, a fixed file);
    // empty when the whole site is there.
    std::vector<std::string> problems;
    // Something else held the site folder for the whole wait: nothing was
    // written, and the one problem names the folder.
    bool busy = false;
    bool complete() const { return !folder.empty() && problems.empty(); }
};

// How long a run waits for a site folder that something else holds (a lock
// of another program on it, or a run stopped while it cleared the folder).
struct FolderWait {
    static constexpr std::chrono::milliseconds kStep{50};
    // The longest wait; the folder is tried once more at its end.
    std::chrono::milliseconds limit{10000};
    // Passes one step between two tries; empty: sleeps it. The wait is
    // counted in steps, so a test that passes them at once waits no time.
    std::function<void(std::chrono::milliseconds)> pause;
};

// Writes the site of the replay in `in` into a folder under `parent`. The
// folder is made when missing (the parent must exist). The six pages are
// each written whole beside their targets first and then renamed into
// place in the order Practice, Race, LapChart, LapByLap, Mechanical, index,
// so a page that cannot be written leaves every earlier page as it was and
// ends the run with an empty folder in the result. Then the three images
// (BMP from `images`, converted to PNG, the BMP deleted; earlier PNGs kept
// as backups by the converter), then the style sheet, the two graphics
// pages and the spacer image. A failed image or fixed file is named in the
// result's problems; the site is then not complete.
//
// Nothing is written through a link: a link at the site folder's name
// fails the run, and links at the names of the site's files are replaced
// by the files. The bitmaps are drawn in a hidden folder of the run's own
// inside the site folder and removed with it, so names found in the site
// folder are never deleted and runs on the same site never share a bitmap.
// A run holds the site folder while it writes (a shared lock on it); one
// that finds no other run holding it first removes what interrupted runs
// of Ostrevan left there: the hidden temporary files of the site's own
// file names that carry Ostrevan's mark (atomic_file::IsTemporaryOf), and
// bitmap folders of the same mark that hold nothing but the bitmaps. A
// folder that something else holds exclusively is waited on as `wait`
// says; then the run writes nothing and its result is busy.
//
// The mechanical scan runs once: its text is the Mechanical page, and when
// in.retire_in_race_report is set its status table fills the race page's
// "Problem" column, as in the race report. An empty parent writes nothing.
Result WriteReportSite(const ReportInput& in, const std::string& parent, ReportSiteImages& images,
                       PngStatusLine* png_status = nullptr, const FolderWait& wait = {});

}  // namespace report_site
