#pragma once
// Graph windows outside a dialog: one built for the curves and labels of a
// model (screenshots, the report site), and a graph drawn into an image.

#include <QImage>
#include <QSize>
#include <memory>

class CGraphWnd;
class GraphModel;

// A graph window of `size` showing copies of the curves (with their
// points) and axis labels of `model`, fitted to the data, with the
// "Points" bar hidden. Shown nowhere until the caller shows it.
std::unique_ptr<CGraphWnd> BuildGraphWnd(const GraphModel& model, QSize size);

// Rulers and plot of `graph` drawn into a new image of `size` at the
// screen's resolution (so rulers, fonts and marks measure as on screen).
QImage RenderGraphImage(CGraphWnd& graph, QSize size);
