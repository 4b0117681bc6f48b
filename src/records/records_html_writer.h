#pragma once
// The best-laps site of a finished records run: index.html, the overall
// pages overallPerTrack.html and overallPerTrackAllCars.html, one page per
// track row (<directory>.html) and per car column (<car page name>.html),
// and the style sheet zavro.css. Every page is built whole in memory, then
// the site goes into a new folder "<driver>_<Month>_<dd>_<yyyy>" (with
// "_1", "_2"... when that exists) inside the records folder. Files are
// written with CR LF line ends, each atomically.
//
// Names from files (driver, track names and folders) are escaped for HTML;
// a name used as a file or folder name has its path separators and control
// characters replaced by "_", so nothing is written outside the site.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

class ExportRecordsModel;
class Interaction;

class RecordsHtmlWriter {
public:
    static constexpr const char* kStyleSheetName = "zavro.css";
    static constexpr const char* kWebSite = "https://example.org/ostrevan/";
    // Told when the settings name no records folder (the export path).
    static constexpr const char* kNoRecordsFolder =
        "No export path set. Please set this\r\npath in File->Settings dialog.";

    // Borrows records, which must outlive the writer.
    explicit RecordsHtmlWriter(const ExportRecordsModel& records);
    virtual ~RecordsHtmlWriter();

    // Builds every page and writes the site into records_folder (a stored
    // path) dated by now, local time. A zavro.css in program_folder is
    // copied in place of the built-in style sheet. Failures are told
    // through ui; when no folder could be made nothing is written and
    // GetSiteFolder stays empty. True when every file was written.
    bool WriteSite(const std::string& records_folder, const std::string& program_folder, Interaction& ui,
                   std::time_t now);
    // The folder made by the last WriteSite; empty before or on failure.
    const std::string& GetSiteFolder() const { return site_folder_; }

    // Builds the page texts ("\n" line ends) for the date, without writing.
    void BuildPages(const std::tm& date);
    const std::string& IndexText() const { return index_; }
    const std::string& OverallText() const { return overall_; }
    const std::string& AllCarsText() const { return all_cars_; }
    const std::vector<std::string>& TrackPages() const { return track_pages_; }
    const std::vector<std::string>& CarPages() const { return car_pages_; }
    static std::string BuildStyleSheet();

    // "m.ss.mmm" of the low 24 bits; "&nbsp;" for no time (0xFFFFFFFF).
    static std::string FormatBestLap(uint32_t time);
    // The fixed name of a car column of the 1967 season.
    std::string GetCarPageName(int column) const;
    // name with path separators and control characters made "_", and a
    // name of dots alone made of "_": one plain component.
    static std::string SafeFileName(const std::string& name);
    static std::string EscapeHtml(const std::string& text);

private:
    enum class Title { kBestTimes, kExport };
    std::string Head(Title title, const std::string& heading, const std::string& subject) const;
    std::string BuildIndexPage() const;
    std::string BuildOverallPage() const;
    std::string BuildOverallAllCarsPage() const;
    std::string BuildTrackPage(int row) const;
    std::string BuildCarPage(int car) const;
    std::string ValueCells(int car, int row) const;

    const ExportRecordsModel& records_;
    std::string date_text_;
    std::string index_;
    std::string overall_;
    std::string all_cars_;
    std::vector<std::string> car_pages_;
    std::vector<std::string> track_pages_;
    std::string site_folder_;
};
