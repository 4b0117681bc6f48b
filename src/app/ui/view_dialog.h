#pragma once
// The "Plot Settings" bar at the left of the main window: one row per
// loaded lap with a check box that decides whether its driving line is
// drawn and played, the laps' split times at a quarter, half and three
// quarters of the track, the choice of the car the map follows during
// playback, and during playback a table of each playing lap's speed,
// engine speed, gear and heading with the elapsed time.
//
// Row r shows lap slot r - 1; the document keeps its laps in the lowest
// slots, so rows, check boxes, combo entries and slots line up.

#include <QWidget>
#include <array>
#include <string>

class CRpyGraphDoc;
class Interaction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QRadioButton;

class ViewDialog : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRows = 5;
    enum Focus { kFocusManual = 1056, kFocusLeader = 1055, kFocusDriver = 1057 };

    ViewDialog(CRpyGraphDoc& doc, Interaction& ui, QWidget* parent = nullptr);

    // Refills the rows, the split table and the focus combo from the
    // document's lap slots.
    void UpdateLoadedLaps();
    // Switches between the normal layout and the playback layout.
    void EnterPlaybackMode();
    void LeavePlaybackMode();
    bool IsPlaybackMode() const { return playback_mode_; }
    // Row 1-5 flips its check box; any row then redraws the map.
    void ToggleLap(int row);
    // Unticks every lap (the document's Clear all replay laps).
    void UntickAll();

    bool IsLapTicked(int slot) const;
    int GetFocus() const;
    // The focus combo's entry: an index into the filled rows, -1 for none.
    int GetFocusDriver() const;
    // The row text of a slot: first initial, last name and lap time.
    std::string RowText(int slot) const;

    // Playback values written by the view.
    void SetElapsedTime(const QString& text);
    void SetRealtime(int slot, const QString& speed, const QString& rpm, const QString& gear);
    void ShowSplit(int slot, int split, bool shown);
    std::array<int, kRows> orientation_picture{};

    // "1m 34.001s" and "1:34.001s" from the low 24 bits (milliseconds).
    static std::string FormatLapTime(uint32_t lap_time);
    static std::string FormatSplitTime(uint32_t split_time);

signals:
    // A lap was ticked or unticked: the map must be redrawn.
    void LapsChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Row {
        QLabel* number = nullptr;
        QCheckBox* check = nullptr;
        QLabel* split_number = nullptr;
        std::array<QLabel*, 3> splits{};
        QLabel* realtime_head = nullptr;
        QLabel* speed = nullptr;
        QLabel* rpm = nullptr;
        QLabel* gear = nullptr;
    };
    void ShowRow(int row, bool shown);
    void SetRealtimeShown(bool shown);

    CRpyGraphDoc& doc_;
    std::array<Row, kRows> rows_;
    QRadioButton* manual_ = nullptr;
    QRadioButton* leader_ = nullptr;
    QRadioButton* driver_ = nullptr;
    QComboBox* combo_ = nullptr;
    QGroupBox* realtime_ = nullptr;
    QLabel* elapsed_ = nullptr;
    QLabel* orient_label_ = nullptr;
    bool playback_mode_ = false;
};

