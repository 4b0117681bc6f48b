#include "app/ui/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QUrl>
#include <filesystem>
#include <vector>

#include "app/app_profile.h"
#include "app/ui/about_dlg.h"
#include "app/playback_bars.h"
#include "app/readme_file.h"
#include "app/ui/rpy_graph_view.h"
#include "app/ui/view_dialog.h"
#include "controls/bar_scroll_area.h"
#include "reports/ui/report_site_listener.h"
#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "settings/path_lookup.h"
#include "settings/settings.h"

// The icons live in a static library, whose resources the linker would
// otherwise leave out.
static void InitResources() { Q_INIT_RESOURCE(ostrevan); }

namespace {

QString FromPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

// Opening nothing in silence would look like a dead menu item: where the
// file is, or where it was looked for, is said.
void ViewReadme(Interaction& ui, const std::string& program_folder) {
    std::error_code error;
    const std::vector<std::filesystem::path> folders =
        readme_file::Folders(std::filesystem::current_path(error), program_folder);
    if (const auto file = readme_file::Find(folders)) {
        if (!ui.OpenWithProgram(file->string()))
            ui.ShowMessage("The readme file is " + file->string() + "\nNo program could be started to show it.",
                           Interaction::Icon::Information);
        return;
    }
    std::string searched;
    for (const std::filesystem::path& folder : folders) searched += "\n" + folder.string();
    ui.ShowMessage(std::string("The readme file ") + readme_file::kName + " was not found in:" + searched,
                   Interaction::Icon::Information);
}

}  // namespace

CMainFrame::CMainFrame(CRpyGraphDoc& doc, Interaction& ui) : doc_(doc), ui_(ui) {
    InitResources();
    setWindowIcon(QIcon(":/icons/ostrevan.svg"));
    setAcceptDrops(true);
    view_ = new CRpyGraphView(doc_, this);
    setCentralWidget(view_);

    plot_settings_ = new ViewDialog(doc_, ui_, this);
    plot_dock_ = new QDockWidget("Plot Settings", this);
    plot_dock_->setObjectName("PlotSettings");
    // The bar stays at the left edge: it is neither moved nor floated.
    plot_dock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
    plot_dock_->setWidget(new BarScrollArea(plot_settings_, plot_dock_));
    addDockWidget(Qt::LeftDockWidgetArea, plot_dock_);
    view_->SetLapShownSource([this](int slot) { return plot_settings_->IsLapTicked(slot); });
    view_->SetLapCaptionSource([this](int slot) { return plot_settings_->RowText(slot); });
    view_->SetUntickLaps([this] { plot_settings_->UntickAll(); });
    connect(plot_settings_, &ViewDialog::LapsChanged, this, [this] {
        doc_.redraw = true;
        view_->viewport()->update();
        RefreshCommands();
    });
    connect(view_, &CRpyGraphView::StatusText, this, [this](const QString& text) {
        if (text.isEmpty())
            statusBar()->clearMessage();
        else
            statusBar()->showMessage(text);
    });

    BuildCommands();
    BuildMenus();
    BuildToolBars();
    BuildPlayback();
    BuildViewMenus();
    statusBar()->showMessage("Ready");
    BuildLockPanes();
    recent_files_ = AppProfile::ReadRecentFiles();
    RebuildRecentMenu();
    doc_.AddObserver(this);
    UpdateTitle();
    RefreshCommands();
}

CMainFrame::~CMainFrame() {
    doc_.RemoveObserver(this);
    delete printer_;
}

bool CMainFrame::Idle() const { return !view_->Playback().IsBusy(); }

bool CMainFrame::LapsStill() const { return view_->Playback().FileCommandsAllowed(); }

void CMainFrame::UpdateTitle() { setWindowTitle(FromWindows1252(doc_.GetTitle()) + " - Ostrevan"); }

QAction* CMainFrame::Action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::AddCommand(Command command) {
    auto* action = new QAction(command.text, this);
    if (!command.icon.isEmpty()) action->setIcon(QIcon(command.icon));
    if (!command.shortcut.isEmpty()) action->setShortcut(command.shortcut);
    action->setCheckable(static_cast<bool>(command.checked));
    const int id = command.id;
    connect(action, &QAction::triggered, this, [this, id] { Run(id); });
    actions_[id] = action;
    commands_[id] = std::move(command);
}

