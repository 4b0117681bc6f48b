#include "reports/ui/graphical_race_report.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "replay/drivers.h"
#include "reports/graphical_race_layout.h"
#include "reports/ui/chart_export.h"

namespace {

constexpr int kCell = GraphicalRaceLayout::kCell;
constexpr int kLeft = GraphicalRaceLayout::kGridLeft;
constexpr int kTop = GraphicalRaceLayout::kTopMargin;

QColor Colour(uint32_t colorref) {
    return QColor(static_cast<int>(colorref & 0xFF), static_cast<int>(colorref >> 8 & 0xFF),
                  static_cast<int>(colorref >> 16 & 0xFF));
}

// The system's small dialog font, drawn without smoothing so that every
// pixel keeps a colour of the chart's palette.
QFont GuiFont() {
    QFont font = QGuiApplication::font();
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// Text in the current colours with its cell's background filled.
void Text(QPainter& p, const QRect& box, int flags, const QString& text) {
    p.drawText(box, flags | Qt::TextDontClip, text);
}

}  // namespace

const std::array<uint32_t, 20>& GraphicalRaceReport::DriverColours() {
    // COLORREFs of the table by driver index.
    static const std::array<uint32_t, 20> colours = {
        0x00FF00, 0x0000FF, 0x3F3F3F, 0xFF0000, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0xFFFFFF, 0x000000, 0x7F7F00,
        0x007F7F, 0x7F007F, 0x1F1F1F, 0x666666, 0x7FBF1F, 0x2FFF7F, 0x00AFAF, 0xCF003F, 0x3F8F00, 0xCF1FAF,
    };
    return colours;
}

std::array<uint32_t, 256> GraphicalRaceReport::ColourTable() {
    const auto quad = [](uint32_t colorref) {
        return (colorref & 0xFF) << 16 | (colorref & 0xFF00) | (colorref >> 16 & 0xFF);
    };
    std::array<uint32_t, 256> table;
    table.fill(0xFFFFFF);
    table[1] = quad(kBackground);
    table[2] = quad(kFrame);
    table[3] = quad(kYellow);
    for (int i = 0; i < 20; ++i) table[4 + i] = quad(DriverColours()[i]);
    table[24] = quad(kLapped);
    table[25] = quad(kGrid);
    return table;
}

GraphicalRaceReport::GraphicalRaceReport(Interaction& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
    setWindowTitle("Graphical Race Report");
    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->setRange(0, 100);
    scroll_->setSingleStep(1);
    scroll_->setPageStep(5);
    // The chart moves when the thumb is let go, not while it is dragged.
    scroll_->setTracking(false);
    export_ = new QPushButton("Export to BMP", this);
    close_ = new QPushButton("Close", this);
    close_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(export_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(scroll_);
    layout->addLayout(buttons);
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int value) { SetScrollPosition(value); });
    connect(export_, &QPushButton::clicked, this, [this] { OnExportToBmp(); });
    connect(close_, &QPushButton::clicked, this, [this] { OnClose(); });
    resize(800, 500);
}

GraphicalRaceReport::~GraphicalRaceReport() = default;

void GraphicalRaceReport::SetReplay(const CRpyGraphDoc* doc, const Drivers* drivers, const Header* header) {
    doc_ = doc;
    drivers_ = drivers;
    header_ = header;
    chart_.DeleteObject();
    if (BuildChart()) {
        // Room for the whole chart where the screen allows it.
        const int w = std::clamp(chart_.GetImage().width() + 20, 400, 1200);
        const int h = std::clamp(chart_.GetImage().height() + 20, 200, 800) + scroll_->sizeHint().height() +
                      close_->sizeHint().height() + 24;
        resize(w, h);
    }
}

bool GraphicalRaceReport::BuildChart() {
    if (!chart_.IsEmpty()) return true;
    if (!drivers_) return false;
    const GraphicalRaceLayout layout(*drivers_);
    bmp_file::BitmapInfoHeader header;
    header.biWidth = layout.width();
    header.biHeight = layout.height();
    header.biBitCount = 8;
    const std::array<uint32_t, 256> table = ColourTable();
    if (!chart_.CreateFromBitmapInfo(header, table)) return false;
    DrawChart(layout);
    return true;
}

