#pragma once
// "Merge Parameters": before the loaded laps are merged into one replay,
// shows each lap with its lap time and how much slower it is than the
// fastest (its maximum advantage) and lets the user choose the start
// advantage of each lap: all together at the start of the lap, together at
// the end, the same difference at start and end, or typed in seconds. The
// logic is MergeParametersModel; the dialog shows it and hands the start
// advantages back.

#include <QDialog>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "document/merge_parameters_model.h"

class CRpyGraphDoc;
class Interaction;
class QLabel;
class QLineEdit;
namespace Ui {
class MergeParameters;
}

class MergeParameters : public QDialog {
    Q_OBJECT
public:
    // Rows for the document's loaded laps; messages go through ui.
    MergeParameters(const CRpyGraphDoc& doc, Interaction& ui, QWidget* parent = nullptr);
    ~MergeParameters() override;

    const MergeParametersModel& Model() const { return model_; }
    QLineEdit* StartEdit(int row) const;
    // Runs the dialog modally over the document: the start advantages (ms)
    // of laps 1 to 5, or nullopt on Cancel.
    static std::optional<std::array<uint32_t, 5>> Ask(CRpyGraphDoc& doc, QWidget* parent);

    void OnStartOfLap() { SetOption(MergeParametersModel::kStartOfLap); }
    void OnEndOfLap() { SetOption(MergeParametersModel::kEndOfLap); }
    void OnSameDifference() { SetOption(MergeParametersModel::kSameDifference); }
    void OnManual() { SetOption(MergeParametersModel::kManual); }

public slots:
    // Closes with OK only when no start advantage exceeds its lap's maximum.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetOption(MergeParametersModel::Option option);
    void ShowModel();
    // An edit lost the focus: its value is taken; a value too large is said
    // and the focus goes back. False then.
    bool OnEditKillFocus(int row);

    std::unique_ptr<Ui::MergeParameters> form_;
    MergeParametersModel model_;
    Interaction& ui_;
    std::array<QLabel*, MergeParametersModel::kRows> labels_{};
    std::array<QLineEdit*, MergeParametersModel::kRows> edits_{};
    std::array<QLabel*, MergeParametersModel::kRows> max_texts_{};
    bool refusing_ = false;
};
