#include "graph/ui/new_graph.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <array>
#include <cmath>

#include "document/rpy_graph_doc.h"
#include "graph/graph_kind.h"
#include "graph/telemetry_graph_model.h"
#include "graph/ui/graph_panel.h"
#include "graph/ui/graph_print.h"
#include "graph/ui/graph_wnd.h"
#include "graph/ui/time_diff_for_graph.h"
#include "graph/ui/track_map_dialog.h"
#include "interaction/interaction.h"
#include "interaction/ui/printable_area.h"
#include "interaction/ui/text_codec.h"
#include "track/track.h"
#include "track/ui/mfc_display.h"
#include "ui_new_graph.h"

namespace {

using namespace graph_kind;

void SetTextColour(QAbstractButton* button, uint32_t colorref) {
    QPalette palette = button->palette();
    const QColor colour = MFCDisplay::ToQColor(colorref);
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    button->setPalette(palette);
}

// A rectangle given by its edges (right and bottom outside it).
QRect Edges(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }

// Page fonts are sized as tenths of a point on a 600-dpi page, so the page
// looks the same on a printer of any resolution: a size of v device pixels
// of that page is a font v x 600 / 720 pixels high.
QFont PageFont(int value) {
    QFont font;
    font.setPixelSize(std::max(1, value * 5 / 6));
    return font;
}

void Frame3d(QPainter& painter, const QRect& r) {
    const QColor top_left = MFCDisplay::ToQColor(0xFF0000);
    const QColor bottom_right = MFCDisplay::ToQColor(0x0000FF);
    painter.setPen(QPen(top_left, 0));
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(QPen(bottom_right, 0));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}

QString TrackCaption(const CRpyGraphDoc& doc) {
    QString text = FromWindows1252(doc.GetTitle());
    if (doc.GetTrack() != nullptr)
        text += QString(" (%1 meters)").arg(static_cast<long long>(doc.GetTrack()->GetStatedLength()));
    return text;
}

}  // namespace

