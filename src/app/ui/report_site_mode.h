#pragma once
// The unattended "-reportsite" mode: writes the HTML report site of one
// replay, drawing its charts and track map offscreen, without showing a
// window. Also the track map of the site as the track-map view draws it,
// for the interactive ways of writing a site.

#include <iosfwd>

#include "reports/ui/site_chart_images.h"

class CRpyGraphDoc;
class CRpyGraphView;
class Interaction;
class Settings;
struct CommandLine;

// The view's track map at the site's size: the document's bitmap size is
// set for the one save and restored afterwards; kNoTrack when the document
// holds no track. Both are borrowed by the function.
SiteChartImages::TrackMap ViewTrackMap(CRpyGraphDoc& doc, CRpyGraphView& view);

// Needs a QApplication (any platform; the program starts the offscreen
// one). Returns the exit status: 0 only when the whole site was written,
// whose folder is then printed on out. Every failure is told through ui
// (standard error in the program); a site folder that something else holds
// for the whole wait is named as busy, and nothing is written.
int RunReportSite(const CommandLine& command, Settings& settings, Interaction& ui, std::ostream& out,
                  const report_site::FolderWait& wait = {});

// The whole "-reportsite" process: the offscreen application, the settings
// and the site; the exit status.
int RunReportSiteProcess(int& argc, char** argv, const CommandLine& command);
