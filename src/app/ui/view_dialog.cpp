#include "app/ui/view_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "document/rpy_graph_doc.h"
#include "controls/hyper_link.h"
#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "replay/drivers.h"
#include "replay/get_rpy_info.h"
#include "track/ui/mfc_display.h"

namespace {

constexpr const char* kHomePage = "https://example.org/ostrevan/";

QLabel* Hidden(QLabel* label) {
    label->hide();
    return label;
}

// A hidden widget that keeps its room in the layout, so showing it again
// moves nothing.
void RetainWhenHidden(QWidget* widget, bool retain) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(retain);
    widget->setSizePolicy(policy);
}

}  // namespace

std::string ViewDialog::FormatLapTime(uint32_t lap_time) { return CRpyGraphDoc::FormatLapTime(lap_time); }

std::string ViewDialog::FormatSplitTime(uint32_t split_time) {
    const uint32_t ms = split_time & 0xFFFFFF;
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u.%03us", ms / 60000, ms / 1000 % 60, ms % 1000);
    return text;
}

ViewDialog::ViewDialog(CRpyGraphDoc& doc, Interaction& ui, QWidget* parent) : QWidget(parent), doc_(doc) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);

    auto* laps = new QGroupBox("Select lap(s) to plot", this);
    auto* laps_grid = new QGridLayout(laps);
    auto* focus = new QGroupBox("Focus settings", this);
    auto* focus_layout = new QVBoxLayout(focus);
    auto* splits = new QGroupBox("Splittimes", this);
    auto* splits_grid = new QGridLayout(splits);
    realtime_ = new QGroupBox("Realtime Information", this);
    auto* realtime_grid = new QGridLayout;

    // A read-out column is wider than any value it shows (speed and revs
    // run to three digits).
    const int realtime_column = fontMetrics().horizontalAdvance("0000");
    splits_grid->addWidget(new QLabel("25%"), 0, 1);
    splits_grid->addWidget(new QLabel("50%"), 0, 2);
    splits_grid->addWidget(new QLabel("75%"), 0, 3);
    auto* realtime_layout = new QVBoxLayout(realtime_);
    auto* elapsed_row = new QHBoxLayout;
    elapsed_row->addWidget(new QLabel("Elapsed time:"));
    elapsed_ = new QLabel;
    elapsed_row->addWidget(elapsed_, 1);
    realtime_layout->addLayout(elapsed_row);
    realtime_layout->addLayout(realtime_grid);
    realtime_grid->addWidget(new QLabel("Speed:"), 1, 0);
    realtime_grid->addWidget(new QLabel("RPM:"), 2, 0);
    realtime_grid->addWidget(new QLabel("Gear:"), 3, 0);
    orient_label_ = new QLabel("Orient:");
    realtime_grid->addWidget(orient_label_, 4, 0);
    realtime_grid->setRowMinimumHeight(4, 28);

    for (int r = 0; r < kRows; ++r) {
        Row& row = rows_[static_cast<size_t>(r)];
        const QString n = QString::number(r + 1);
        const QColor colour = MFCDisplay::ToQColor(doc_.GetColours()[static_cast<size_t>(r)]);
        const QString style = QString("color: %1; font-weight: bold;").arg(colour.name());
        row.number = Hidden(new QLabel(n));
        row.number->setStyleSheet(style);
        row.check = new QCheckBox;
        row.check->hide();
        laps_grid->addWidget(row.number, r, 0);
        laps_grid->addWidget(row.check, r, 1);
        connect(row.check, &QCheckBox::clicked, this, [this] {
            doc_.redraw = true;
            emit LapsChanged();
        });
        row.split_number = Hidden(new QLabel(n));
        row.split_number->setStyleSheet(style);
        splits_grid->addWidget(row.split_number, r + 1, 0);
        for (int s = 0; s < 3; ++s) {
            row.splits[static_cast<size_t>(s)] = Hidden(new QLabel);
            splits_grid->addWidget(row.splits[static_cast<size_t>(s)], r + 1, s + 1);
        }
        row.realtime_head = new QLabel(n);
        row.realtime_head->setStyleSheet(style);
        row.speed = new QLabel;
        row.rpm = new QLabel;
        row.gear = new QLabel;
        // Each lap keeps its column whether it plays or not, so the table
        // does not move when other laps are ticked.
        for (QLabel* label : {row.realtime_head, row.speed, row.rpm, row.gear}) RetainWhenHidden(label, true);
        realtime_grid->setColumnMinimumWidth(r + 1, realtime_column);
        realtime_grid->addWidget(row.realtime_head, 0, r + 1);
        realtime_grid->addWidget(row.speed, 1, r + 1);
        realtime_grid->addWidget(row.rpm, 2, r + 1);
        realtime_grid->addWidget(row.gear, 3, r + 1);
    }
    laps_grid->setColumnStretch(1, 1);
    // Room to spare goes right of the tables, whichever of their texts are
    // shown, so their columns stay where they are.
    splits_grid->setColumnStretch(4, 1);
    realtime_grid->setColumnStretch(kRows + 1, 1);
    const QColor sixth = MFCDisplay::ToQColor(doc_.GetColours()[5]);
    orient_label_->setStyleSheet(QString("color: %1;").arg(sixth.name()));

    manual_ = new QRadioButton("Manual");
    leader_ = new QRadioButton("Focus Leader");
    driver_ = new QRadioButton("Focus Driver:");
    combo_ = new QComboBox;
    auto* group = new QButtonGroup(this);
    group->addButton(manual_, kFocusManual);
    group->addButton(leader_, kFocusLeader);
    group->addButton(driver_, kFocusDriver);
    focus_layout->addWidget(manual_);
    focus_layout->addWidget(leader_);
    focus_layout->addWidget(driver_);
    focus_layout->addWidget(combo_);
    leader_->setChecked(true);
    connect(driver_, &QRadioButton::clicked, combo_, [this] { combo_->setEnabled(true); });
    connect(leader_, &QRadioButton::clicked, combo_, [this] { combo_->setEnabled(false); });
    connect(manual_, &QRadioButton::clicked, combo_, [this] { combo_->setEnabled(false); });

    auto* link = new CHyperLink(ui, "Visit ZAVRO homepage!", this);
    link->SetURL(kHomePage);

    layout->addWidget(laps);
    layout->addWidget(focus);
    layout->addWidget(splits);
    layout->addWidget(realtime_);
    // The bar is as wide in playback as outside it: the read-outs' room is
    // kept while they are hidden.
    RetainWhenHidden(realtime_, true);
    layout->addStretch(1);
    layout->addWidget(link);
    SetRealtimeShown(false);
}

