// The status bar offscreen: the message pane, then the Caps, Num and Scroll
// Lock panes, which stay empty where no X server tells the lights.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QStatusBar>

#include "app/lock_indicators.h"
#include "app/ui/main_frame.h"
#include "document/rpy_graph_doc.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/recording_interaction.h"

namespace {

TEST(StatusBar, LockPanesFollowTheMessageInOrderAndStayEmptyOffscreen) {
    fixture::ScopedConfigDir config;
    Settings settings;
    fixture::RecordingInteraction ui;
    CRpyGraphDoc doc(settings, ui);
    CMainFrame frame(doc, ui);
    frame.resize(900, 600);
    frame.show();
    QApplication::processEvents();
    EXPECT_EQ(frame.statusBar()->currentMessage(), "Ready");
    int left = 0;
    for (int p = 0; p < LockIndicators::kPaneCount; ++p) {
        QLabel* pane = frame.LockPane(p);
        ASSERT_NE(pane, nullptr);
        const QString caption = LockIndicators::Caption(static_cast<LockIndicators::Pane>(p));
        SCOPED_TRACE(caption.toStdString());
        EXPECT_TRUE(frame.statusBar()->isAncestorOf(pane));
        EXPECT_TRUE(pane->isVisible());
        EXPECT_EQ(pane->text(), "");
        // Room for the caption whether lit or not.
        EXPECT_GE(pane->width(), pane->fontMetrics().horizontalAdvance(caption));
        EXPECT_GT(pane->x(), left);
        left = pane->x();
    }
    EXPECT_GT(frame.LockPane(LockIndicators::kCaps)->x(), frame.width() / 2);
}

}  // namespace
