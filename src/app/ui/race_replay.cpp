#include "app/ui/race_replay.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <string>

#include "app/playback_controller.h"
#include "replay/race_stream.h"
#include "interaction/ui/text_codec.h"

namespace {

// Control ids of the bar's fields and buttons.
enum : int {
    kStatus = 1202, kTimeElapsed = 1203, kScheduledLaps = 1204, kCurrentLap = 1205, kCurrentLeader = 1206,
    kNext = 1208, kPrev = 1209, kClosest = 1210,
    kName = 1211, kPosition = 1212, kDriverLap = 1213, kGapAhead = 1214, kGapBehind = 1215, kLastLap = 1219,
};

// The least width of a field's value.
constexpr int kFieldWidth = 90;

int TextWidth(const QWidget* widget, const std::string& text) {
    return widget->fontMetrics().horizontalAdvance(FromWindows1252(text));
}

}  // namespace

RaceReplay::RaceReplay(PlaybackController& playback, QWidget* parent) : QWidget(parent), playback_(playback) {
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 6);
    auto* column = new QVBoxLayout;
    outer->addLayout(column, 1);

    auto* race = new QGroupBox("Race Information", this);
    auto* race_grid = new QGridLayout(race);
    QLabel* status = AddField(race_grid, 0, "Status:", kStatus);
    AddField(race_grid, 1, "Time elapsed:", kTimeElapsed);
    AddField(race_grid, 2, "Current lap:", kCurrentLap);
    AddField(race_grid, 3, "Scheduled laps:", kScheduledLaps);
    AddField(race_grid, 4, "Current leader:", kCurrentLeader);
    int status_width = 0;
    for (int state = 0; state <= RaceStream::kChequered; ++state)
        status_width = std::max(status_width, TextWidth(status, RaceReplayModel::StateText(state)));
    status_width = std::max(status_width, TextWidth(status, RaceReplayModel::kAllFinished));
    status->setMinimumWidth(std::max(kFieldWidth, status_width));

    auto* focus = new QGroupBox("Focus Settings", this);
    auto* focus_layout = new QVBoxLayout(focus);
    focus_group_ = new QButtonGroup(this);
    const struct {
        const char* text;
        int id;
    } radios[] = {{"Manual", RaceReplayModel::kFocusManual},
                  {"Focus Leader", RaceReplayModel::kFocusLeader},
                  {"Focus Driver:", RaceReplayModel::kFocusDriver}};
    for (const auto& r : radios) {
        auto* radio = new QRadioButton(r.text, focus);
        focus_group_->addButton(radio, r.id);
        focus_layout->addWidget(radio);
    }
    combo_ = new QComboBox(focus);
    focus_layout->addWidget(combo_);
    auto* buttons = new QHBoxLayout;
    auto* prev = new QPushButton("Prev. Driver", focus);
    auto* next = new QPushButton("Next Driver", focus);
    prev->setObjectName(QString::number(kPrev));
    next->setObjectName(QString::number(kNext));
    buttons->addWidget(prev);
    buttons->addWidget(next);
    focus_layout->addLayout(buttons);
    auto* closest = new QPushButton("Go to closest fight on track", focus);
    closest->setObjectName(QString::number(kClosest));
    focus_layout->addWidget(closest);

    auto* driver = new QGroupBox("Focused Driver", this);
    auto* driver_grid = new QGridLayout(driver);
    AddField(driver_grid, 0, "Name:", kName);
    AddField(driver_grid, 1, "Position:", kPosition);
    AddField(driver_grid, 2, "Current lap:", kDriverLap);
    AddField(driver_grid, 3, "Gap ahead:", kGapAhead);
    AddField(driver_grid, 4, "Gap behind:", kGapBehind);
    AddField(driver_grid, 5, "Last laptime:", kLastLap);

    auto* draw = new QGroupBox("Car Draw Options", this);
    auto* draw_layout = new QVBoxLayout(draw);
    draw_group_ = new QButtonGroup(this);
    const struct {
        const char* text;
        int id;
    } draws[] = {{"According to scale", RaceReplayModel::kToScale},
                 {"Oversized (200%)", RaceReplayModel::kOversized},
                 {"As circles (fixed size)", RaceReplayModel::kCircles}};
    for (const auto& d : draws) {
        auto* radio = new QRadioButton(d.text, draw);
        draw_group_->addButton(radio, d.id);
        draw_layout->addWidget(radio);
    }

    column->addWidget(race);
    column->addWidget(focus);
    column->addWidget(driver);
    column->addWidget(draw);
    column->addStretch(1);

    slider_ = new QSlider(Qt::Vertical, this);
    // Step 0 at the top, as the race runs down the bar.
    slider_->setInvertedAppearance(true);
    slider_->setInvertedControls(true);
    outer->addWidget(slider_);

    RaceReplayModel& model = playback_.Race();
    connect(focus_group_, &QButtonGroup::idClicked, this, [this, &model](int id) {
        if (refreshing_ || !model.IsLoaded()) return;
        model.SetFocus(id);
        playback_.RaceFocusChanged();
        Refresh();
    });
    connect(combo_, &QComboBox::currentIndexChanged, this, [this, &model](int index) {
        if (refreshing_ || !model.IsLoaded()) return;
        model.SetComboDriver(index);
        playback_.RaceFocusChanged();
        Refresh();
    });
    connect(draw_group_, &QButtonGroup::idClicked, this, [this, &model](int id) {
        if (refreshing_) return;
        model.SetCarDraw(id);
        playback_.RaceFocusChanged();
    });
    const auto focus_command = [this](bool moved) {
        if (!moved) return;
        playback_.RaceFocusChanged();
        Refresh();
    };
    connect(next, &QPushButton::clicked, this, [&model, focus_command] { focus_command(model.OnNextDriver()); });
    connect(prev, &QPushButton::clicked, this, [&model, focus_command] { focus_command(model.OnPrevDriver()); });
    connect(closest, &QPushButton::clicked, this, [&model, focus_command] { focus_command(model.OnClosestFight()); });
    connect(slider_, &QSlider::valueChanged, this, &RaceReplay::OnSlider);
    connect(slider_, &QSlider::sliderPressed, this, &RaceReplay::OnSlider);
    connect(slider_, &QSlider::sliderReleased, this, [this] {
        if (!refreshing_) playback_.OnSliderMoved(slider_->value(), false, true);
    });
    Refresh();
}

