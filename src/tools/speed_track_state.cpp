#include "tools/speed_track_state.h"

#include <cmath>

#include "document/rpy_graph_doc.h"
#include "replay/get_rpy_info.h"
#include "tools/speed_track_model.h"
#include "track/spd_trk_visitor.h"
#include "track/track.h"

SpeedTrackState::SpeedTrackState(const CRpyGraphDoc& doc)
    : doc_(doc), laps_(CollectToolLaps(doc)), mph_(doc.GetUseMPH() == 1) {
    if (const Track* track = doc.GetTrack()) piece_length_ = track->GetLength() * speed_track::kPieceShare;
}

SpeedTrackState::~SpeedTrackState() = default;

const ToolLap* SpeedTrackState::LapOfSlot(int slot) const {
    for (const ToolLap& lap : laps_)
        if (lap.slot == slot) return &lap;
    return nullptr;
}

std::vector<SpeedTrackState::Entry> SpeedTrackState::Entries(Role list) const {
    std::vector<Entry> entries;
    for (const ToolLap& lap : laps_) {
        const int role = roles_[static_cast<size_t>(lap.slot)];
        if (role != kNone && role != list) continue;
        std::string label;
        if (!lap.first_name.empty()) label += lap.first_name.front();
        label += ' ' + lap.last_name + ' ' + speed_track::FormatLapTime(lap.lap_word);
        entries.push_back({std::move(label), lap.slot});
    }
    return entries;
}

int SpeedTrackState::SelectedIndex(Role list) const {
    const std::vector<Entry> entries = Entries(list);
    for (size_t k = 0; k < entries.size(); ++k)
        if (roles_[static_cast<size_t>(entries[k].slot)] == list) return static_cast<int>(k);
    return -1;
}

std::string SpeedTrackState::Choose(Role list, int slot) {
    const ToolLap* lap = LapOfSlot(slot);
    if (lap == nullptr || (list != kFirst && list != kSecond)) return {};
    if (lap->info->sample_count <= speed_track::kMinSamples) return speed_track::kTooShortMessage;
    for (int& role : roles_)
        if (role == list) role = kNone;
    roles_[static_cast<size_t>(slot)] = list;
    Recompute();
    return {};
}

void SpeedTrackState::SetAutomatic() {
    manual_ = false;
    Recompute();
}

void SpeedTrackState::SetManual(int range) {
    manual_ = true;
    manual_range_ = range;
    Recompute();
}

void SpeedTrackState::Recompute() {
    const ToolLap* first = nullptr;
    const ToolLap* second = nullptr;
    for (const ToolLap& lap : laps_) {
        const int role = roles_[static_cast<size_t>(lap.slot)];
        if (role == kFirst) first = &lap;
        if (role == kSecond) second = &lap;
    }
    const Track* track = doc_.GetTrack();
    if (first == nullptr || second == nullptr || track == nullptr) return;
    const auto a = speed_track::PieceSpeeds(*first->info, piece_length_, mph_);
    const auto b = speed_track::PieceSpeeds(*second->info, piece_length_, mph_);
    if (!a || !b) return;
    // One value per piece of the track, so the visitor lays each difference
    // on its own stretch.
    const auto pieces = static_cast<size_t>(std::lround(1.0 / speed_track::kPieceShare));
    differences_ = speed_track::Differences(*a, *b, pieces);
    visitor_ = std::make_unique<SpdTrkVisitor>(track->GetLength(), differences_, manual_, manual_range_);
    track->Accept(*visitor_);
    legend_ = speed_track::LegendTexts(visitor_->GetMaxAbsValue(), manual_);
}
