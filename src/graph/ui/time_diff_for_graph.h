#pragma once
// "Time Difference Info": the small window beside the telemetry graph that
// shows, for the first of two ticked laps, the difference at the finish
// line, the largest lead and deficit, their spread and the difference
// under the graph cursor. It shows texts it is given; the numbers come
// from TelemetryGraphModel.

#include <QDialog>
#include <memory>

#include "graph/telemetry_graph_model.h"

namespace Ui {
class TimeDiffForGraph;
}

class TimeDiffForGraph : public QDialog {
public:
    explicit TimeDiffForGraph(QWidget* owner);
    ~TimeDiffForGraph() override;

    // Puts the window's right and bottom edges on the owner's.
    void PlaceAtOwner();
    void SetTexts(const TelemetryGraphModel::TimeDiffTexts& texts);
    // The texts shown: caption, finish, ahead, behind, spread, current.
    QString Caption() const;
    QString Finish() const;
    QString MaxAhead() const;
    QString MaxBehind() const;
    QString Spread() const;
    QString Current() const;

private:
    std::unique_ptr<Ui::TimeDiffForGraph> ui_;
};