QLabel* RaceReplay::AddField(QGridLayout* grid, int row, const char* label, int id) {
    grid->addWidget(new QLabel(label), row, 0);
    auto* value = new QLabel;
    value->setObjectName(QString::number(id));
    // The bar keeps its width while the race runs: a field gets the room of
    // the widest text it may show, never the room of the text it shows.
    value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    value->setMinimumWidth(kFieldWidth);
    grid->addWidget(value, row, 1);
    return value;
}

QString RaceReplay::FieldText(int id) const {
    const auto* label = findChild<QLabel*>(QString::number(id));
    return label ? label->text() : QString();
}

QPushButton* RaceReplay::Button(int id) const { return findChild<QPushButton*>(QString::number(id)); }

QRadioButton* RaceReplay::Radio(int id) const {
    QAbstractButton* b = focus_group_->button(id);
    if (!b) b = draw_group_->button(id);
    return qobject_cast<QRadioButton*>(b);
}

void RaceReplay::OnSlider() {
    if (refreshing_) return;
    playback_.OnSliderMoved(slider_->value(), slider_->isSliderDown(), false);
}

void RaceReplay::Refresh() {
    refreshing_ = true;
    const RaceReplayModel& model = playback_.Race();
    const RaceReplayModel::Info& info = model.GetInfo();
    const struct {
        int id;
        const std::string& text;
    } fields[] = {{kStatus, info.status},         {kTimeElapsed, info.time_elapsed}, {kScheduledLaps, info.scheduled_laps},
                  {kCurrentLap, info.current_lap}, {kCurrentLeader, info.current_leader}, {kName, info.name},
                  {kPosition, info.position},     {kDriverLap, info.driver_lap},     {kGapAhead, info.gap_ahead},
                  {kGapBehind, info.gap_behind},  {kLastLap, info.last_lap_time}};
    for (const auto& f : fields)
        if (auto* label = findChild<QLabel*>(QString::number(f.id))) label->setText(FromWindows1252(f.text));

    if (combo_filled_ != static_cast<int>(model.GetComboEntries().size())) {
        combo_->clear();
        for (const std::string& entry : model.GetComboEntries()) combo_->addItem(FromWindows1252(entry));
        combo_filled_ = static_cast<int>(model.GetComboEntries().size());
        // Any driver may lead or be followed.
        for (int id : {kCurrentLeader, kName})
            if (auto* label = findChild<QLabel*>(QString::number(id))) {
                int width = kFieldWidth;
                for (int car = 0; car < model.GetCarCount(); ++car)
                    width = std::max(width, TextWidth(label, model.DriverName(car)));
                label->setMinimumWidth(width);
            }
    }
    combo_->setCurrentIndex(model.GetComboDriver() < combo_->count() ? model.GetComboDriver() : -1);
    combo_->setEnabled(model.IsComboEnabled());
    if (QAbstractButton* b = focus_group_->button(model.GetFocus())) b->setChecked(true);
    if (QAbstractButton* b = draw_group_->button(model.GetCarDraw())) b->setChecked(true);

    slider_->setRange(0, std::max(0, model.GetLastStep()));
    slider_->setPageStep(RaceReplayModel::kPageSteps);
    slider_->setValue(model.GetShownStep());
    refreshing_ = false;
}