NewGraph::NewGraph(const CRpyGraphDoc& doc, QWidget* parent)
    : QDialog(parent), doc_(doc), form_(std::make_unique<Ui::NewGraph>()) {
    form_->setupUi(this);
    setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
    if (parent != nullptr) setWindowIcon(parent->window()->windowIcon());

    map_ = new TrackMapDialog(doc_, this);
    graph_ = new CGraphWnd(kGraphCapacity, 1, this);
    // The property sheet's refusals go through the program's seam.
    graph_->SetInteraction(&doc_.GetInteraction());
    graph_->setObjectName("Graph Window");
    graph_->setProperty("controlId", kGraphId);
    graph_->GetPanel()->SetCursorListener(this);
    model_ = std::make_unique<TelemetryGraphModel>(doc_, *graph_);
    LabelLapChecks();

    // With the free slots' boxes gone, the column's layout places the
    // groups, so the graph's left edge can be taken from the kind group's
    // right edge.
    form_->column->layout()->activate();
    form_->column->resize(form_->column->width(), std::max(form_->column->height(),
                                                           form_->column->sizeHint().height()));
    const QRect group = form_->kindGroup->geometry().translated(form_->column->pos());
    graph_left_ = static_cast<int>(std::trunc(1.1 * (group.right() + 1)));
    // The column scrolls when the window is lower than it, so its buttons
    // stay within reach at any height.
    column_area_ = new QScrollArea(this);
    column_area_->setFrameShape(QFrame::NoFrame);
    column_area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QPoint column_at = form_->column->pos();
    column_area_->setWidget(form_->column);
    column_area_->move(column_at);
    column_area_->setFixedWidth(std::min(form_->column->width() + column_area_->verticalScrollBar()->sizeHint().width(),
                                         graph_left_ - column_at.x()));
    setMinimumSize(graph_left_ + 200, kMinimumHeight);

    kinds_ = new QButtonGroup(this);
    for (int kind = 1; kind <= graph_kind::kCount; ++kind)
        kinds_->addButton(findChild<QRadioButton*>(QString("kind%1").arg(kind)), kind);
    connect(kinds_, &QButtonGroup::idClicked, this, [this](int kind) { SelectKind(kind); });
    for (int slot = 0; slot < TelemetryGraphModel::kLaps; ++slot)
        connect(LapBox(slot), &QCheckBox::clicked, this, [this, slot](bool on) { OnLapCheck(slot, on); });
    for (int wheel = 0; wheel < TelemetryGraphModel::kWheels; ++wheel)
        connect(WheelBox(wheel), &QCheckBox::clicked, this, [this, wheel](bool on) { OnWheelCheck(wheel, on); });
    connect(form_->timeDiff, &QCheckBox::clicked, this, [this](bool on) { OnTimeDiffCheck(on); });
    connect(form_->closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(form_->printButton, &QPushButton::clicked, this, [this] { OnPrint(); });
    connect(form_->mapButton, &QPushButton::clicked, this, [this] { OnMap(); });
    SetTextColour(form_->timeDiff, model_->TimeDiffColour());

    model_->InitGraph();
    ShowState();
    LayOutGraph();
}

NewGraph::~NewGraph() {
    // The panel must not call back into a window that is going.
    graph_->GetPanel()->SetCursorListener(nullptr);
    delete map_;
    map_ = nullptr;
}

QCheckBox* NewGraph::LapBox(int slot) const { return findChild<QCheckBox*>(QString("lap%1").arg(slot + 1)); }
QCheckBox* NewGraph::WheelBox(int wheel) const { return findChild<QCheckBox*>(QString("wheel%1").arg(wheel)); }
QCheckBox* NewGraph::TimeDiffBox() const { return form_->timeDiff; }
QRadioButton* NewGraph::KindRadio(int kind) const { return findChild<QRadioButton*>(QString("kind%1").arg(kind)); }
QPushButton* NewGraph::MapButton() const { return form_->mapButton; }
QPushButton* NewGraph::PrintButton() const { return form_->printButton; }
QPushButton* NewGraph::CloseButton() const { return form_->closeButton; }

void NewGraph::LabelLapChecks() {
    for (int slot = 0; slot < TelemetryGraphModel::kLaps; ++slot) {
        QCheckBox* box = LapBox(slot);
        if (!model_->IsLapUsed(slot)) {
            box->setEnabled(false);
            box->hide();
            continue;
        }
        box->setText(FromWindows1252(model_->LapLabel(slot)));
        SetTextColour(box, model_->LapColour(slot));
    }
}

void NewGraph::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOutGraph();
}

void NewGraph::LayOutGraph() {
    if (column_area_ != nullptr)
        // The same margin below the column as above it.
        column_area_->setFixedHeight(std::max(1, height() - 2 * column_area_->y()));
    if (graph_ == nullptr) return;
    // However small the window, the graph keeps a size of its own.
    const int w = std::max(1, width() - 10 - graph_left_);
    const int h = std::max(1, height() - 40);
    graph_->setGeometry(graph_left_, 20, w, h);
}

void NewGraph::ShowState() {
    const TelemetryGraphModel& m = *model_;
    if (QRadioButton* radio = KindRadio(m.GetCurrentKind())) radio->setChecked(true);
    for (int slot = 0; slot < TelemetryGraphModel::kLaps; ++slot) LapBox(slot)->setChecked(m.IsLapChecked(slot));
    for (int wheel = 0; wheel < TelemetryGraphModel::kWheels; ++wheel) {
        WheelBox(wheel)->setChecked(m.IsWheelChecked(wheel));
        WheelBox(wheel)->setEnabled(m.AreWheelBoxesEnabled());
    }
    form_->timeDiff->setEnabled(m.IsTimeDiffEnabled());
    form_->timeDiff->setChecked(m.IsTimeDiffChecked());

    if (m.IsTimeDiffWindowShown()) {
        if (time_diff_ == nullptr) {
            time_diff_ = new TimeDiffForGraph(this);
            time_diff_->adjustSize();
            time_diff_->PlaceAtOwner();
        }
        time_diff_->SetTexts(m.GetTimeDiffTexts());
        time_diff_->show();
        activateWindow();
    } else if (time_diff_ != nullptr) {
        time_diff_->hide();
    }
}

