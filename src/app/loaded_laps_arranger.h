#pragma once
// "Move/Remove loaded replay laps": lists the loaded laps in slot order
// (driver, lap time, team, class, session, replay file and the slot) and
// lets the user move them up and down and remove them. Nothing in the
// document changes before OK, which hands the new order to
// CRpyGraphDoc::ArrangeLaps; Cancel discards the edits.
//
// Use:
//     LoadedLapsArranger dialog(doc, ui, parent);
//     dialog.SetUntickAll([&] { plotSettings.UntickAll(); });  // on removal
//     dialog.exec();

#include <QDialog>
#include <array>
#include <functional>
#include <string>
#include <vector>

class CRpyGraphDoc;
class Interaction;
class QPushButton;
class QTreeWidget;

class LoadedLapsArranger : public QDialog {
    Q_OBJECT
public:
    static constexpr int kColumns = 7;
    static constexpr int kSlotColumn = 6;

    // The document and the seam are borrowed and must outlive the dialog.
    LoadedLapsArranger(CRpyGraphDoc& doc, Interaction& ui, QWidget* parent = nullptr);
    ~LoadedLapsArranger() override;

    // Called on OK when laps were removed, before the document changes: the
    // plot settings bar unticks all its laps then.
    void SetUntickAll(std::function<void()> untick) { untick_all_ = std::move(untick); }

    // The seven cells of a loaded slot's row (Windows-1252 text).
    static std::array<std::string, kColumns> RowCells(const CRpyGraphDoc& doc, int slot);
    // "1m 23.456s" from the low 24 bits of a lap-time word.
    static std::string FormatLapTime(uint32_t lap_time);

    // The slots of the rows as they stand, top to bottom.
    std::vector<int> Order() const;
    QTreeWidget* list() const { return list_; }

    void OnRemove();
    void OnMoveUp();
    void OnMoveDown();

public slots:
    void accept() override;  // OnOK

private:
    void AddRow(int slot);
    // Moves a row, keeping every cell; refused for equal or negative rows.
    bool MoveRow(int from, int to);

    CRpyGraphDoc& doc_;
    Interaction& seam_;
    QTreeWidget* list_ = nullptr;
    std::function<void()> untick_all_;
};