bool ViewDialog::IsLapTicked(int slot) const {
    return slot >= 0 && slot < kRows && rows_[static_cast<size_t>(slot)].check->isChecked();
}

int ViewDialog::GetFocus() const {
    if (manual_->isChecked()) return kFocusManual;
    if (driver_->isChecked()) return kFocusDriver;
    return kFocusLeader;
}

int ViewDialog::GetFocusDriver() const { return combo_->currentIndex(); }

std::string ViewDialog::RowText(int slot) const {
    const LapSlot& lap = doc_.GetSlot(slot);
    if (!lap.used || !lap.drivers) return {};
    const Drivers& d = *lap.drivers;
    const size_t driver = static_cast<size_t>(std::clamp(lap.driver, 0, Drivers::kMaxDrivers - 1));
    const size_t entry = static_cast<size_t>(std::clamp(lap.lap, 0, Drivers::kTableWords - 1));
    const auto& times = lap.session == 0 ? d.practice_times : d.race_times;
    const std::string& first = d.first_names[driver];
    std::string text = first.empty() ? std::string() : first.substr(0, 1);
    return text + " " + d.last_names[driver] + " " + FormatLapTime(times[driver][entry]);
}

void ViewDialog::ShowRow(int r, bool shown) {
    Row& row = rows_[static_cast<size_t>(r)];
    row.number->setVisible(shown);
    row.check->setVisible(shown);
    row.split_number->setVisible(shown);
    for (QLabel* split : row.splits) {
        // A filled row keeps its split times' room while playback hides
        // them, so the columns stay under their headings and the bar keeps
        // its width; an empty row takes none.
        RetainWhenHidden(split, shown);
        split->setVisible(shown);
        if (!shown) split->clear();
    }
}

