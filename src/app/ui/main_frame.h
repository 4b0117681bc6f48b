#pragma once
// The main window: menus, the main, zoom and lap tool bars, the status bar,
// the "Plot Settings" bar fixed at the left edge and the track map in the
// middle. Commands keep their numeric ids in one table: text, handler, and
// the update that decides whether they are enabled and checked, run after
// every command and every change of the document.
//
// The window's placement is kept in the settings store between runs, and
// the seven most recently opened replays are listed in the File menu.

#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/groove_export.h"
#include "document/rpy_graph_doc.h"

class CRpyGraphView;
class ReportLapPicker;
class Drivers;
class Header;
class Interaction;
class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QToolBar;
class PlaybackBars;
class RaceReplay;
class ViewDialog;

class CMainFrame : public QMainWindow, public DocumentObserver {
    Q_OBJECT
public:
    // Command ids of the menus and tool bars.
    enum Id {
        kClearAll = 57600, kOpen = 57601, kPrintSetup = 57606, kPrint = 57607, kPrintPreview = 57609,
        kAbout = 57664, kExit = 57665, kViewToolbar = 59392, kViewStatusBar = 59393,
        kAddReplayLap = 32776, kOpenNewest = 32816, kTogglePlotSettings = 32787, kToggleZoomBar = 32793,
        kToggleLapBar = 32812, kViewReadme = 32794, kZoomIn = 32790, kZoomOut = 32791, kFitToTrack = 32792,
        kPanningTool = 32800, kToggleLap1 = 32795, kSaveTrackMapBitmap = 32810,
        kReplayCDDatabaseCreator = 32818, kGraph = 32771, kGraphTool = 32838, kTogglePlaybackBar = 32786,
        kSaveReplayLap = 32802, kMergeAllLaps = 32824, kSaveTelemetryText = 32806, kExportLapToGroove = 32821,
        kSettings = 32801,
        kArrangeLaps = 32828,
        kReportsPractice = 32772, kReportsRace = 32773, kReportsLapByLap = 32774, kReportsComplete = 32775,
        kReportsMechanical = 32809, kReportsLapChart = 32777, kReportsDetailedRace = 32825,
        kToolsEngineDetection = 32819, kToolsSeasonEngineInfo = 32841, kToolsLaptimeVerifier = 32826,
        kToolsSectorTimes = 32827, kToolsSpeedReport = 32839,
        kGraphicalRaceReport = 32815, kRaceHistoryGraph = 32834,
        kLapFinder = 32804, kQELRankHandicap = 32811, kTrackOrganizer = 32813,
        kExportRecords = 32807,
        kToolsGearChange = 32808, kToolsTractionCircle = 32832, kToolsRatings = 32837, kToolsSpeedTrack = 32843,
        kGenerateReportSite = 32840, kReportSiteListener = 32842,
        kPBViewer = 32823, kNextPane = 57680, kPrevPane = 57681,
    };

    CMainFrame(CRpyGraphDoc& doc, Interaction& ui);
    ~CMainFrame() override;

    CRpyGraphView& View() const { return *view_; }
    ViewDialog& PlotSettings() const { return *plot_settings_; }
    // The race playback bar and the dock it stands in (hidden outside race
    // mode), the playback tool bar and the map's right-button menu.
    RaceReplay& RaceBar() const { return *race_bar_; }
    QDockWidget* RaceDock() const { return race_dock_; }
    QToolBar* PlaybackToolBar() const { return playback_bar_; }
    QMenu* MapContextMenu() const { return context_menu_; }
    QAction* Action(int id) const;
    QToolBar* MainToolBar() const { return main_bar_; }
    // Runs a command as its menu item would, when it is enabled.
    bool Run(int id);
    // Enabled and checked states of every command, from the document and
    // the view.
    void RefreshCommands();
    // The groove parameters dialog, replaceable for tests: the parameters,
    // or nullopt on Cancel.
    std::function<std::optional<groove_export::Parameters>()> groove_dialog;

    // The status bar's Caps, Num and Scroll Lock panes (LockIndicators::Pane
    // order), beside its message pane.
    QLabel* LockPane(int pane) const { return lock_panes_.at(static_cast<size_t>(pane)); }

    // Restores the stored placement, or leaves the default one.
    void RestorePlacement();
    void SavePlacement();
    const std::vector<std::string>& RecentFiles() const { return recent_files_; }

    void OnDocumentChanged(CRpyGraphDoc& doc, Change change) override;

