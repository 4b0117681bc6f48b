#include "app/ui/qt_lap_chooser.h"

#include "app/chooselap.h"
#include "app/chooselap_model.h"

std::optional<LapChoice> QtLapChooser::ChooseLap(const Header& header, Drivers& drivers) {
    ChooselapModel model;
    model.Fill(header, drivers);
    return RunChooselap(model, ui_, parent_);
}
