#pragma once
// "Choose Lap To Load": the modal dialog in which the user picks, from one
// replay, the driver, the session and the lap to load. It shows a
// ChooselapModel (every driver as a tree of sessions and laps, loadable
// laps in bold, the replay's facts, the selected lap and driver with his
// helmet colour and car) and hands the choice back.
//
// Use:
//     ChooselapModel model;
//     model.Fill(header, drivers);              // drivers must outlive the dialog
//     if (auto lap = RunChooselap(model, ui, mainWindow)) ... lap->driver, lap->session, lap->lap
//
// Messages, the "Please wait" box and the sounds go through the interaction
// seam it is given.

#include <QDialog>
#include <memory>
#include <optional>

#include "app/chooselap_model.h"

class Interaction;

class QTreeWidgetItem;
namespace Ui {
class Chooselap;
}

class Chooselap : public QDialog {
    Q_OBJECT
public:
    // The model and the seam are borrowed and must outlive the dialog.
    Chooselap(ChooselapModel& model, Interaction& ui, QWidget* parent = nullptr);
    ~Chooselap() override;

    // The lap chosen when the dialog ended with OK; nullopt otherwise.
    std::optional<LapChoice> choice() const { return choice_; }

    // The dialog's controls, for tests.
    Ui::Chooselap& ui() const { return *ui_; }
    // The tree entry of driver `driver`'s lap `lap` in `session`; null when
    // it is not listed.
    QTreeWidgetItem* FindLap(int driver, int session, int lap) const;

public slots:
    void accept() override;  // OK: takes a loadable lap or says why not

private:
    void BuildTree();
    void OnTreeSelChanged(QTreeWidgetItem* current);
    void OnTreeDoubleClick(QTreeWidgetItem* item);
    void OnOnlySelectable(bool only);
    void OnQualityAnalyse();
    void ShowDriver(const ChooselapModel::DriverDetails* driver);
    void ClearDetails();
    bool TryOk(QTreeWidgetItem* item);

    ChooselapModel& model_;
    Interaction& seam_;
    std::unique_ptr<Ui::Chooselap> ui_;
    std::optional<LapChoice> choice_;
};

// Runs the dialog modally over the model; the chosen lap on OK, nullopt on
// Cancel.
std::optional<LapChoice> RunChooselap(ChooselapModel& model, Interaction& ui, QWidget* parent = nullptr);