bool CMainFrame::Run(int id) {
    const auto it = commands_.find(id);
    if (it == commands_.end()) return false;
    RefreshCommands();
    if (it->second.enabled && !it->second.enabled()) return false;
    it->second.handler();
    RefreshCommands();
    return true;
}

void CMainFrame::RefreshCommands() {
    for (auto& [id, command] : commands_) {
        QAction* action = actions_[id];
        action->setEnabled(!command.enabled || command.enabled());
        if (command.checked) action->setChecked(command.checked());
    }
    // The recent replays open as Open does, so they are greyed when it is.
    if (recent_menu_ == nullptr) return;
    const bool idle = Idle();
    for (QAction* a : recent_menu_->actions())
        if (a->property("recent").toBool() && !a->isSeparator()) a->setEnabled(idle);
}

void CMainFrame::BuildCommands() {
    const auto any_lap = [this] { return doc_.GetLoadedCount() > 0; };
    const auto idle = [this] { return Idle(); };
    const auto file_idle = [this] { return LapsStill(); };
    AddCommand({kClearAll, "&Clear all replay laps...", ":/icons/clear.svg", QKeySequence("Ctrl+N"),
                [this] { doc_.OnNewDocument(); },
                idle, {}});
    AddCommand({kAddReplayLap, "&Add replay lap...", ":/icons/add.svg", {}, [this] { doc_.OnAddReplayLap(); },
                file_idle, {}});
    AddCommand({kOpen, "&Open...", ":/icons/open.svg", QKeySequence("Ctrl+O"), [this] { OnOpen(); }, idle, {}});
    AddCommand({kOpenNewest, "Open most recently added replay file...", ":/icons/recent.svg", {},
                [this] { doc_.OpenMostRecentReplay(); }, file_idle, {}});
    AddCommand({kSaveTrackMapBitmap, "Save Trackmap as BMP-file...", {}, {}, [this] { view_->OnSaveTrackMapBitmap(); },
                {}, {}});
    AddCommand({kPrint, "&Print...", ":/icons/print.svg", QKeySequence("Ctrl+P"), [this] { OnPrint(); }, idle, {}});
    AddCommand({kPrintPreview, "Print Pre&view", {}, {}, [this] { OnPrintPreview(); }, idle, {}});
    AddCommand({kPrintSetup, "P&rint Setup...", {}, {}, [this] { OnPrintSetup(); }, idle, {}});
    AddCommand({kExit, "E&xit", {}, {}, [this] { close(); }, {}, {}});

    AddCommand({kViewToolbar, "&Toolbar", {}, {}, [this] { main_bar_->setVisible(!main_bar_->isVisible()); }, {},
                [this] { return main_bar_ && main_bar_->isVisible(); }});
    AddCommand({kViewStatusBar, "&Status Bar", {}, {}, [this] { statusBar()->setVisible(!statusBar()->isVisible()); },
                {}, [this] { return statusBar()->isVisible(); }});
    AddCommand({kTogglePlotSettings, "Plot Settings", {}, {}, [this] { OnTogglePlotSettings(); }, {},
                [this] { return (view_->race_mode && race_dock_ ? race_dock_ : plot_dock_)->isVisible(); }});
    AddCommand({kToggleZoomBar, "Zoom Bar", {}, {}, [this] { zoom_bar_->setVisible(!zoom_bar_->isVisible()); }, {},
                [this] { return zoom_bar_ && zoom_bar_->isVisible(); }});
    AddCommand({kToggleLapBar, "Lap Bar", {}, {}, [this] { lap_bar_->setVisible(!lap_bar_->isVisible()); }, {},
                [this] { return lap_bar_ && lap_bar_->isVisible(); }});
    AddCommand({kZoomIn, "Zoom In", ":/icons/zoom_in.svg", {}, [this] { view_->OnZoomIn(); }, any_lap,
                [this] { return view_->GetZoomMode() == CZoomView::kZoomIn; }});
    AddCommand({kZoomOut, "Zoom Out", ":/icons/zoom_out.svg", {}, [this] { view_->OnZoomOut(); }, any_lap,
                [this] { return view_->GetZoomMode() == CZoomView::kZoomOut; }});
    AddCommand({kFitToTrack, "Fit To Track", ":/icons/fit.svg", {}, [this] { view_->OnFitToTrack(); }, any_lap, {}});
    AddCommand({kPanningTool, "Panning Tool", ":/icons/pan.svg", {}, [this] { view_->OnPanningTool(); }, any_lap,
                [this] { return view_->GetPanMode() == 1; }});
    for (int k = 0; k < ViewDialog::kRows; ++k) {
        AddCommand({kToggleLap1 + k, QString("Toggle lap %1").arg(k + 1), QString(":/icons/lap%1.svg").arg(k + 1), {},
                    [this, k] {
                        doc_.redraw = true;
                        plot_settings_->ToggleLap(k + 1);
                    },
                    [this, k] {
                        return doc_.GetSlot(k).used && LapsStill();
                    },
                    [this, k] { return plot_settings_->IsLapTicked(k); }});
        actions_[kToggleLap1 + k]->setStatusTip(QString("Toggle driving line for lap %1").arg(k + 1));
    }
    AddCommand({kAbout, "&About Ostrevan", ":/icons/about.svg", {}, [this] {
                    CAboutDlg about(ui_, this);
                    about.exec();
                }, {}, {}});
    AddCommand({kNextPane, "Next Pane", {}, QKeySequence(Qt::Key_F6), [this] { MoveFocusToPane(1); }, {}, {}});
    AddCommand({kPrevPane, "Previous Pane", {}, QKeySequence(Qt::SHIFT | Qt::Key_F6), [this] { MoveFocusToPane(-1); },
                {}, {}});
    // In no menu: the window itself holds them, so their keys work.
    addAction(Action(kNextPane));
    addAction(Action(kPrevPane));
    AddCommand({kViewReadme, "View Readme file", {}, {}, [this] { ViewReadme(ui_, doc_.GetSettings().GetProgramFolder()); },
                {}, {}});
    BuildCatalogueCommands();
    BuildGraphCommands();
    BuildWriterCommands();
    BuildViewCommands();
    BuildRaceChartCommands();
    BuildReportSiteCommands();
    BuildLibraryCommands();
    BuildRecordsCommands();
    BuildToolCommands();
    BuildPBViewerCommands();
}