    // The one-lap chooser of the report commands: shows the captions and
    // returns the index chosen, -1 on Cancel. By default the modal
    // "Feature only based on one file - choose which to use".
    void SetOneLapChooser(std::function<int(const std::vector<std::string>&)> chooser) {
        one_lap_chooser_ = std::move(chooser);
    }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Command {
        int id = 0;
        QString text;
        QString icon;
        QKeySequence shortcut;
        std::function<void()> handler;
        std::function<bool()> enabled;
        std::function<bool()> checked;  // null: not checkable
    };
    void AddCommand(Command command);
    // The enable rules the commands share. Idle: no lap or race is playing,
    // paused or running fast, and the report site listener is not open
    // (reports, tools, graphs, printing, clearing and opening). LapsStill:
    // idle and not in race mode (adding, saving, merging and arranging
    // laps, and the lap toggles).
    bool Idle() const;
    bool LapsStill() const;
    void BuildCommands();
    void BuildMenus();
    void BuildToolBars();
    // File > Save replay lap, Merge all laps, Save telemetry to text file and
    // Tools > Track Creating Tools > Export Lap To Groove (main_frame_writers.cpp).
    void BuildWriterCommands();
    void BuildWriterMenus();
    void OnExportLapToGroove();
    // The race charts of the Reports menu (main_frame_race_charts.cpp).
    void BuildRaceChartCommands();
    void BuildRaceChartMenu();
    void OnGraphicalRaceReport();
    void OnRaceHistoryGraph();
    // Reports > Generate Report site (html) and Report Site Listener
    // (main_frame_report_site.cpp).
    void BuildReportSiteCommands();
    void BuildReportSiteMenu();
    void OnGenerateReportSite();
    void OnReportSiteListener();
    void RebuildRecentMenu();
    // Replay CD catalogues (main_frame_catalogues.cpp).
    void BuildCatalogueCommands();
    void BuildCatalogueMenus();
    void OnReplayCDDatabaseCreator();
    // Replay library and ranking tools (main_frame_library.cpp).
    void BuildLibraryCommands();
    void BuildLibraryMenus();
    // Personal-best records (main_frame_records.cpp).
    void BuildRecordsCommands();
    void BuildRecordsMenus();
    void OnExportRecords();
    // Tools > PB Viewer (main_frame_pb_viewer.cpp).
    void BuildPBViewerCommands();
    void BuildPBViewerMenus();
    void OnPBViewer();
    void OnOpen();
    void OnPrint();
    void OnPrintPreview();
    void OnPrintSetup();
    void OnTogglePlotSettings();
    // F6 and Shift+F6: the keyboard focus to the next (step 1) or previous
    // (-1) pane: the bar at the left edge, then the track map.
    void MoveFocusToPane(int step);
    // Tools > Graph and its tool-bar button (main_frame_graph.cpp).
    void BuildGraphCommands();
    void BuildGraphMenus();
    void OnGraph();
    void UpdateTitle();
    // The lock-key panes of the status bar (main_frame_status_bar.cpp).
    void BuildLockPanes();
    void UpdateLockPanes();
    // The Playback commands, menu and tool bar, the race playback bar and
    // the map's right-button menu.
    void BuildPlayback();
    // The report, settings and arranger commands (main_frame_reports.cpp).
    void BuildViewCommands();
    void BuildViewMenus();
    // The report commands' way to their lap or replay.
    ReportLapPicker ReportPicker();
    void OnLapOrFileReport(int kind);
    void OnChosenLapReport(int kind);
    void OnLoadedLapsReport(int kind);
    void OpenReport(int kind, Drivers* drivers, Header* header);
    void OnSettings();
    void OnArrangeLaps();
    QMenu* MenuNamed(const QString& title);
    // The analysis tools: gear changes, traction circle, ratings and speed
    // along the track (main_frame_tools.cpp).
    void BuildToolCommands();
    void BuildToolMenus();
    void OnToolsGearChange();
    void OnToolsTractionCircle();
    void OnToolsRatings();
    void OnToolsSpeedTrack();

    CRpyGraphDoc& doc_;
    Interaction& ui_;
    CRpyGraphView* view_ = nullptr;
    ViewDialog* plot_settings_ = nullptr;
    QDockWidget* plot_dock_ = nullptr;
    QToolBar* main_bar_ = nullptr;
    QToolBar* zoom_bar_ = nullptr;
    QToolBar* lap_bar_ = nullptr;
    QMenu* recent_menu_ = nullptr;
    std::map<int, Command> commands_;
    std::map<int, QAction*> actions_;
    std::vector<std::string> recent_files_;
    class QPrinter* printer_ = nullptr;
    QToolBar* playback_bar_ = nullptr;
    RaceReplay* race_bar_ = nullptr;
    QDockWidget* race_dock_ = nullptr;
    QMenu* context_menu_ = nullptr;
    std::unique_ptr<PlaybackBars> playback_bars_;
    std::function<int(const std::vector<std::string>&)> one_lap_chooser_;
    std::unique_ptr<class ReportSiteListener> listener_;
    class XkbLockIndicators* lock_lights_ = nullptr;
    std::array<QLabel*, 3> lock_panes_{};

public:
    // The open report site listener, or null.
    ReportSiteListener* Listener() const { return listener_.get(); }
};
