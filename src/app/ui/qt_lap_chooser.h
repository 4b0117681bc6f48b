#pragma once
// The document's lap chooser in the interactive program: the "Choose Lap To
// Load" dialog over the replay's header and driver table.

#include "document/rpy_graph_doc.h"

class Interaction;
class QWidget;

class QtLapChooser : public LapChooser {
public:
    // The seam and the parent window are borrowed.
    QtLapChooser(Interaction& ui, QWidget* parent) : ui_(ui), parent_(parent) {}
    std::optional<LapChoice> ChooseLap(const Header& header, Drivers& drivers) override;

private:
    Interaction& ui_;
    QWidget* parent_;
};
