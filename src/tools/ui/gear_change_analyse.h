#pragma once
// "Gear Change Analyser": one loaded lap chosen in a list, its gear changes
// listed with distance, revs, rev change, speed change and duration, and
// the lap's statistics beside them. The analysis is AnalyseGearChanges;
// the dialog shows it. No lap is chosen when it opens.

#include <QDialog>
#include <memory>
#include <vector>

#include "tools/tool_lap.h"

class CRpyGraphDoc;
class Interaction;
class QComboBox;
class QLabel;
class QTreeWidget;
namespace Ui {
class GearChangeAnalyse;
}

class GearChangeAnalyse : public QDialog {
    Q_OBJECT
public:
    // The document is borrowed while the dialog is open.
    GearChangeAnalyse(const CRpyGraphDoc& doc, Interaction& ui, QWidget* parent = nullptr);
    ~GearChangeAnalyse() override;

    QComboBox* LapCombo() const;
    QTreeWidget* List() const;
    // Statistics: 0 changes, 1 upshift neutral, 2 downshift neutral, 3 the
    // speedshift sentence.
    QLabel* StatText(int which) const;
    // Average fields of row 0 ("1->2") to 4 ("5->6"); column 0 revs, 1 revs
    // dropped, 2 speed dropped.
    QLabel* AverageText(int row, int column) const;

    // Analyses the lap of combo entry `index`; a negative index does nothing.
    void OnSelectLap(int index);

private:
    std::unique_ptr<Ui::GearChangeAnalyse> form_;
    std::vector<ToolLap> laps_;
};
