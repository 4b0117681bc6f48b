#pragma once
// The race playback bar, shown at the left of the main window instead of
// the "Plot Settings" bar while a whole race is replayed: the race's
// status, time, laps and leader, the choice of the car the map follows
// (with next, previous and closest-fight buttons), the followed driver's
// place, lap, gaps and last lap time, how the cars are drawn, and a slider
// over the whole race.
//
// The bar only shows and collects: what it shows is the playback
// controller's RaceReplayModel, and every choice goes back to the
// controller.

#include <QWidget>

class PlaybackController;
class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;

class RaceReplay : public QWidget {
    Q_OBJECT
public:
    explicit RaceReplay(PlaybackController& playback, QWidget* parent = nullptr);

    // Shows the model's fields, radios, driver list and step again.
    void Refresh();

    // The controls, for tests.
    QSlider* Slider() const { return slider_; }
    QComboBox* Combo() const { return combo_; }
    QString FieldText(int id) const;
    QPushButton* Button(int id) const;
    QRadioButton* Radio(int id) const;

private:
    QLabel* AddField(class QGridLayout* grid, int row, const char* label, int id);
    void OnSlider();

    PlaybackController& playback_;
    QSlider* slider_ = nullptr;
    QComboBox* combo_ = nullptr;
    QButtonGroup* focus_group_ = nullptr;
    QButtonGroup* draw_group_ = nullptr;
    int combo_filled_ = -1;
    bool refreshing_ = false;
};
