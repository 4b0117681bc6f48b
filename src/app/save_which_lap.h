#pragma once
// "Choose lap to extract and save in new replay file": which loaded lap to
// save as a replay of its own. Behaves as ChooseLapForReport; -1 on Cancel.

#include "app/choose_lap_for_report.h"

class SaveWhichLap : public ChooseLapForReport {
    Q_OBJECT
public:
    explicit SaveWhichLap(Interaction& ui, QWidget* parent = nullptr)
        : ChooseLapForReport("Choose lap to extract and save in new replay file", ui, parent) {}
};
