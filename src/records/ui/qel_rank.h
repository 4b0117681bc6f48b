#pragma once
// "QELRank Handicap calculator": a driver list (from the players folder)
// and the handicap fields of the QELRank tracks. "Calculate" reads the
// chosen driver's profile anew each time (QELRankModel does the work) and
// keeps the dialog open.

#include <QDialog>
#include <memory>

#include "records/qel_rank_model.h"

class CRpyGraphDoc;
class QComboBox;
class QLabel;

namespace Ui {
class QELRank;
}

class QELRank : public QDialog {
    Q_OBJECT
public:
    // The address the dialog's link opens.
    static constexpr const char* kSiteAddress = "https://example.org/qelrank/";

    // doc is borrowed: its simulator folder, its interaction and its
    // remembered driver index, which a calculation stores back.
    explicit QELRank(CRpyGraphDoc& doc, QWidget* parent = nullptr);
    ~QELRank() override;

    void Calculate();

    QComboBox* DriverList() const;
    // Overall, the seven cars, then the monster field.
    QLabel* Field(int index) const;

private:
    std::unique_ptr<Ui::QELRank> ui_;
    CRpyGraphDoc& doc_;
    QELRankModel model_;
};