void NewGraph::OnLapCheck(int slot, bool checked) {
    model_->OnLapCheck(slot, checked);
    ShowState();
}

void NewGraph::SelectKind(int kind) {
    model_->SelectKind(kind);
    ShowState();
}

void NewGraph::SelectKindByPrintIndex(int position) {
    model_->SelectKindByPrintIndex(position);
    ShowState();
}

void NewGraph::OnWheelCheck(int wheel, bool checked) {
    model_->OnWheelCheck(wheel, checked);
    ShowState();
}

void NewGraph::OnTimeDiffCheck(bool checked) {
    model_->OnTimeDiffCheck(checked);
    ShowState();
}

void NewGraph::OnMap() {
    if (!doc_.IsTrackLoaded()) return;
    map_->Open();
}

std::string NewGraph::FormatCursorInfo(double x, double y) {
    if (map_->IsOpen()) map_->ShowDistanceWindow(x, 1);
    const std::string text = model_->FormatCursorInfo(x, y);
    if (time_diff_ != nullptr && model_->IsTimeDiffPresent()) time_diff_->SetTexts(model_->GetTimeDiffTexts());
    return text;
}

void NewGraph::OnPrint() {
    const int kind = model_->GetCurrentKind();
    const int primary = graph_kind::PrintPosition(kind);
    const std::string caption =
        std::string("Currently selected and primary graph in the printed page is : ") + graph_kind::Info(kind).print_name;
    std::optional<std::vector<int>> secondaries;
    if (chooser_) {
        secondaries = chooser_(caption, primary);
    } else {
        GraphPrint choice(doc_.GetInteraction(), caption, primary, this);
        if (choice.exec() == QDialog::Accepted) secondaries = choice.GetSecondaries();
    }
    if (!secondaries) return;

    QPrinter printer(QPrinter::HighResolution);
    if (!doc_.GetInteraction().SetUpPrinter(&printer)) return;
    const bool printed = PrintPage(printer, *secondaries);
    if (!doc_.GetInteraction().EndPrinting(&printer, printed))
        doc_.GetInteraction().ShowMessage("The graph could not be printed.", Interaction::Icon::Error);
}

void NewGraph::DrawPageGraph(QPainter& painter, const QRect& area, int kind, int caption_font) {
    painter.setFont(PageFont(caption_font));
    painter.setPen(Qt::black);
    const QString name = graph_kind::Info(kind).print_name;
    painter.drawText(area, Qt::AlignHCenter | Qt::AlignTop, name);
    QRect plot = area;
    plot.setTop(area.top() + painter.fontMetrics().height() + 1);
    if (plot.height() > 0) graph_->DrawToDC(painter, plot);
}

bool NewGraph::PrintPage(QPrinter& printer, const std::vector<int>& secondaries) {
    printer.setDocName("Ostrevan Telemetry Page");
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRect area = PrintableArea(printer);
    painter.translate(area.topLeft());
    PaintPage(painter, area.size(), secondaries);
    return painter.end();
}

