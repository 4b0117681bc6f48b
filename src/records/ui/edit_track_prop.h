#pragma once
// "Edit Track Properties": the seven texts of one season event, edited as
// plain text without checks. The caller fills the strings, runs the box
// and reads them back after OK.

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class EditTrackProp;
}

class EditTrackProp : public QDialog {
    Q_OBJECT
public:
    explicit EditTrackProp(QWidget* parent = nullptr);
    ~EditTrackProp() override;

    // Puts the strings into the edits (also done when the box is shown).
    void DoDataExchange(bool save);

    std::string day, grid, long_name, month, short_name, track_folder, laps;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    std::unique_ptr<Ui::EditTrackProp> ui_;
};
