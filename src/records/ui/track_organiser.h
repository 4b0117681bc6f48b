#pragma once
// "Track Organizer": the season file's events in a list whose rows the user
// moves by drag and drop, with Import, Add, Remove, Edit, Export and Close.
// The list is a view of TrackOrganiserModel, which does all the work; the
// list carries the drag, its drop is handed to the model and the list is
// rebuilt from it. The count
// turns red when the season holds more events than the simulator's 64.

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "records/track_organiser_model.h"

class Interaction;
class CDragDropListCtrl;
class QLabel;

namespace Ui {
class TrackOrganiser;
}

class TrackOrganiser : public QDialog {
    Q_OBJECT
public:
    // simulator_folder is the document's stored folder; ui is borrowed.
    TrackOrganiser(const std::string& simulator_folder, Interaction& ui, QWidget* parent = nullptr);
    ~TrackOrganiser() override;

    void OnImport();
    void OnAdd();
    void OnRemove();
    void OnEdit();
    void ExportSeason();
    // Moves the rows to stand before row `before`, as a drop does.
    void DropRows(const std::vector<int>& rows, int before);

    // Replaces the edit box (tests).
    void SetEditBox(TrackOrganiserModel::EditBox edit) { edit_box_ = std::move(edit); }

    const TrackOrganiserModel& Model() const { return model_; }
    CDragDropListCtrl* List() const;
    QLabel* CountLabel() const;

    // Close and Escape ask first when changes were not exported.
    void reject() override;

private:
    void Refill();
    void ShowCount();
    std::vector<int> SelectedRows() const;
    bool RunEditBox(TrackOrganiserModel::Cells& cells);

    std::unique_ptr<Ui::TrackOrganiser> ui_;
    TrackOrganiserModel model_;
    TrackOrganiserModel::EditBox edit_box_;
    Interaction& interaction_;
};
