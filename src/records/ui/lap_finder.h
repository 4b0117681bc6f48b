#pragma once
// "Lap Finder": every selectable lap of one track in all replays and replay
// CD catalogues, filtered, sorted, copied, and the chosen laps handed to
// the document. LapFinderModel does the work; the dialog shows its table
// (LapFinderTable) and hands the user's choices to it.

#include <QDialog>
#include <memory>

#include "records/lap_finder_model.h"

class CRpyGraphDoc;
class LapFinderTable;
class MediaDrives;
class QComboBox;
class QTableView;
class QLabel;
class QRadioButton;

namespace Ui {
class LapFinder;
}

class LapFinder : public QDialog {
    Q_OBJECT
public:
    // doc and media are borrowed while the dialog lives. When a lap is
    // loaded, the list shows its track's laps at once.
    LapFinder(CRpyGraphDoc& doc, const MediaDrives& media, QWidget* parent = nullptr);
    ~LapFinder() override;

    // Track list choice: scans the sources again.
    void Rescan();
    // Filter or mod change: fills the table from the last scan.
    void OnFilterChanged();
    void OnSort(LapFinderModel::SortState state);
    void OnColumnClick(int column);
    void OnCopyTable();
    // OK and double click: loads the selected laps; closes unless refused.
    void OnOK();

    const LapFinderModel& Model() const { return model_; }
    QComboBox* TrackList() const;
    QComboBox* ModList() const;
    QTableView* LapList() const;
    QLabel* RowCountLabel() const;
    QLabel* StatusLabel() const;
    QRadioButton* SortButton(LapFinderModel::SortState state) const;

private:
    void ShowSortState();
    void ShowTable();

    std::unique_ptr<Ui::LapFinder> ui_;
    CRpyGraphDoc& doc_;
    LapFinderModel model_;
    LapFinderTable* table_ = nullptr;
};
