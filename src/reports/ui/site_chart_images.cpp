#include "reports/ui/site_chart_images.h"

#include "document/rpy_graph_doc.h"
#include "replay/header.h"
#include "reports/report_input.h"
#include "reports/report_text.h"
#include "reports/ui/graphical_race_report.h"
#include "reports/ui/relative_race_graph.h"

SiteChartImages::SiteChartImages(Interaction& ui, const CRpyGraphDoc* doc, const Drivers& drivers, const Header& header,
                                 TrackMap track_map)
    : ui_(ui), doc_(doc), drivers_(drivers), header_(header), track_map_(std::move(track_map)) {}

SiteChartImages::Result SiteChartImages::SaveRaceGraphics(const std::string& bmp_path, std::string* bytes) {
    GraphicalRaceReport chart(ui_);
    chart.SetReplay(doc_, &drivers_, &header_);
    const bool drawn = bytes ? chart.BitmapBytes(*bytes) : chart.SaveBitmap(bmp_path);
    return drawn ? Result::kWritten : Result::kFailed;
}

SiteChartImages::Result SiteChartImages::SaveRaceHistory(const std::string& bmp_path, std::string* bytes) {
    RelativeRaceGraph graph(ui_);
    graph.SetReplay(doc_, &drivers_, &header_);
    const bool drawn = bytes ? graph.BitmapBytes(*bytes) : graph.SaveBitmap(bmp_path);
    return drawn ? Result::kWritten : Result::kFailed;
}

SiteChartImages::Result SiteChartImages::SaveTrackMap(const std::string& bmp_path, int edge, std::string* bytes) {
    return track_map_ ? track_map_(bmp_path, edge, bytes) : Result::kNoTrack;
}

report_site::Result WriteSiteWithCharts(Interaction& ui, const CRpyGraphDoc* doc, const Header& header,
                                        const Drivers& drivers, const std::string& parent,
                                        SiteChartImages::TrackMap track_map, const report_site::FolderWait& wait) {
    ReportInput in;
    in.header = &header;
    in.drivers = &drivers;
    in.file_time = report_text::FileTimeText(header.path);
    if (doc) {
        in.off_track_in_race_report = doc->GetOffTheTrackInRaceReport() == 1;
        in.retire_in_race_report = doc->GetRetireInRaceReport() == 1;
    }
    SiteChartImages images(ui, doc, drivers, header, std::move(track_map));
    return report_site::WriteReportSite(in, parent, images, nullptr, wait);
}
