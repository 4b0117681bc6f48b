#pragma once
// The report site listener: a modeless window that watches the simulator's
// replay folder while races are run and writes a report site, into the
// folder typed in it, for every new replay once the simulator has finished
// writing it. Its two-second timer only ticks the ReportSiteWatcher.
//
// While listening it borrows the document's track slot for each replay,
// so Start and Stop clear the document's laps; closing the window (Esc,
// the close box) while idle leaves the document as it is.

#include <QDialog>
#include <string>

#include "reports/report_site_watcher.h"
#include "reports/ui/site_chart_images.h"

class CRpyGraphDoc;
class Interaction;
class QLineEdit;
class QPushButton;
class QTimer;

class ReportSiteListener : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPollMs = 2000;

    // The seam, the document and the track map's drawing are borrowed and
    // must outlive the window. The folder edit starts with the settings'
    // export path.
    ReportSiteListener(Interaction& ui, CRpyGraphDoc& doc, SiteChartImages::TrackMap track_map,
                       QWidget* parent = nullptr);
    ~ReportSiteListener() override;

    // "Start": clears the document, takes every replay present as dealt
    // with, locks the folder and starts the timer.
    void OnStart();
    // "Stop", Esc and the close box: while listening, stops the timer and
    // clears the document; then hides the window.
    void OnStop();
    // "Browse": a folder chooser whose choice replaces the folder.
    void OnBrowse();
    // The timer's work: one tick of the watcher.
    ReportSiteWatcher::Outcome OnTimer();

    bool listening() const { return watcher_.listening(); }
    QPushButton* stop_button() const { return stop_; }
    QPushButton* start_button() const { return start_; }
    QPushButton* browse_button() const { return browse_; }
    QLineEdit* folder_edit() const { return folder_; }
    QTimer* timer() const { return timer_; }

protected:
    void reject() override;

private:
    ReportSiteWatcher::Handled WriteSite(const std::filesystem::path& replay);
    void SetListening(bool listening);

    Interaction& ui_;
    CRpyGraphDoc& doc_;
    SiteChartImages::TrackMap track_map_;
    ReportSiteWatcher watcher_;
    std::string last_failure_;
    bool in_timer_ = false;
    QPushButton* stop_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* browse_ = nullptr;
    QLineEdit* folder_ = nullptr;
    QTimer* timer_ = nullptr;
};
