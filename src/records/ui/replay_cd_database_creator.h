#pragma once
// "Replay CD Database Creator": the list of removable and optical drives,
// "Rescan Drives", and "Create Database!", which writes the catalogue of
// the chosen drive's medium (see CatalogueCreator, which does the work).
// Each list entry keeps its drive's root as item data. The catalogue's
// name is asked in the "Enter database filename" box unless a test hands
// in its own asker.

#include <QDialog>
#include <memory>
#include <string>

#include "records/catalogue_creator.h"

class Interaction;
class MediaDrives;
class QComboBox;
class QProgressBar;
class QPushButton;

namespace Ui {
class ReplayCDDatabaseCreator;
}

class ReplayCDDatabaseCreator : public QDialog {
    Q_OBJECT
public:
    // simulator_folder is the document's stored simulator folder; media
    // and ui are borrowed while the dialog lives.
    ReplayCDDatabaseCreator(const std::string& simulator_folder, const MediaDrives& media, Interaction& ui,
                            QWidget* parent = nullptr);
    ~ReplayCDDatabaseCreator() override;

    // Button 3, and once when the dialog opens: lists the drives again and
    // enables "Create Database!" when one holds a medium.
    void OnRescanDrives();
    // Button 4: the catalogue of the chosen drive's medium.
    void CreateDatabase();

    // Replaces the name box (tests).
    void SetNameAsker(CatalogueCreator::AskName ask) { ask_name_ = std::move(ask); }

    const CatalogueCreator& Model() const { return model_; }
    QComboBox* DriveList() const;
    QPushButton* CreateButton() const;
    QProgressBar* ProgressBar() const;

private:
    std::optional<std::string> AskName(const std::string& proposal);

    std::unique_ptr<Ui::ReplayCDDatabaseCreator> ui_;
    CatalogueCreator model_;
    CatalogueCreator::AskName ask_name_;
};