void ViewDialog::UpdateLoadedLaps() {
    combo_->clear();
    orientation_picture.fill(0);
    int filled = 0;
    int empty = 0;
    for (int slot = 0; slot < kRows; ++slot) {
        const LapSlot& lap = doc_.GetSlot(slot);
        if (!lap.used) {
            ShowRow(kRows - 1 - empty++, false);
            continue;
        }
        const int r = filled++;
        Row& row = rows_[static_cast<size_t>(r)];
        const QString text = FromWindows1252(RowText(slot));
        row.check->setText(text);
        ShowRow(r, true);
        combo_->addItem(text);
        combo_->setCurrentIndex(0);
        for (size_t s = 0; s < 3; ++s) {
            const uint32_t split = lap.telemetry ? static_cast<uint32_t>(lap.telemetry->split_time_ms[s]) : 0;
            row.splits[s]->setText(QString::fromStdString(FormatSplitTime(split)));
        }
    }
}

void ViewDialog::UntickAll() {
    for (Row& row : rows_) row.check->setChecked(false);
}

void ViewDialog::ToggleLap(int row) {
    if (row >= 1 && row <= kRows) {
        QCheckBox* check = rows_[static_cast<size_t>(row - 1)].check;
        check->setChecked(!check->isChecked());
    }
    emit LapsChanged();
}

void ViewDialog::SetRealtimeShown(bool shown) {
    realtime_->setVisible(shown);
    for (int r = 0; r < kRows; ++r) {
        Row& row = rows_[static_cast<size_t>(r)];
        const bool lap_shown = shown && row.check->isChecked();
        for (QLabel* label : {row.realtime_head, row.speed, row.rpm, row.gear}) label->setVisible(lap_shown);
    }
}

void ViewDialog::EnterPlaybackMode() {
    playback_mode_ = true;
    for (Row& row : rows_) {
        row.check->setEnabled(false);
        for (QLabel* split : row.splits) split->hide();
    }
    SetRealtimeShown(true);
    update();
}

void ViewDialog::LeavePlaybackMode() {
    playback_mode_ = false;
    SetRealtimeShown(false);
    for (int r = 0; r < kRows; ++r) {
        Row& row = rows_[static_cast<size_t>(r)];
        row.check->setEnabled(true);
        for (QLabel* split : row.splits) split->setVisible(row.check->isVisible());
    }
    update();
}

void ViewDialog::SetElapsedTime(const QString& text) { elapsed_->setText(text); }

void ViewDialog::SetRealtime(int slot, const QString& speed, const QString& rpm, const QString& gear) {
    if (slot < 0 || slot >= kRows) return;
    Row& row = rows_[static_cast<size_t>(slot)];
    row.speed->setText(speed);
    row.rpm->setText(rpm);
    row.gear->setText(gear);
}

void ViewDialog::ShowSplit(int slot, int split, bool shown) {
    if (slot < 0 || slot >= kRows || split < 0 || split > 2) return;
    rows_[static_cast<size_t>(slot)].splits[static_cast<size_t>(split)]->setVisible(shown);
}

void ViewDialog::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!playback_mode_) return;
    // One arrow per playing lap beside "Orient:", turned to its heading in
    // steps of 22.5 degrees: picture 0 points north (up the map), and each
    // next one a step clockwise, as the headings they stand for run.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPoint label = orient_label_->mapTo(this, QPoint(0, 0));
    for (int r = 0; r < kRows; ++r) {
        if (!doc_.GetSlot(r).used || !IsLapTicked(r)) continue;
        const QLabel* head = rows_[static_cast<size_t>(r)].realtime_head;
        const QPoint centre(head->mapTo(this, QPoint(head->width() / 2, 0)).x(), label.y() + 12);
        painter.save();
        painter.translate(centre);
        painter.rotate(22.5 * orientation_picture[static_cast<size_t>(r)]);
        QPainterPath arrow;
        arrow.moveTo(0, -10);
        arrow.lineTo(6, 8);
        arrow.lineTo(0, 4);
        arrow.lineTo(-6, 8);
        arrow.closeSubpath();
        painter.fillPath(arrow, MFCDisplay::ToQColor(doc_.GetColours()[static_cast<size_t>(r)]));
        painter.restore();
    }
}

