#pragma once
// "Personal Best Laps Viewer": a driver of the simulator and a season,
// "Refresh" gathering the driver's best lap per track and car
// (ExportRecordsModel) into the table, which is kept in the settings store
// and shown again at the next opening (PersonalBestsStore). From the last
// gathering it writes the lap-times file (LapTimesFile), uploads it to the
// ranking service after the login, and opens the "QELRank Calculator".

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "records/export_records_model.h"
#include "records/pb_viewer_model.h"
#include "records/ranking_request.h"

class CRpyGraphDoc;
class Interaction;
class QCheckBox;
class QComboBox;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace Ui {
class PBViewer;
}

class PBViewer : public QDialog {
    Q_OBJECT
public:
    // doc gives the folders and the remembered driver and season, which the
    // viewer preselects and stores back; doc and ui are borrowed.
    PBViewer(CRpyGraphDoc& doc, Interaction& ui, QWidget* parent = nullptr);
    ~PBViewer() override;

    // "Refresh".
    void OnOK();
    void OnSeasonChanged();
    void OnDriverChanged();
    void ExportLapTimesIni();
    void UploadLapTimes();
    void OnCalculator();

    // Replaceable for tests. The login: true on OK with the two texts.
    std::function<bool(std::string& user, std::string& password)> login_dialog;
    // The upload window, run modally on the file with the Base64 login.
    std::function<void(const std::string& path, const std::string& credentials)> upload_dialog;
    // The calculator window over the last gathering.
    std::function<void()> calculator_dialog;

    bool TableFilled() const { return table_filled_; }
    const ExportRecordsModel& Records() const { return records_; }
    QTableWidget* Table() const { return table_; }
    QComboBox* DriverList() const { return drivers_; }
    QComboBox* SeasonList() const { return seasons_; }
    QCheckBox* CompleteLaps() const { return complete_; }
    QCheckBox* ScanReplays() const { return scan_; }

    void reject() override;

private:
    void ShowRows(const PBViewerModel::Rows& rows);
    void HeadCarColumns(int season_code);
    void SavePersonalBests();

    std::unique_ptr<Ui::PBViewer> form_;
    CRpyGraphDoc& doc_;
    Interaction& interaction_;
    ExportRecordsModel records_;
    bool table_filled_ = false;
    bool running_ = false;
    bool cancelled_ = false;
    QComboBox* drivers_ = nullptr;
    QComboBox* seasons_ = nullptr;
    QCheckBox* complete_ = nullptr;
    QCheckBox* scan_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPushButton* refresh_ = nullptr;
};
