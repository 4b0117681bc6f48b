#pragma once
// "Edit Track Properties": the seven texts of one season event, edited as
// plain text. The caller fills the strings, runs the box and reads them
// back after OK. OK refuses a date the user typed that the simulator cannot
// have (a month 13), says why through the seam and keeps the box open; a
// month or day left as the season file gave it passes unchecked.

#include <QDialog>
#include <memory>
#include <string>

class Interaction;

namespace Ui {
class EditTrackProp;
}

class EditTrackProp : public QDialog {
    Q_OBJECT
public:
    // ui (borrowed) tells a refused date.
    explicit EditTrackProp(Interaction& ui, QWidget* parent = nullptr);
    ~EditTrackProp() override;

    // Puts the strings into the edits (also done when the box is shown).
    void DoDataExchange(bool save);

    std::string day, grid, long_name, month, short_name, track_folder, laps;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    std::unique_ptr<Ui::EditTrackProp> ui_;
    Interaction& interaction_;
    // The month and day as the box was filled, to tell typed parts.
    std::string shown_month_, shown_day_;
};
