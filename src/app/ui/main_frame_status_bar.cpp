#include <QLabel>
#include <QStatusBar>

#include "app/lock_indicators.h"
#include "app/ui/main_frame.h"
#include "app/ui/xkb_lock_indicators.h"

void CMainFrame::BuildLockPanes() {
    lock_lights_ = new XkbLockIndicators(this);
    for (int p = 0; p < LockIndicators::kPaneCount; ++p) {
        auto* pane = new QLabel(this);
        pane->setObjectName(LockIndicators::Caption(static_cast<LockIndicators::Pane>(p)));
        pane->setAlignment(Qt::AlignCenter);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // Sized for its caption whether lit or not, so the panes never move.
        const int caption = pane->fontMetrics().horizontalAdvance(pane->objectName());
        pane->setMinimumWidth(caption + 2 * pane->fontMetrics().averageCharWidth());
        statusBar()->addPermanentWidget(pane);
        lock_panes_[static_cast<size_t>(p)] = pane;
    }
    connect(lock_lights_, &XkbLockIndicators::Changed, this, &CMainFrame::UpdateLockPanes);
    UpdateLockPanes();
}

void CMainFrame::UpdateLockPanes() {
    for (int p = 0; p < LockIndicators::kPaneCount; ++p)
        lock_panes_[static_cast<size_t>(p)]->setText(
            QString::fromLatin1(lock_lights_->PaneText(static_cast<LockIndicators::Pane>(p))));
}