void GraphicalRaceReport::DrawChart(const GraphicalRaceLayout& layout) {
    QPainter* painter = chart_.SelectIntoMemoryDC();
    if (!painter) return;
    QPainter& p = *painter;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    const int n = layout.driver_count();
    const int last = layout.last_lap();
    const int grid_right = kCell * (last + 1) + kLeft;
    const QColor background = Colour(kBackground);
    p.fillRect(0, 0, layout.width(), layout.height(), background);
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(background);
    p.setFont(GuiFont());

    // Frame, and the grid inside it.
    const QColor frame = Colour(kFrame);
    p.fillRect(QRect(QPoint(186, 17), QPoint(187, kTop + kCell * n - 1)), frame);
    p.fillRect(QRect(QPoint(186, 17), QPoint(grid_right - 1, 18)), frame);
    p.fillRect(QRect(QPoint(186, 19 + kCell * n), QPoint(grid_right - 1, 20 + kCell * n)), frame);
    p.fillRect(QRect(QPoint(grid_right, 17), QPoint(grid_right + 1, 20 + kCell * n)), frame);
    if (n > 0) p.fillRect(QRect(kLeft, 19, grid_right - kLeft, kCell * n), Colour(kGrid));

    p.setPen(Qt::white);
    Text(p, QRect(189, 0, kCell, kCell), Qt::AlignHCenter | Qt::AlignTop, "S");
    for (int c = 1; c <= last; ++c)
        Text(p, QRect(189 + kCell * c, 0, kCell, kCell), Qt::AlignHCenter | Qt::AlignTop, QString::number(c));

    // Legend.
    p.setBrush(Colour(kGrid));
    p.drawRect(2, kCell * n + 30, 17, 17);
    Text(p, QRect(20, kCell * n + 31, 200, kCell), Qt::AlignLeft | Qt::AlignTop, "=On lead lap");
    p.setBrush(Colour(kLapped));
    p.drawRect(107, kCell * n + 30, 17, 17);
    Text(p, QRect(125, kCell * n + 31, 200, kCell), Qt::AlignLeft | Qt::AlignTop, "=Lapped");
    p.setBrush(Qt::NoBrush);
    p.setPen(Colour(kYellow));
    Text(p, QRect(0, 0, 180, kCell), Qt::AlignLeft | Qt::AlignTop, "Generated with Ostrevan");
    p.setPen(frame);
    Text(p, QRect(grid_right + 2, 10, 40, kCell), Qt::AlignLeft | Qt::AlignTop, "Lap");
    Text(p, QRect(176, kCell * n + 21, 40, kCell), Qt::AlignLeft | Qt::AlignTop, "Pos");

    // Name labels in starting order; without practice a "?" in column 0.
    const std::vector<int>& order = layout.starting_order();
    for (int r = 0; r < static_cast<int>(order.size()); ++r) {
        const int i = order[r];
        std::string label = drivers_->first_names[i] + " " + drivers_->last_names[i];
        if (r < 9) label += "  ";
        label += ' ';
        label += std::to_string(r + 1);
        p.setPen(Qt::white);
        p.setBackground(background);
        Text(p, QRect(0, kTop + kCell * r, 186, kCell), Qt::AlignRight | Qt::AlignTop, FromWindows1252(label));
        if (!layout.has_practice()) {
            p.setPen(Colour(DriverColours()[i]));
            p.setBackground(Colour(kGrid));
            Text(p, QRect(189, kTop + kCell * r, kCell, kCell), Qt::AlignHCenter | Qt::AlignTop, "?");
        }
    }
    p.setBackgroundMode(Qt::TransparentMode);

    // Columns in order: the shading of a column, then the lines into it.
    size_t s = 0;
    const std::vector<GraphicalRaceLayout::Segment>& segments = layout.segments();
    for (int c = 1; c <= last; ++c) {
        for (const GraphicalRaceLayout::Shade& shade : layout.shades())
            if (shade.column == c)
                p.fillRect(QRect(QPoint(kLeft + kCell * c, 19 + kCell * shade.first_row),
                                 QPoint(kLeft + kCell * (c + 1) - 1, 18 + kCell * n)),
                           Colour(kLapped));
        for (; s < segments.size() && segments[s].from_column + 1 == c; ++s) {
            const GraphicalRaceLayout::Segment& seg = segments[s];
            p.setPen(QPen(Colour(DriverColours()[seg.driver]), 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawLine(196 + kCell * (c - 1), 28 + kCell * seg.from_row, 196 + kCell * c, 28 + kCell * seg.to_row);
        }
    }
    chart_.ReleaseMemoryDC();
}

std::string GraphicalRaceReport::DefaultName() const { return "_RaceReport.bmp"; }

bool GraphicalRaceReport::SaveBitmap(const std::string& path) {
    bool written = false;
    if (BuildChart()) written = chart_.SaveBmp(path);
    OnClose();
    return written;
}

bool GraphicalRaceReport::BitmapBytes(std::string& bytes) {
    bool drawn = false;
    if (BuildChart()) drawn = chart_.EncodeBmp(bytes);
    OnClose();
    return drawn;
}

void GraphicalRaceReport::OnExportToBmp() {
    if (!BuildChart()) return;
    const auto path = chart_export::ChoosePath(ui_, doc_, header_, DefaultName());
    if (path) chart_export::Save(ui_, chart_, *path);
}

void GraphicalRaceReport::OnClose() {
    chart_.DeleteObject();
    accept();
}

void GraphicalRaceReport::SetScrollPosition(int position) {
    position = std::clamp(position, 0, 100);
    if (scroll_->value() != position) scroll_->setValue(position);
    if (position == scroll_position_) return;
    scroll_position_ = position;
    update();
}

int GraphicalRaceReport::ChartLeft() const {
    const int chart_width = chart_.IsEmpty() ? 0 : chart_.GetImage().width();
    const int offset = static_cast<int>((chart_width + 20 - width()) * 0.01 * scroll_position_);
    return 10 - std::max(offset, 0);
}

void GraphicalRaceReport::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (!BuildChart()) return;
    QPainter p(this);
    // The chart stays above the scroll bar.
    p.setClipRect(QRect(0, 0, width(), scroll_->geometry().top()));
    const QImage& image = chart_.GetImage();
    p.drawImage(ChartLeft(), 10, image);
}
