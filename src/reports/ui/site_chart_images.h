#pragma once
// The pictures of a report site drawn by the program's own windows: the
// graphical race report and the race history graph of the replay, drawn
// without being shown, and the track map through a function the opener
// gives (the track-map view lives above this library).

#include <functional>
#include <string>

#include "reports/report_site.h"
#include "reports/report_site_images.h"

class CRpyGraphDoc;
class Drivers;
class Header;
class Interaction;

class SiteChartImages : public ReportSiteImages {
public:
    // Draws the track map into *bytes when bytes is given, else into a file
    // at bmp_path.
    using TrackMap = std::function<Result(const std::string& bmp_path, int edge, std::string* bytes)>;

    // Everything is borrowed and must outlive the object; doc may be null.
    SiteChartImages(Interaction& ui, const CRpyGraphDoc* doc, const Drivers& drivers, const Header& header,
                    TrackMap track_map);

    bool DrawsIntoMemory() const override { return true; }
    Result SaveRaceGraphics(const std::string& bmp_path, std::string* bytes) override;
    Result SaveRaceHistory(const std::string& bmp_path, std::string* bytes) override;
    // kNoTrack when no track-map function was given.
    Result SaveTrackMap(const std::string& bmp_path, int edge, std::string* bytes) override;

private:
    Interaction& ui_;
    const CRpyGraphDoc* doc_;
    const Drivers& drivers_;
    const Header& header_;
    TrackMap track_map_;
};

// Writes the report site of one replay into a folder under parent with
// these pictures: the report options come from the document's copies of
// the settings (when doc is null, the defaults of ReportInput). A busy site
// folder is waited on as wait says.
report_site::Result WriteSiteWithCharts(Interaction& ui, const CRpyGraphDoc* doc, const Header& header,
                                        const Drivers& drivers, const std::string& parent,
                                        SiteChartImages::TrackMap track_map,
                                        const report_site::FolderWait& wait = {});
