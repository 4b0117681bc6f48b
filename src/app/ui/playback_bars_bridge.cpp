#include "app/ui/playback_bars_bridge.h"

#include <QDockWidget>

#include "app/ui/race_replay.h"
#include "app/ui/view_dialog.h"

PlaybackBarsBridge::PlaybackBarsBridge(ViewDialog& plot, QDockWidget& plot_dock, RaceReplay& race,
                                       QDockWidget& race_dock)
    : plot_(plot), plot_dock_(plot_dock), race_(race), race_dock_(race_dock) {}

bool PlaybackBarsBridge::IsLapTicked(int slot) const { return plot_.IsLapTicked(slot); }

int PlaybackBarsBridge::GetPlotFocus() const { return plot_.GetFocus(); }

int PlaybackBarsBridge::GetPlotFocusDriver() const { return plot_.GetFocusDriver(); }

void PlaybackBarsBridge::EnterPlaybackLayout() { plot_.EnterPlaybackMode(); }

void PlaybackBarsBridge::LeavePlaybackLayout() { plot_.LeavePlaybackMode(); }

void PlaybackBarsBridge::ShowElapsedTime(const std::string& text) { plot_.SetElapsedTime(QString::fromStdString(text)); }

void PlaybackBarsBridge::ShowRealtime(int slot, const std::string& speed, const std::string& rpm,
                                      const std::string& gear) {
    plot_.SetRealtime(slot, QString::fromStdString(speed), QString::fromStdString(rpm), QString::fromStdString(gear));
}

void PlaybackBarsBridge::ShowSplit(int slot, int split) { plot_.ShowSplit(slot, split, true); }

void PlaybackBarsBridge::SetOrientation(int slot, int picture) {
    if (slot >= 0 && slot < ViewDialog::kRows) plot_.orientation_picture[static_cast<size_t>(slot)] = picture;
}

void PlaybackBarsBridge::RefreshOrientation() { plot_.update(); }

void PlaybackBarsBridge::ShowRaceBar(bool race) {
    // Hide first: both bars at once would stack at the left edge and make
    // the window grow to hold them.
    QDockWidget& shown = race ? race_dock_ : plot_dock_;
    QDockWidget& hidden = race ? plot_dock_ : race_dock_;
    hidden.setVisible(false);
    shown.setVisible(true);
}

void PlaybackBarsBridge::RaceInfoChanged() { race_.Refresh(); }
