#pragma once
// The report window: shows one text report of a replay in a fixed-pitch,
// read-only text, exports it to a .txt file and prints it.
//
// The creator sets the members below, then shows or runs the dialog; the
// report of kinds 1 to 5 is written when the dialog is first shown, those of
// kinds 6 to 12 when the text first gets the focus. Kinds whose writer the
// program does not have write nothing. The Drivers, Header, document and
// view are borrowed, never owned.

#include <QDialog>
#include <functional>
#include <string>

#include "reports/mechanical_report.h"
#include "reports/report_files.h"

class CRpyGraphDoc;
class CRpyGraphView;
class Drivers;
class Header;
class QLabel;
class QPlainTextEdit;
class QPrinter;
struct LoadedLaps;
struct ReportInput;
class Interaction;

class Report : public QDialog {
    Q_OBJECT

public:
    // Messages, choosers and the printer set-up go through the seam, which
    // must outlive the dialog.
    explicit Report(Interaction& ui, QWidget* parent = nullptr);
    ~Report() override;

    // Writes the report of m_nKind when it is one of 1 to 5 (done once,
    // when the dialog is first shown).
    void OnInitDialog();
    // The text's first focus: writes kinds 6 to 12 once.
    void OnEditSetFocus();
    void OnExportToFile();
    void OnPrint();
    // Writes the practice, race, lap chart, lap by lap and complete reports
    // of m_pDrivers and m_pHeader (and with mech the mechanical report) to
    // files named by the prefix and the replay's file name, as the
    // unattended export does. The result names what was written and any
    // file that failed; with no replay set, nothing is written.
    report_files::ExportResult ExportAllReports(const std::string& prefix, bool mech);

    // The text shown, as the writers made it ("\r\n" line ends).
    const std::string& ReportText() const { return m_text; }
    QString TitleText() const;
    // Pages of the last print job (0 when nothing was printed).
    int PrintedPages() const { return m_nPrintedPages; }

    int m_bFindView = 0;
    Drivers* m_pDrivers = nullptr;
    Header* m_pHeader = nullptr;
    CRpyGraphDoc* m_pDoc = nullptr;
    CRpyGraphView* m_pView = nullptr;
    int m_nKind = 0;
    int m_nCurrentKind = 0;
    int m_bSiteMode = 0;
    // The document's copies of the settings OffTheTrackInRaceReport and
    // RetireInRaceReport.
    int m_bOffTrackInRaceReport = 1;
    int m_bRetireInRaceReport = 0;
    // The document's loaded laps with its track length and MPH setting:
    // kinds 9 to 11 report on them, the detailed race takes the track
    // length from them (borrowed; may be null).
    const LoadedLaps* m_pLaps = nullptr;

    // The mechanical scan's car status table, kept after each scan.
    const CarStatusTable& CarStatus() const { return m_scan.status(); }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Interaction& seam_;
    // Runs the writer of a kind; false when there is none for it.
    bool WriteKind(int kind);
    void SetReport(const QString& title, std::string text);
    // Grows the shown text by one piece and repaints at once, so a long
    // scan is seen to progress.
    void AppendText(const std::string& piece);
    // Runs the mechanical scan before the race results when their problem
    // column is wanted (not while the report site is written).
    void ScanForRace(const ReportInput& in);
    // Writes one of the kinds over the document's loaded laps (9 to 11);
    // false without laps.
    bool WriteLapKind(int kind);
    // Writes a kind that shows its text as it grows.
    void WriteGrowing(const QString& title, const std::function<std::string()>& writer);
    int PrintText(QPrinter& printer, const QString& text);

    QLabel* m_wndTitle;
    QPlainTextEdit* m_wndReport;
    std::string m_text;
    MechanicalScan m_scan;
    bool m_initialised = false;
    int m_nPrintedPages = 0;
};