QMenu* CMainFrame::MenuNamed(const QString& title) {
    // A menu that another group of commands made already is shared; a new
    // one goes before Help, which stays last.
    QAction* help = nullptr;
    for (QAction* a : menuBar()->actions()) {
        if (!a->menu()) continue;
        if (a->text() == title) return a->menu();
        if (a->text() == "&Help") help = a;
    }
    auto* menu = new QMenu(title, this);
    menuBar()->insertMenu(help, menu);
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::RefreshCommands);
    return menu;
}

void CMainFrame::BuildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    for (int id : {kClearAll, kAddReplayLap, kOpen, kOpenNewest}) file->addAction(Action(id));
    file->addSeparator();
    file->addAction(Action(kSaveTrackMapBitmap));
    file->addSeparator();
    for (int id : {kPrint, kPrintPreview, kPrintSetup}) file->addAction(Action(id));
    file->addSeparator();
    recent_menu_ = file;
    file->addAction(Action(kExit));

    QMenu* view = menuBar()->addMenu("&View");
    for (int id : {kViewToolbar, kViewStatusBar, kTogglePlotSettings, kToggleZoomBar, kToggleLapBar})
        view->addAction(Action(id));
    view->addSeparator();
    for (int id : {kZoomIn, kZoomOut, kFitToTrack, kPanningTool}) view->addAction(Action(id));

    // The menus that several groups of commands fill, in their order.
    for (const char* shared : {"&Reports", "&Tools", "&Playback"}) MenuNamed(shared);
    BuildRaceChartMenu();
    BuildReportSiteMenu();
    BuildLibraryMenus();
    BuildRecordsMenus();
    BuildPBViewerMenus();
    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction(Action(kViewReadme));
    help->addAction(Action(kAbout));
    for (QMenu* m : {file, view, help}) connect(m, &QMenu::aboutToShow, this, &CMainFrame::RefreshCommands);
    BuildCatalogueMenus();
    BuildWriterMenus();
    BuildToolMenus();
}

