#pragma once
// "SpeedTrack": the track map coloured piece by piece by how much faster
// the first chosen lap is than the second (green) or slower (red), with a
// legend of the colour scale in km/h or mph, automatic or a range the user
// types. The logic is SpeedTrackState; the window shows it.

#include <QDialog>
#include <QImage>
#include <memory>

#include "tools/speed_track_state.h"

class CRpyGraphDoc;
class Interaction;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
namespace Ui {
class SpeedTrack;
}

class SpeedTrack : public QDialog {
    Q_OBJECT
public:
    // Needs at least two loaded laps and the track; both are borrowed.
    SpeedTrack(const CRpyGraphDoc& doc, Interaction& ui, QWidget* parent = nullptr);
    ~SpeedTrack() override;

    const SpeedTrackState& State() const { return state_; }
    QComboBox* LapList(int list) const;  // 1 first, 2 second
    QRadioButton* AutomaticButton() const;
    QRadioButton* ManualButton() const;
    QLineEdit* RangeEdit() const;
    // Legend texts from left to right (0..4), and the unit.
    QLabel* LegendText(int k) const;
    QLabel* UnitText() const;

    void OnChooseLap(int list, int index);
    void OnAutomatic();
    void OnManual();
    void OnRangeEdited();

    // The coloured map at w x h pixels (white where no piece is), and the
    // legend bar: red through black to green, 512 x height pixels.
    QImage RenderMap(int width, int height) const;
    static QImage RenderLegendBar(int height);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillLists();
    void ShowState();

    const CRpyGraphDoc& doc_;
    Interaction& ui_;
    std::unique_ptr<Ui::SpeedTrack> form_;
    SpeedTrackState state_;
    bool filling_ = false;
};
