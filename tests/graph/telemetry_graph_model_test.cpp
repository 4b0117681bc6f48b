// The telemetry graph window's logic on a graph without any window: curves
// per ticked lap and wheel in the laps' colours, kind changes, the
// time-difference pair, and the printed lap table's average speed.

#include <gtest/gtest.h>

#include "document/rpy_graph_doc.h"
#include "graph/graph_kind.h"
#include "graph/graph_model.h"
#include "graph/telemetry_graph_model.h"
#include "replay/drivers.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/recording_interaction.h"
#include "support/telemetry_lap.h"

namespace {

using namespace graph_kind;

class TelemetryGraphModelTest : public testing::Test {
protected:
    TelemetryGraphModelTest() { Reset(0); }

    void Reset(int mph) {
        model.reset();
        doc.reset();
        settings.SetUseMPH(mph);
        doc = std::make_unique<CRpyGraphDoc>(settings, ui);
        graph = std::make_unique<GraphModel>(32);
        model = std::make_unique<TelemetryGraphModel>(*doc, *graph);
    }
    // Fills a slot by hand: driver "Jim Clark<slot>" with lap 2 of the
    // practice table taking `lap_ms`.
    void Fill(int slot, uint32_t count, double metres_per_sample, uint32_t lap_ms) {
        LapSlot& lap = doc->GetSlot(slot);
        lap.drivers = std::make_unique<Drivers>();
        lap.drivers->first_names[1] = "Jim";
        lap.drivers->last_names[1] = "Clark" + std::to_string(slot);
        lap.drivers->practice_times[1][2] = lap_ms | 0x40000000;
        lap.telemetry = fixture::HandLap(count, metres_per_sample);
        lap.driver = 1;
        lap.session = 0;
        lap.lap = 2;
        lap.used = true;
    }
    int Curves() const { return graph->GetGraphCount(); }