void CMainFrame::BuildToolBars() {
    auto make = [this](const char* name, const QString& title) {
        QToolBar* bar = addToolBar(title);
        bar->setObjectName(name);
        bar->setIconSize(QSize(16, 16));
        return bar;
    };
    main_bar_ = make("MainBar", "Toolbar");
    // 0 stands for a separator.
    const int main_buttons[] = {kClearAll, kAddReplayLap, kLapFinder, kSaveReplayLap, kArrangeLaps, kMergeAllLaps, 0,
                                kPrint, kAbout, 0, kGraph, kExportRecords, kToolsGearChange, kQELRankHandicap,
                                kTrackOrganizer, kReplayCDDatabaseCreator, kPBViewer, kToolsTractionCircle,
                                kToolsRatings};
    for (int id : main_buttons) {
        if (id == 0)
            main_bar_->addSeparator();
        else
            main_bar_->addAction(Action(id));
    }
    zoom_bar_ = make("ZoomBar", "Zoom Bar");
    for (int id : {kZoomIn, kZoomOut, kFitToTrack, kPanningTool}) zoom_bar_->addAction(Action(id));
    lap_bar_ = make("LapBar", "Lap Bar");
    for (int k = 0; k < ViewDialog::kRows; ++k) lap_bar_->addAction(Action(kToggleLap1 + k));
    // The lap bar starts hidden on every run.
    lap_bar_->hide();
    BuildGraphMenus();
}

void CMainFrame::RebuildRecentMenu() {
    // The recent replays stand in the File menu above Exit, numbered.
    for (QAction* a : recent_menu_->actions())
        if (a->property("recent").toBool()) {
            recent_menu_->removeAction(a);
            a->deleteLater();
        }
    QAction* exit = Action(kExit);
    for (size_t i = 0; i < recent_files_.size(); ++i) {
        const std::string path = recent_files_[i];
        auto* a = new QAction(QString("&%1 %2").arg(i + 1).arg(FromPath(path)), recent_menu_);
        a->setProperty("recent", true);
        connect(a, &QAction::triggered, this, [this, path] {
            if (Idle()) doc_.OnOpenDocument(path);
        });
        recent_menu_->insertAction(exit, a);
    }
    if (!recent_files_.empty()) {
        QAction* separator = recent_menu_->insertSeparator(exit);
        separator->setProperty("recent", true);
    }
}

void CMainFrame::OnDocumentChanged(CRpyGraphDoc& doc, Change change) {
    switch (change) {
    case Change::kPathAdded:
        recent_files_ = AppProfile::AddRecentFile(recent_files_, doc.GetPathName());
        if (!AppProfile::WriteRecentFiles(recent_files_))
            ui_.ShowMessage("The list of recent files could not be saved.", Interaction::Icon::Warning);
        RebuildRecentMenu();
        break;
    case Change::kLapRows:
    case Change::kCleared: plot_settings_->UpdateLoadedLaps(); break;
    case Change::kTrack: break;
    }
    UpdateTitle();
    RefreshCommands();
}

void CMainFrame::OnOpen() {
    const auto replay = doc_.GetReplayFolder();
    const auto chosen = ui_.ChooseOpenFile("Open", replay ? replay->string() : doc_.GetQELDirectory(),
                                           {{"Replay files", "*.rpy"}, {"All Files", "*.*"}});
    if (chosen) doc_.OnOpenDocument(*chosen);
}

