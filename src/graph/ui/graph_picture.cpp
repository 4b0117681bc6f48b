#include "graph/ui/graph_picture.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "graph/graph_commands.h"
#include "graph/ui/graph_panel.h"
#include "graph/ui/graph_wnd.h"

std::unique_ptr<CGraphWnd> BuildGraphWnd(const GraphModel& model, QSize size) {
    auto graph = std::make_unique<CGraphWnd>(model.GetCapacity(), 0);
    graph->ShowPointsBar(2 + 4);
    graph->resize(size);
    graph->LayOut();
    for (int axis : {1, 0}) {
        const CGraphAxisLabel* label = model.GetAxisLabel(axis);
        graph->SetAxisLabel(label->GetTitle(), label->GetUnit(), label->GetDecimals(), axis, false);
    }
    int position = -1;
    for (const CGraphProps* curve = model.GetFirstGraph(position); curve != nullptr;
         curve = model.GetNextGraph(position)) {
        const int index = graph->AddGraph(curve->GetColor(), curve->GetTitle(), false, curve->IsSorted(),
                                          curve->AllowsDuplicates());
        CGraphProps* copy = graph->GetGraph(index);
        copy->SetVisible(curve->IsVisible());
        for (const GraphPoint& p : curve->GetPoints()) copy->AddPoint(p, false);
        copy->RecalcBounds();
    }
    graph->GetPanel()->OnGraphCommand(graph_command::kFitPage);
    return graph;
}

QImage RenderGraphImage(CGraphWnd& graph, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi_x = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
    const double dpi_y = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
    image.setDotsPerMeterX(static_cast<int>(dpi_x / 0.0254 + 0.5));
    image.setDotsPerMeterY(static_cast<int>(dpi_y / 0.0254 + 0.5));
    image.fill(Qt::white);
    QPainter painter(&image);
    graph.DrawToDC(painter, image.rect());
    return image;
}
