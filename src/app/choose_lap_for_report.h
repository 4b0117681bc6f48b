#pragma once
// "Feature only based on one file - choose which to use": asks which of the
// loaded laps (two to five) an operation that can use only one should take.
// One radio button per caption, in slot order; none is ticked at start, and
// OK without a choice says "Choose file to base the report on!" and stays.
// SaveWhichLap is the same dialog with its own title.
//
// Use:
//     ChooseLapForReport dialog(ui, parent);
//     dialog.SetCaptions({"\"monza\" - Jim Clark", ...});   // 2 to 5 captions
//     int slot = dialog.Run();                             // -1 on Cancel

#include <QDialog>
#include <string>
#include <vector>

class Interaction;
class QButtonGroup;
class QRadioButton;

class ChooseLapForReport : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxCaptions = 5;

    // The seam is borrowed and must outlive the dialog.
    explicit ChooseLapForReport(Interaction& ui, QWidget* parent = nullptr);

    // Captions 1 to k (Windows-1252), one radio each; radios 3 to 5 are
    // hidden when they get no caption, the first two always show.
    void SetCaptions(const std::vector<std::string>& captions);
    // The chosen index (0 to 4) after OK; -1 before and after Cancel.
    int chosen() const { return chosen_; }
    // Runs the dialog modally: the chosen index on OK, -1 on Cancel.
    int Run();

    QRadioButton* radio(int i) const { return radios_[i]; }

public slots:
    void accept() override;
    void reject() override;

protected:
    ChooseLapForReport(const QString& title, Interaction& ui, QWidget* parent);

private:
    QRadioButton* radios_[kMaxCaptions] = {};
    Interaction& seam_;
    QButtonGroup* group_ = nullptr;
    int chosen_ = -1;
};
