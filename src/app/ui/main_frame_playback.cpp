// The main window's playback: the Playback menu and tool bar with their
// commands, View > Playback Bar, the race playback bar that takes the plot
// settings bar's place in race mode, and the map's right-button menu.

#include <QAction>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "app/choose_lap_for_report.h"
#include "app/playback_controller.h"
#include "app/ui/main_frame.h"
#include "app/ui/playback_bars_bridge.h"
#include "app/ui/race_replay.h"
#include "app/ui/rpy_graph_view.h"
#include "app/ui/view_dialog.h"
#include "controls/bar_scroll_area.h"
#include "interaction/ui/text_codec.h"

void CMainFrame::BuildPlayback() {
    PlaybackController& playback = view_->Playback();
    using P = PlaybackController;
    const auto enabled = [&playback](int id) { return [&playback, id] { return playback.IsEnabled(id); }; };
    const auto checked = [&playback](int id) { return [&playback, id] { return playback.IsChecked(id); }; };
    AddCommand({P::kBeginningOfLap, "Beginning of lap", ":/icons/playback_beginning.svg", {},
                [&playback] { playback.OnBeginningOfLap(); }, enabled(P::kBeginningOfLap), {}});
    AddCommand({P::kFastReverse, "Fast Reverse", ":/icons/playback_fast_reverse.svg", {},
                [&playback] { playback.OnFastReverse(); }, enabled(P::kFastReverse), checked(P::kFastReverse)});
    AddCommand({P::kStart, "Start/Continue", ":/icons/playback_start.svg", {}, [&playback] { playback.OnStart(); },
                enabled(P::kStart), checked(P::kStart)});
    AddCommand({P::kPause, "Pause", ":/icons/playback_pause.svg", {}, [&playback] { playback.OnPause(); },
                enabled(P::kPause), {}});
    AddCommand({P::kFastForward, "Fast Forward", ":/icons/playback_fast_forward.svg", {},
                [&playback] { playback.OnFastForward(); }, enabled(P::kFastForward), checked(P::kFastForward)});
    AddCommand({P::kStop, "Stop", ":/icons/playback_stop.svg", {}, [&playback] { playback.OnStop(); },
                enabled(P::kStop), {}});
    AddCommand({P::kMoveToEnd, "Move to end of lap", {}, {}, [&playback] { playback.OnMoveToEnd(); },
                enabled(P::kMoveToEnd), {}});
    actions_[P::kMoveToEnd]->setStatusTip("Move to end of lap");
    AddCommand({P::kToggleRace, "Toggle replay race/driving lines", ":/icons/playback_race.svg", {},
                [&playback] { playback.OnToggleRace(); }, enabled(P::kToggleRace), checked(P::kToggleRace)});

    // Playback menu, before Help.
    QMenu* menu = MenuNamed("&Playback");
    for (int id : {P::kStart, P::kPause, P::kFastForward, P::kFastReverse, P::kStop, P::kBeginningOfLap})
        menu->addAction(Action(id));
    menu->addSeparator();
    menu->addAction(Action(P::kToggleRace));

    // The playback tool bar, between the main and the zoom tool bars.
    playback_bar_ = new QToolBar("Playback Bar", this);
    playback_bar_->setObjectName("PlaybackBar");
    playback_bar_->setIconSize(QSize(16, 16));
    for (int id : {P::kBeginningOfLap, P::kFastReverse, P::kStart, P::kPause, P::kFastForward, P::kStop})
        playback_bar_->addAction(Action(id));
    playback_bar_->addSeparator();
    playback_bar_->addAction(Action(P::kToggleRace));
    insertToolBar(zoom_bar_, playback_bar_);
    AddCommand({kTogglePlaybackBar, "Playback Bar", {}, {},
                [this] { playback_bar_->setVisible(!playback_bar_->isVisible()); }, {},
                [this] { return playback_bar_->isVisible(); }});
    for (QAction* a : menuBar()->actions())
        if (a->menu() && a->menu()->actions().contains(Action(kToggleZoomBar)))
            a->menu()->insertAction(Action(kToggleZoomBar), Action(kTogglePlaybackBar));

    // The race playback bar, hidden until a race is replayed.
    race_bar_ = new RaceReplay(playback, this);
    race_dock_ = new QDockWidget("Playback Bar", this);
    race_dock_->setObjectName("RaceReplay");
    race_dock_->setFeatures(QDockWidget::NoDockWidgetFeatures);
    race_dock_->setWidget(new BarScrollArea(race_bar_, race_dock_));
    addDockWidget(Qt::LeftDockWidgetArea, race_dock_);
    race_dock_->hide();
    playback_bars_ = std::make_unique<PlaybackBarsBridge>(*plot_settings_, *plot_dock_, *race_bar_, *race_dock_);
    playback.SetBars(playback_bars_.get());
    playback.SetLapChooser([this](const std::vector<std::string>& captions) {
        ChooseLapForReport dialog(ui_, this);
        dialog.SetCaptions(captions);
        return dialog.Run();
    });
    connect(view_, &CRpyGraphView::PlaybackChanged, this, &CMainFrame::RefreshCommands);

    // The map's right-button menu, with texts of its own; its commands are
    // enabled and run as the menu bar's.
    context_menu_ = new QMenu(this);
    const struct {
        int id;
        const char* text;
    } items[] = {{kZoomIn, "Zoom in"},          {kZoomOut, "Zoom out"},         {kFitToTrack, "Show whole track"},
                 {kPanningTool, "Panning tool"}, {0, nullptr},                   {kToggleLap1, "Toggle lap 1"},
                 {kToggleLap1 + 1, "Toggle lap 2"}, {kToggleLap1 + 2, "Toggle lap 3"}, {kToggleLap1 + 3, "Toggle lap 4"},
                 {kToggleLap1 + 4, "Toggle lap 5"}};
    for (const auto& item : items) {
        if (!item.text) {
            context_menu_->addSeparator();
            continue;
        }
        QAction* a = context_menu_->addAction(item.text);
        const int id = item.id;
        a->setCheckable(Action(id)->isCheckable());
        a->setStatusTip(Action(id)->statusTip());
        connect(a, &QAction::triggered, this, [this, id] { Run(id); });
    }
    connect(context_menu_, &QMenu::aboutToShow, this, [this, items] {
        RefreshCommands();
        const QList<QAction*> mine = context_menu_->actions();
        int i = 0;
        for (const auto& item : items) {
            QAction* a = mine.at(i++);
            if (!item.text) continue;
            a->setEnabled(Action(item.id)->isEnabled());
            a->setChecked(Action(item.id)->isChecked());
        }
    });
    view_->SetContextMenu(context_menu_);
}
