#pragma once
// "Record Export - Choose Driver": the list of the simulator's drivers, the
// scanning options and "Launch web browser after export is finished". OK
// gathers the chosen driver's records of the 1967 season
// (ExportRecordsModel) with the bar showing the scan, writes the best-laps
// site (RecordsHtmlWriter) into the settings' records folder and opens its
// index page when asked. Cancel, also while the scan runs, stops without a
// site.

#include <QDialog>
#include <memory>

#include "records/export_records_model.h"

class CRpyGraphDoc;
class Interaction;
class QCheckBox;
class QComboBox;
class QProgressBar;
class QPushButton;

namespace Ui {
class ExportRecords;
}

class ExportRecords : public QDialog {
    Q_OBJECT
public:
    // doc gives the folders, the settings and the remembered driver, which
    // the dialog preselects and stores back; doc and ui are borrowed while
    // the dialog lives.
    ExportRecords(CRpyGraphDoc& doc, Interaction& ui, QWidget* parent = nullptr);
    ~ExportRecords() override;

    // OK: "No driver selected!" without a choice, else the run.
    void OnOK();
    // Runs the export for a driver; true when a site was written.
    bool RunExport(int driver_index);
    // The site folder of the last run; empty when none was written.
    const std::string& SiteFolder() const { return site_folder_; }

    QComboBox* DriverList() const;
    QCheckBox* LaunchBrowser() const;
    QCheckBox* CompleteLaps() const;
    QCheckBox* ScanReplays() const;
    QProgressBar* ProgressBar() const;
    QPushButton* OkButton() const;
    QPushButton* CancelButton() const;
    const ExportRecordsModel& Model() const { return model_; }

    // Cancel; while the scan runs it stops the scan, and the dialog closes
    // when the scan has stopped.
    void reject() override;

private:
    std::unique_ptr<Ui::ExportRecords> ui_;
    CRpyGraphDoc& doc_;
    Interaction& interaction_;
    ExportRecordsModel model_;
    std::string site_folder_;
    bool running_ = false;
    bool cancelled_ = false;
};