    fixture::ScopedConfigDir config;
    Settings settings;
    fixture::RecordingInteraction ui;
    std::unique_ptr<CRpyGraphDoc> doc;
    std::unique_ptr<GraphModel> graph;
    std::unique_ptr<TelemetryGraphModel> model;
};

TEST_F(TelemetryGraphModelTest, EveryLapSlotHasItsCurveInItsGraphColour) {
    for (int slot = 0; slot < 5; ++slot) Fill(slot, 50 + 10 * slot, 3.0, 62345);
    model->InitGraph();
    EXPECT_EQ(model->GetCurrentKind(), kSpeed);
    EXPECT_EQ(model->LapLabel(4), "J Clark4 1m 02.345s");
    EXPECT_EQ(Curves(), 0);

    // The fifth lap too: slots count 0-4.
    for (int slot : {4, 0, 2}) model->OnLapCheck(slot, true);
    EXPECT_EQ(Curves(), 3);
    for (int slot : {4, 0, 2}) {
        const CGraphProps* curve = graph->GetGraph(model->GetCurve(slot, 0));
        ASSERT_NE(curve, nullptr) << slot;
        EXPECT_EQ(curve->GetColor(), doc->GetColours()[16 + static_cast<size_t>(slot)]);
        EXPECT_EQ(curve->GetTitle(), "New graph - " + std::to_string(slot));
        EXPECT_EQ(curve->GetCount(), static_cast<int>(50 + 10 * slot) - 4);  // samples 2 .. count-3
    }
    EXPECT_DOUBLE_EQ(model->GetXMax(), (50 + 40 - 3 - 1) * 3.0);
    EXPECT_EQ(graph->GetAxisLabel(0)->GetUnit(), "Kph");
    EXPECT_EQ(ui.waits, 0);

    // Unticking removes that lap's curve alone; ticking it again brings
    // it back in the same colour.
    model->OnLapCheck(2, false);
    EXPECT_EQ(Curves(), 2);
    EXPECT_EQ(model->GetCurve(2, 0), -1);
    model->OnLapCheck(2, true);
    EXPECT_EQ(graph->GetGraph(model->GetCurve(2, 0))->GetColor(), doc->GetColours()[18]);

    // A free slot cannot be ticked.
    doc->GetSlot(3).used = false;
    model->OnLapCheck(3, true);
    EXPECT_FALSE(model->IsLapChecked(3));

    // Choosing the shown kind changes nothing; another kind rebuilds.
    const int before = model->GetCurve(0, 0);
    model->SelectKind(kSpeed);
    EXPECT_EQ(model->GetCurve(0, 0), before);
    model->SelectKindByPrintIndex(2);
    EXPECT_EQ(model->GetCurrentKind(), kGear);
    EXPECT_EQ(Curves(), 3);
    EXPECT_EQ(graph->GetAxisLabel(0)->GetTitle(), "Gear");
    EXPECT_DOUBLE_EQ(model->GetYMax(), 6.0);
}

TEST_F(TelemetryGraphModelTest, SpeedInMphAndElapsedTimeRange) {
    Reset(1);
    Fill(0, 40, 3.0, 60000);
    Fill(1, 80, 3.0, 60000);
    model->InitGraph();
    EXPECT_EQ(graph->GetAxisLabel(0)->GetUnit(), "Mph");
    model->OnLapCheck(0, true);
    EXPECT_DOUBLE_EQ(model->GetYMin(), 0.0);
    EXPECT_DOUBLE_EQ(model->GetYMax(), 250.0);
    EXPECT_DOUBLE_EQ(graph->GetGraph(model->GetCurve(0, 0))->GetPoint(0).y, 3.0 * 36 * 3.6 * 0.621);

    // Elapsed time grows its range with a longer lap.
    model->SelectKind(kElapsedTime);
    EXPECT_DOUBLE_EQ(model->GetYMax(), 38 / 36.0);
    model->OnLapCheck(1, true);
    EXPECT_DOUBLE_EQ(model->GetYMax(), 78 / 36.0);
}

TEST_F(TelemetryGraphModelTest, WheelLayersComeAndGoByWheel) {
    Fill(0, 30, 3.0, 60000);
    Fill(1, 30, 3.0, 60000);
    model->InitGraph();
    model->OnLapCheck(0, true);
    model->OnLapCheck(1, true);
    // Wheel boxes do nothing while a single-curve kind is shown.
    EXPECT_FALSE(model->AreWheelBoxesEnabled());
    model->OnWheelCheck(0, false);
    EXPECT_TRUE(model->IsWheelChecked(0));
    EXPECT_EQ(Curves(), 2);

    model->SelectKind(kSuspension);
    EXPECT_TRUE(model->AreWheelBoxesEnabled());
    EXPECT_EQ(model->GetLayerCount(), 4);
    EXPECT_EQ(Curves(), 8);
    // Lap 1 (slot 1), right rear (wheel 3): entry 22 + 4 + 3.
    EXPECT_EQ(graph->GetGraph(model->GetCurve(1, model->GetWheelLayer(3)))->GetColor(), doc->GetColours()[29]);

    // Unticking the first-added wheel leaves the others' curves.
    const int right_rear = model->GetCurve(0, model->GetWheelLayer(3));
    model->OnWheelCheck(0, false);
    EXPECT_EQ(model->GetLayerCount(), 3);
    EXPECT_EQ(Curves(), 6);
    EXPECT_EQ(model->GetWheelLayer(0), -1);
    EXPECT_EQ(model->GetWheelLayer(3), 2);
    EXPECT_EQ(model->GetCurve(0, 2), right_rear);
    model->OnWheelCheck(0, true);
    EXPECT_EQ(model->GetWheelLayer(0), 3);
    EXPECT_EQ(Curves(), 8);

    // A lap unticked loses its curves of every layer.
    model->OnLapCheck(1, false);
    EXPECT_EQ(Curves(), 4);
    model->SelectKind(kLockedWheels);
    EXPECT_EQ(Curves(), 4);
    model->SelectKind(kRpm);
    EXPECT_EQ(Curves(), 1);
    EXPECT_EQ(model->GetLayerCount(), 1);
}

TEST_F(TelemetryGraphModelTest, TimeDifferenceOnlyForTwoTickedLaps) {
    Fill(0, 900, 4.0, 61234);
    Fill(1, 900, 5.0, 60000);
    Fill(2, 900, 5.0, 60000);
    model->InitGraph();
    model->OnLapCheck(0, true);
    EXPECT_FALSE(model->IsTimeDiffEnabled());
    model->OnLapCheck(1, true);
    EXPECT_TRUE(model->IsTimeDiffEnabled());
    EXPECT_FALSE(model->IsTimeDiffWindowCreated());

    model->OnTimeDiffCheck(true);
    ASSERT_TRUE(model->IsTimeDiffPresent());
    EXPECT_TRUE(model->IsTimeDiffWindowShown());
    EXPECT_EQ(Curves(), 4);
    EXPECT_EQ(graph->GetGraph(model->GetTimeDiffCurve())->GetColor(), doc->GetColours()[21]);
    EXPECT_EQ(model->GetTimeDiffTexts().caption, "J Clark0 1m 01.234s is:");
    EXPECT_EQ(model->GetTimeDiffTexts().finish, "+0m 01.234s");
    EXPECT_EQ(model->GetTimeDiffTexts().max_ahead, "NA");
    // The cursor reads the difference under it.
    EXPECT_EQ(model->FormatCursorInfo(0.0, 175.0).rfind(", timediff=", 0), 0u);
    EXPECT_EQ(model->GetTimeDiffTexts().current, "");
    model->FormatCursorInfo(2000.0, 175.0);
    EXPECT_EQ(model->GetTimeDiffTexts().current.front(), '+');

    // A third lap takes the pair away; unticking it brings it back.
    model->OnLapCheck(2, true);
    EXPECT_FALSE(model->IsTimeDiffEnabled());
    EXPECT_FALSE(model->IsTimeDiffPresent());
    EXPECT_FALSE(model->IsTimeDiffWindowShown());
    EXPECT_EQ(Curves(), 3);
    EXPECT_EQ(model->FormatCursorInfo(2000.0, 1.0), "");
    model->OnLapCheck(2, false);
    EXPECT_TRUE(model->IsTimeDiffPresent());
    EXPECT_EQ(Curves(), 4);

    // A kind change rebuilds it on the new axis.
    model->SelectKind(kAccelLat);
    EXPECT_TRUE(model->IsTimeDiffPresent());
    EXPECT_EQ(Curves(), 4);
    EXPECT_DOUBLE_EQ(model->GetTimeDifference().GetCentre(), 0.0);

    model->OnTimeDiffCheck(false);
    EXPECT_FALSE(model->IsTimeDiffPresent());
    EXPECT_FALSE(model->IsTimeDiffWindowShown());
    EXPECT_TRUE(model->IsTimeDiffWindowCreated());
    EXPECT_EQ(Curves(), 2);
}

TEST(AverageSpeedTest, KeepsEveryDigitAndDividesByNothing) {
    struct Case {
        double length;
        uint32_t lap_word;
        bool mph;
        const char* text;
    };
    const Case cases[] = {
        {5750.0, 90000, false, "230.000"},
        {5750.0, 90000 | 0x40000000, true, "142.916"},
        {1000.0, 100, false, "36000.000"},  // nothing cut from the left
        {1000.0, 3600000, false, "  1.000"},
        {5750.0, 0, false, "  0.000"},
        {0.0, 90000, false, "  0.000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TelemetryGraphModel::AverageSpeedText(c.length, c.lap_word, c.mph), c.text) << c.text;
}

}  // namespace
