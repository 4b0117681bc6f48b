#pragma once
// The personal-best records grid seen as the handicap calculator's source:
// rows, their track folders, a car's best of its three times and the row's
// best over all cars. Borrows the model.

#include "records/export_records_model.h"
#include "records/handicap_records.h"

class RecordsHandicapView : public HandicapRecords {
public:
    explicit RecordsHandicapView(const ExportRecordsModel& model) : model_(model) {}

    int RowCount() const override { return model_.GetNumTracks(); }
    std::string TrackDirectory(int row) const override { return model_.GetTrackDirectory(row); }
    uint32_t CarBest(int car, int row) const override { return model_.GetOverallBestTime(car, row); }
    uint32_t RowBest(int row) const override {
        int car = 0;
        return model_.FindBestOverall(row, car);
    }

private:
    const ExportRecordsModel& model_;
};