void NewGraph::PaintPage(QPainter& painter, QSize page, const std::vector<int>& secondaries) {
    const int W = page.width();
    const int H = page.height();
    const int a = static_cast<int>(0.05 * H);
    const int b = a + static_cast<int>(0.40 * H);
    const int c = b + static_cast<int>(0.12 * H);
    const int e = c + static_cast<int>(0.20 * H);
    const int g = e + static_cast<int>(0.20 * H);
    const QRect title = Edges(0, 0, W, a);
    QRect primary = Edges(0, a, W, b);
    QRect table = Edges(0, b, W / 2, c);
    QRect map = Edges(W / 2, b, W, b + static_cast<int>(0.32 * H));
    std::array<QRect, 3> second{Edges(0, c, W / 2, e), Edges(0, e, W / 2, g), Edges(W / 2, e, W, g)};
    const QRect footer = Edges(0, g, W, H);

    for (QRect* r : {&primary, &table, &map, &second[0], &second[1], &second[2]}) {
        Frame3d(painter, *r);
        *r = r->adjusted(1, 1, -1, -1);
    }
    painter.setBackground(Qt::white);
    painter.setPen(Qt::black);

    painter.setFont(PageFont(title.height() / 2));
    painter.drawText(title, Qt::AlignHCenter | Qt::AlignTop, "Varnholm Telemetry Graph");
    painter.setFont(PageFont(footer.height() / 2));
    painter.drawText(footer, Qt::AlignRight | Qt::AlignTop, "Printed with Ostrevan");

    // The lap table, each row in its curves' colour; its texts keep clear
    // of the frame, whose line would cover the first letters.
    const int pad = std::max(1, W / 200);
    const int left = table.left() + pad;
    const int middle = table.left() + table.width() / 2;
    painter.setFont(PageFont(static_cast<int>(0.2 * table.height())));
    painter.drawText(QPoint(left, table.top() + pad + painter.fontMetrics().ascent()), "Driver Name");
    painter.drawText(QPoint(middle, table.top() + pad + painter.fontMetrics().ascent()), "Laptime(Speed)");
    int y = table.top() + pad + painter.fontMetrics().height();
    painter.setFont(PageFont(static_cast<int>(0.15 * table.height())));
    const double length = doc_.GetTrack() != nullptr ? doc_.GetTrack()->GetLength() : 0.0;
    const bool mph = doc_.GetUseMPH() == 1;
    for (int slot = 0; slot < TelemetryGraphModel::kLaps; ++slot) {
        if (!model_->IsLapChecked(slot)) continue;
        painter.setPen(MFCDisplay::ToQColor(model_->LapColour(slot)));
        const int baseline = y + painter.fontMetrics().ascent();
        painter.drawText(QPoint(left, baseline), FromWindows1252(model_->DriverName(slot)));
        const uint32_t lap_time = model_->LapTimeWord(slot);
        const QString right = QString::fromStdString(CRpyGraphDoc::FormatLapTime(lap_time) + "(" +
                                                     TelemetryGraphModel::AverageSpeedText(length, lap_time, mph) + ")");
        painter.drawText(QPoint(middle, baseline), right);
        y += painter.fontMetrics().height();
    }

    // The graphs; the window does not repaint the kinds drawn for the page.
    graph_->setUpdatesEnabled(false);
    const int caption_font = static_cast<int>(0.06 * second[0].height());
    const int shown = model_->GetCurrentKind();
    double x0 = 0.0, x1 = 0.0, y0 = 0.0, y1 = 0.0;
    graph_->GetRange(x0, x1, y0, y1);
    DrawPageGraph(painter, primary, shown, caption_font);
    size_t area = 0;
    for (int position : secondaries) {
        if (area >= second.size()) break;
        const int kind = graph_kind::KindAtPrintPosition(position);
        if (kind == kNoKind) continue;
        SelectKind(kind);
        DrawPageGraph(painter, second[area++], kind, caption_font);
    }
    SelectKind(shown);
    // The shown kind comes back as the user left it, zoom included.
    if (area > 0) graph_->SetRange(x0, x1, y0, y1, true);
    graph_->setUpdatesEnabled(true);

    // The track map, without the map window's highlight.
    painter.setPen(Qt::black);
    painter.setFont(PageFont(caption_font));
    painter.drawText(map, Qt::AlignHCenter | Qt::AlignTop, TrackCaption(doc_));
    map.setTop(map.top() + painter.fontMetrics().height() + 1);
    if (Track* track = doc_.GetTrack(); track != nullptr && map.width() > 0 && map.height() > 0) {
        MFCDisplay display(0x000000, 0xFFFFFF);
        display.BeginDraw(painter, map, doc_.GetColours());
        display.FitToTrackBounds(1, 1, static_cast<uint32_t>(map.width()), static_cast<uint32_t>(map.height()));
        track->ClearHighlight();
        display.SetDC(painter);
        painter.save();
        painter.translate(map.topLeft());
        track->DrawSections(display);
        painter.restore();
        map_->Redraw();
    }
}