void CMainFrame::OnPrint() {
    if (!printer_) printer_ = new QPrinter(QPrinter::HighResolution);
    if (!ui_.SetUpPrinter(printer_)) return;
    plot_dock_->setUpdatesEnabled(false);
    const bool printed = view_->Print(*printer_);
    if (!ui_.EndPrinting(printer_, printed))
        ui_.ShowMessage("The track map could not be printed.", Interaction::Icon::Error);
    plot_dock_->setUpdatesEnabled(true);
}

void CMainFrame::OnPrintPreview() {
    if (!printer_) printer_ = new QPrinter(QPrinter::HighResolution);
    QPrintPreviewDialog preview(printer_, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) { view_->Print(*printer); });
    preview.exec();
}

void CMainFrame::OnPrintSetup() {
    if (!printer_) printer_ = new QPrinter(QPrinter::HighResolution);
    QPageSetupDialog dialog(printer_, this);
    dialog.exec();
}

void CMainFrame::OnTogglePlotSettings() {
    // In race mode the race playback bar stands where the plot settings are.
    QDockWidget* dock = view_->race_mode && race_dock_ ? race_dock_ : plot_dock_;
    dock->setVisible(!dock->isVisible());
}

void CMainFrame::MoveFocusToPane(int step) {
    std::vector<QWidget*> panes;
    // A bar sits in a scroll area of its own; the bar, not its frame, takes the focus.
    for (QDockWidget* dock : {plot_dock_, race_dock_}) {
        if (!dock || !dock->isVisible()) continue;
        auto* scroll = qobject_cast<QScrollArea*>(dock->widget());
        panes.push_back(scroll && scroll->widget() ? scroll->widget() : dock->widget());
    }
    panes.push_back(view_);
    const QWidget* focus = QApplication::focusWidget();
    const int n = static_cast<int>(panes.size());
    int current = -1;
    for (int i = 0; i < n; ++i)
        if (focus && (focus == panes[static_cast<size_t>(i)] || panes[static_cast<size_t>(i)]->isAncestorOf(focus)))
            current = i;
    const int next = current < 0 ? (step > 0 ? 0 : n - 1) : ((current + step) % n + n) % n;
    QWidget* pane = panes[static_cast<size_t>(next)];
    // A bar takes the focus on its first control that can have it.
    QWidget* target = pane->focusPolicy() & Qt::TabFocus ? pane : nullptr;
    for (QWidget* child : pane->findChildren<QWidget*>()) {
        if (target) break;
        if (child->isVisible() && child->isEnabled() && (child->focusPolicy() & Qt::TabFocus)) target = child;
    }
    if (target) target->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void CMainFrame::RestorePlacement() {
    const auto placement = AppProfile::ReadPlacement();
    if (!placement) return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect work = screen->availableGeometry();
    // Every screen there is now, the primary one first.
    std::vector<AppProfile::Rect> screens;
    auto add = [&screens](const QScreen* s) {
        const QRect g = s->geometry();
        screens.push_back({g.x(), g.y(), g.width(), g.height()});
    };
    add(screen);
    for (const QScreen* other : QGuiApplication::screens())
        if (other != screen) add(other);
    const int icon = style()->pixelMetric(QStyle::PM_LargeIconSize);
    const AppProfile::Rect r =
        AppProfile::PlaceOnScreen(*placement, {work.x(), work.y(), work.width(), work.height()}, screens, icon, icon);
    setGeometry(r.x, r.y, std::max(200, r.width), std::max(150, r.height));
    if (placement->status == 3) setWindowState(Qt::WindowMaximized);
    if (placement->status == 2) setWindowState(Qt::WindowMinimized);
}

void CMainFrame::SavePlacement() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect();
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    AppProfile::Placement p;
    p.status = isMinimized() ? 2 : isMaximized() ? 3 : 1;
    p.left = normal.x() - work.x();
    p.top = normal.y() - work.y();
    p.right = p.left + normal.width();
    p.bottom = p.top + normal.height();
    if (!AppProfile::WritePlacement(p))
        ui_.ShowMessage("The window placement could not be saved.", Interaction::Icon::Warning);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    SavePlacement();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    // Each dropped file adds a lap, as File > Open does.
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile() || !Idle()) continue;
        doc_.OnOpenDocument(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    event->acceptProposedAction();
}
