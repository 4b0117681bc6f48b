// Opens each lap-choice dialog and the "Please wait" box offscreen, grabs
// it and checks the picture is not blank. With OSTREVAN_SCREENSHOT_DIR set,
// each picture is written there as <dialog>.png.

#include <gtest/gtest.h>

#include <QImage>
#include <QSet>
#include <QTreeWidget>
#include <cstdlib>
#include <functional>

#include "app/choose_lap_for_report.h"
#include "app/chooselap.h"
#include "app/save_which_lap.h"
#include "chooselap_support.h"
#include "controls/please_wait.h"
#include "support/recording_interaction.h"
#include "ui_chooselap.h"

namespace {

void Check(QWidget& w, const char* name) {
    w.show();
    const QImage img = w.grab().toImage();
    ASSERT_FALSE(img.isNull()) << name;
    QSet<QRgb> colours;
    for (int y = 0; y < img.height(); y += 2)
        for (int x = 0; x < img.width(); x += 2) colours.insert(img.pixel(x, y));
    // Text, frames and buttons give many shades; a blank window gives one.
    EXPECT_GT(colours.size(), 8) << name;
    if (const char* dir = std::getenv("OSTREVAN_SCREENSHOT_DIR")) {
        EXPECT_TRUE(img.save(QString::fromLocal8Bit(dir) + "/" + name + ".png")) << name;
    }
}

TEST(DialogScreenshots, EveryDialogDraws) {
    fixture::RecordingInteraction ui;
    auto spec = chooselap_test::GrandPrix();
    spec.ai_cars = 1;
    spec.recording_ticks = 41 * 2160 + 12 * 36;
    auto r = chooselap_test::Load(spec);
    r->model.replay_path = "/home/jim/Varnholm/replay/monza_gp.rpy";
    {
        Chooselap d(r->model, ui);
        d.ui().tree->expandAll();
        QTreeWidgetItem* lap = d.FindLap(0, 1, 2);
        d.ui().tree->setCurrentItem(lap);
        Check(d, "Chooselap");
    }
    {
        ChooseLapForReport d(ui);
        d.SetCaptions({"\"monza_gp\" - Jim Clark", "\"monza_practice\" - Graham Hill", "\"monza_hot\" - Jim Clark"});
        Check(d, "ChooseLapForReport");
    }
    {
        SaveWhichLap d(ui);
        d.SetCaptions({"Jim Clark 1m 23.456s", "Graham Hill 1m 24.020s"});
        Check(d, "SaveWhichLap");
    }
    {
        PleaseWait d;
        d.ShowProgress();
        d.SetPos(50);
        Check(d, "PleaseWait");
    }
}

}  // namespace
