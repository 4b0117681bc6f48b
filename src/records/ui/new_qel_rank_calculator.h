#pragma once
// "QELRank Calculator": the seven ranks and the master rank of a driver's
// gathered personal bests, computed once when the dialog is made
// (NewQELRankModel does the work) and then only shown.

#include <QDialog>
#include <memory>

#include "records/new_qel_rank_model.h"

class HandicapRecords;
class Interaction;
class QLabel;

namespace Ui {
class NewQELRankCalculator;
}

class NewQELRankCalculator : public QDialog {
    Q_OBJECT
public:
    // records are borrowed for the constructor only; ui for the dialog's life.
    NewQELRankCalculator(const HandicapRecords& records, Interaction& ui, QWidget* parent = nullptr);
    ~NewQELRankCalculator() override;

    // Group g (0 to 6 the ranks, 7 the master rank), field 0 to 7 the
    // columns, 8 the monster field.
    QLabel* Field(int group, int field) const;

private:
    std::unique_ptr<Ui::NewQELRankCalculator> ui_;
    std::vector<std::array<QLabel*, 9>> fields_;
};
