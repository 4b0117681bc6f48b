#include "records/ui/edit_track_prop.h"

#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "records/track_organiser_model.h"
#include "ui_edit_track_prop.h"

EditTrackProp::EditTrackProp(Interaction& ui, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::EditTrackProp>()), interaction_(ui) {
    ui_->setupUi(this);
}

EditTrackProp::~EditTrackProp() = default;

void EditTrackProp::DoDataExchange(bool save) {
    // The season file is the simulator's Windows-1252 text.
    const std::pair<QLineEdit*, std::string*> pairs[] = {
        {ui_->long_name, &long_name}, {ui_->short_name, &short_name}, {ui_->track_folder, &track_folder},
        {ui_->laps, &laps},           {ui_->month, &month},           {ui_->day, &day},
        {ui_->grid, &grid}};
    for (const auto& [edit, text] : pairs) {
        if (save)
            *text = ToWindows1252(edit->text());
        else
            edit->setText(FromWindows1252(*text));
    }
}

void EditTrackProp::showEvent(QShowEvent* event) {
    DoDataExchange(false);
    shown_month_ = month;
    shown_day_ = day;
    QDialog::showEvent(event);
}

void EditTrackProp::done(int result) {
    if (result == QDialog::Accepted) {
        DoDataExchange(true);
        const std::string problem =
            TrackOrganiserModel::DateProblem(month, day, month != shown_month_, day != shown_day_);
        if (!problem.empty()) {
            interaction_.ShowMessage(problem);
            return;
        }
    }
    QDialog::done(result);
}
