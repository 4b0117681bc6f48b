#include "tools/ui/ratings.h"

#include <QPlainTextEdit>

#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "tools/tool_lap.h"
#include "ui_ratings.h"

const char* const Ratings::kInformation =
    "Information about Ratings\r\n"
    "\r\n"
    "The traction circle shows a great deal about a lap, but a cloud of lines is hard to read. "
    "The ratings sum it up in four numbers, worked out from nothing but the longitudinal and "
    "lateral accelerations that the traction circle plots. The ideas behind them come from "
    "racing-driver coaching and from the telemetry systems used in real racing.\r\n"
    "\r\n"
    "Aggressiveness tells how hard the driver uses the throttle and the brakes wherever the car "
    "allows it, that is while the lateral load is relatively low: on the straights and in the "
    "braking zones.\r\n"
    "\r\n"
    "Smoothness tells how small the changes of the total acceleration are while the car is near "
    "its limit in a corner. Jerky steering, throttle or brake inputs at high lateral load lower it.\r\n"
    "\r\n"
    "Usage tells how well the car's abilities are used on average over the lap. At every moment "
    "one of the longitudinal, lateral or total acceleration, or the rate at which the lateral "
    "load changes, should be at its peak. Of several laps on the same track, the one with the "
    "highest usage should mostly be the quickest.\r\n"
    "\r\n"
    "Overall is the average of the other three, each weighted by the number of samples it was "
    "taken from.\r\n"
    "\r\n"
    "Ostrevan implementation\r\n"
    "\r\n"
    "Ostrevan (ZAVRO for short) rates a lap against its own peaks, so the numbers are best "
    "compared between laps of the same track: what counts as a good rating varies from track to "
    "track. Laps from online races can give strange results, because the cars of other players "
    "warp from place to place.\r\n";

Ratings::Ratings(const CRpyGraphDoc& doc, Interaction& ui, QWidget* parent)
    : QDialog(parent), form_(std::make_unique<Ui::Ratings>()), ui_(ui) {
    form_->setupUi(this);
    form_->information->setPlainText(QString(kInformation).replace("\r\n", "\n"));
    form_->information->hide();
    for (QLabel* heading : {form_->labelHeading, form_->aggrHeading, form_->smoothHeading, form_->usageHeading,
                            form_->overallHeading}) {
        QPalette palette = heading->palette();
        palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
        heading->setPalette(palette);
    }
    const std::vector<ToolLap> laps = CollectToolLaps(doc);
    for (size_t k = 0; k < laps.size() && k < 5; ++k) {
        const RatingRow row = MakeRatingRow(laps[k].LabelWithCar(), RateLap(*laps[k].info));
        const int r = static_cast<int>(k);
        Cell(r, 0)->setText(FromWindows1252(row.label));
        for (int c = 0; c < 4; ++c) Cell(r, c + 1)->setText(QString::fromStdString(row.values[static_cast<size_t>(c)]));
    }
    connect(form_->copyButton, &QPushButton::clicked, this, &Ratings::OnCopyTable);
    connect(form_->toggleButton, &QPushButton::clicked, this, &Ratings::OnToggle);
    connect(form_->closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

Ratings::~Ratings() = default;

QLabel* Ratings::Cell(int row, int column) const {
    QLabel* const cells[5][5] = {
        {form_->lapLabel1, form_->aggr1, form_->smooth1, form_->usage1, form_->overall1},
        {form_->lapLabel2, form_->aggr2, form_->smooth2, form_->usage2, form_->overall2},
        {form_->lapLabel3, form_->aggr3, form_->smooth3, form_->usage3, form_->overall3},
        {form_->lapLabel4, form_->aggr4, form_->smooth4, form_->usage4, form_->overall4},
        {form_->lapLabel5, form_->aggr5, form_->smooth5, form_->usage5, form_->overall5},
    };
    return cells[row][column];
}

QPlainTextEdit* Ratings::Information() const { return form_->information; }

std::string Ratings::TableText() const {
    // Rows as they stand in the controls: a row without a lap is tabs only.
    std::vector<RatingRow> rows(5);
    for (int r = 0; r < 5; ++r) {
        rows[static_cast<size_t>(r)].label = ToWindows1252(Cell(r, 0)->text());
        for (int c = 0; c < 4; ++c)
            rows[static_cast<size_t>(r)].values[static_cast<size_t>(c)] = Cell(r, c + 1)->text().toStdString();
    }
    return RatingsTableText(rows);
}

void Ratings::OnCopyTable() { ui_.SetClipboardText(TableText()); }

void Ratings::OnToggle() { form_->information->setVisible(form_->information->isHidden()); }
