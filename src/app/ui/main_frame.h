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
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/rpy_graph_doc.h"

class CRpyGraphView;
class Interaction;
class QAction;
class QDockWidget;
class QMenu;
class QToolBar;
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
        kReplayCDDatabaseCreator = 32818,
        kExportRecords = 32807,
    };

    CMainFrame(CRpyGraphDoc& doc, Interaction& ui);
    ~CMainFrame() override;

    CRpyGraphView& View() const { return *view_; }
    ViewDialog& PlotSettings() const { return *plot_settings_; }
    QAction* Action(int id) const;
    // Runs a command as its menu item would, when it is enabled.
    bool Run(int id);
    // Enabled and checked states of every command, from the document and
    // the view.
    void RefreshCommands();

    // Restores the stored placement, or leaves the default one.
    void RestorePlacement();
    void SavePlacement();
    const std::vector<std::string>& RecentFiles() const { return recent_files_; }

    void OnDocumentChanged(CRpyGraphDoc& doc, Change change) override;

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
    void BuildCommands();
    void BuildMenus();
    void BuildToolBars();
    void RebuildRecentMenu();
    // Replay CD catalogues (main_frame_catalogues.cpp).
    void BuildCatalogueCommands();
    void BuildCatalogueMenus();
    void BuildCatalogueToolButtons();
    void OnReplayCDDatabaseCreator();
    // Personal-best records (main_frame_records.cpp).
    void BuildRecordsCommands();
    void BuildRecordsMenus();
    void OnExportRecords();
    void OnOpen();
    void OnPrint();
    void OnPrintPreview();
    void OnPrintSetup();
    void OnTogglePlotSettings();
    void UpdateTitle();

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
};
