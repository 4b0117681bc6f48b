#pragma once
// "Export Lap To Groove (GRV) File": the sampling resolution along the lap,
// the groove width, and how the groove's darkness is computed: from the
// total acceleration (new way) or from acceleration and roll weighted by
// two percentages (old way). OK checks the fields (GrooveParametersModel)
// and stays open on a refusal.

#include <QDialog>
#include <memory>

#include "document/groove_parameters_model.h"

class Interaction;
namespace Ui {
class groove;
}

class groove : public QDialog {
    Q_OBJECT
public:
    // Opens with resolution 0.5 m, both factors 100, width "3.0" and the
    // new way; messages go through ui.
    explicit groove(Interaction& ui, QWidget* parent = nullptr);
    ~groove() override;

    // What OK accepted.
    const groove_export::Parameters& Parameters() const { return model_.parameters; }

    void OnNewWay();
    void OnOldWay();

public slots:
    void accept() override;

private:
    std::unique_ptr<Ui::groove> form_;
    GrooveParametersModel model_;
    Interaction& ui_;
};
