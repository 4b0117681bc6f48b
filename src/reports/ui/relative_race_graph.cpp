#include "reports/ui/relative_race_graph.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "interaction/ui/text_codec.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "reports/race_history.h"
#include "reports/ui/chart_export.h"
#include "reports/ui/graphical_race_report.h"

namespace {

QColor Colour(uint32_t colorref) {
    return QColor(static_cast<int>(colorref & 0xFF), static_cast<int>(colorref >> 8 & 0xFF),
                  static_cast<int>(colorref >> 16 & 0xFF));
}

// A font of that many points on a 96-dpi screen, drawn without smoothing
// so that every pixel keeps a colour of the palette.
QFont PointFont(int points) {
    QFont font = QGuiApplication::font();
    font.setPixelSize(std::max(1, points * 96 / 72));
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QFont GuiFont() {
    QFont font = QGuiApplication::font();
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// The 6 x 6 marks: a disc with a black rim; the corners stay transparent.
QImage Mark(const QColor& fill) {
    static const char* const kShape[6] = {"..XX..", ".XooX.", "XooooX", "XooooX", ".XooX.", "..XX.."};
    QImage mark(6, 6, QImage::Format_ARGB32);
    mark.fill(Qt::transparent);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            if (kShape[y][x] == 'X') mark.setPixelColor(x, y, Qt::black);
            if (kShape[y][x] == 'o') mark.setPixelColor(x, y, fill);
        }
    return mark;
}

// Text whose cell is filled with the painter's background.
void Text(QPainter& p, const QRect& box, int flags, const QString& text) {
    p.drawText(box, flags | Qt::TextDontClip, text);
}

// A pixel position from a value in milliseconds; far-off values are held
// where integer pixels still hold them.
int Pixel(double v) { return static_cast<int>(std::clamp(v, -1.0e6, 1.0e6)); }

}  // namespace

RelativeRaceGraph::RelativeRaceGraph(Interaction& ui, QWidget* parent) : QDialog(parent), ui_(ui) {
    setWindowTitle("Race History Graph");
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);

    auto* group = new QGroupBox("Race History Graph", this);
    area_ = new QFrame(group);
    area_->setMinimumSize(120, 80);
    area_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    area_->installEventFilter(this);
    auto* group_layout = new QVBoxLayout(group);
    group_layout->addWidget(area_);

    title_ = new QLineEdit(this);
    title_->setMinimumWidth(260);
    auto_scale_ = new QRadioButton("Scale Automatically", this);
    fixed_scale_ = new QRadioButton("Maximum seconds behind:", this);
    max_seconds_ = new QLineEdit("30", this);
    max_seconds_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), max_seconds_));
    max_seconds_->setMaximumWidth(60);
    auto_scale_->setChecked(true);
    export_ = new QPushButton("Export to BMP", this);
    close_ = new QPushButton("Close", this);
    close_->setDefault(true);

    auto* controls = new QGridLayout;
    controls->addWidget(new QLabel("Graph title:", this), 0, 0);
    controls->addWidget(title_, 0, 1);
    controls->addWidget(auto_scale_, 0, 2);
    controls->addWidget(fixed_scale_, 1, 2);
    controls->addWidget(max_seconds_, 1, 3);
    controls->setColumnStretch(4, 1);
    controls->addWidget(export_, 0, 5);
    controls->addWidget(close_, 1, 5);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addLayout(controls);

    connect(auto_scale_, &QRadioButton::clicked, this, [this] { Redraw(); });
    connect(fixed_scale_, &QRadioButton::clicked, this, [this] { Redraw(); });
    connect(title_, &QLineEdit::editingFinished, this, [this] { Redraw(); });
    connect(max_seconds_, &QLineEdit::editingFinished, this, [this] {
        if (!auto_scale_->isChecked()) Redraw();
    });
    connect(export_, &QPushButton::clicked, this, [this] { OnExportToBmp(); });
    connect(close_, &QPushButton::clicked, this, [this] { OnClose(); });

    // Laid out at once, so a dialog that is never shown draws at the
    // default size too.
    area_->setFixedSize(kDefaultWidth, kDefaultHeight);
    adjustSize();
    layout->activate();
    area_->setMinimumSize(120, 80);
    area_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

// The area's events and the edits' focus changes stop before the dialog's
// members go: a child losing the focus while it is destroyed would ask
// for a redraw.
RelativeRaceGraph::~RelativeRaceGraph() {
    area_->removeEventFilter(this);
    title_->disconnect(this);
    max_seconds_->disconnect(this);
}

void RelativeRaceGraph::SetReplay(const CRpyGraphDoc* doc, const Drivers* drivers, const Header* header) {
    doc_ = doc;
    drivers_ = drivers;
    header_ = header;
    if (header_) {
        const std::string name = chart_export::TrackNameText(nullptr, header_);
        title_->setText(FromWindows1252(name) + " - " + QString::number(header_->race_laps) + " laps");
    }
    auto_scale_->setChecked(true);
    max_seconds_->setText("30");
    image_.DeleteObject();
    // Every replay gets a drawing, one driver's too: the report site
    // always has an image to write.
    Redraw();
}

bool RelativeRaceGraph::Redraw() {
    if (!drivers_) return false;
    const int w = area_->width();
    const int h = area_->height();
    if (w < 1 || h < 1) return false;
    const RaceHistory history(*drivers_);
    Draw(history, w, h);
    area_->update();
    return !image_.IsEmpty();
}

void RelativeRaceGraph::Draw(const RaceHistory& history, int W, int H) {
    bmp_file::BitmapInfoHeader header;
    header.biWidth = W;
    header.biHeight = H;
    header.biBitCount = 8;
    const std::array<uint32_t, 256> table = GraphicalRaceReport::ColourTable();
    CDIBSectionLite drawing;
    if (!drawing.CreateFromBitmapInfo(header, table)) return;
    QPainter* painter = drawing.SelectIntoMemoryDC();
    if (!painter) return;
    QPainter& p = *painter;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);

    const int n = history.driver_count();
    const std::vector<int>& order = history.finishing_order();
    const QColor background = Colour(kBackground);
    const QColor plot = Colour(kPlot);
    const auto line_colour = [&](int driver) {
        return Colour(GraphicalRaceReport::DriverColours()[std::clamp(history.PositionOf(driver), 0, 19)]);
    };

    // Legend texts and their font: 9 points, smaller when the names do not
    // fit the height.
    QStringList texts;
    for (int i : order)
        texts << FromWindows1252(drivers_->first_names[i].substr(0, 1) + " " + drivers_->last_names[i]);
    QFont legend_font = PointFont(9);
    int F = 0, h = 0;
    {
        const QFontMetrics fm(legend_font);
        for (const QString& t : texts + QStringList{"Result/Legend"}) F = std::max(F, fm.horizontalAdvance(t));
        h = fm.height();
    }
    if (H - 15 < n * h + 2) {
        legend_font = PointFont(std::max(1, (H - 15) / (n + 2)));
        const QFontMetrics fm(legend_font);
        F = 0;
        for (const QString& t : texts + QStringList{"Fastest Lap", "Retired"}) F = std::max(F, fm.horizontalAdvance(t));
        h = std::max(1, fm.height());
    }

    p.fillRect(0, 0, W, H, Colour(kFrame));
    p.fillRect(QRect(QPoint(2, 2), QPoint(W - 3, H - 3)), background);
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(background);

    p.setFont(PointFont(14));
    p.setPen(Colour(GraphicalRaceReport::kYellow));
    Text(p, QRect(W / 2 - 1000, 2, 2000, 40), Qt::AlignHCenter | Qt::AlignTop, title_->text());

    // Legend box.
    const int K = (n + 3) * h + 2;
    const int top = (H - K) / 2;
    p.fillRect(QRect(QPoint(W - F - 17, top), QPoint(W - 4, top + K - 1)), plot);
    const int M = W - F - 14;
    p.setFont(legend_font);
    p.setBackground(plot);
    p.setPen(Colour(kGrid));
    Text(p, QRect(M - 1, top, F + 20, h), Qt::AlignLeft | Qt::AlignTop, "Result/Legend");
    const QImage fastest_mark = Mark(Colour(GraphicalRaceReport::kYellow));
    const QImage retired_mark = Mark(Qt::red);
    for (int pos = 0; pos < n; ++pos) {
        p.setPen(Qt::black);
        Text(p, QRect(M + 10, top + (pos + 1) * h, F + 10, h), Qt::AlignLeft | Qt::AlignTop, texts[pos]);
        const int y = top + (pos + 1) * h + h / 2;
        p.fillRect(QRect(M - 1, y, 9, 2), Colour(GraphicalRaceReport::DriverColours()[std::min(pos, 19)]));
    }
    p.setPen(Qt::black);
    Text(p, QRect(M + 10, top + (n + 1) * h, F + 10, h), Qt::AlignLeft | Qt::AlignTop, "Fastest Lap");
    p.drawImage(M, top + (n + 1) * h + h / 2 - 2, fastest_mark);
    Text(p, QRect(M + 10, top + (n + 2) * h, F + 10, h), Qt::AlignLeft | Qt::AlignTop, "Retired");
    p.drawImage(M, top + (n + 2) * h + h / 2 - 2, retired_mark);

    // Plot area and scale.
    const int R = W - F - 19;
    const int B = H - 18;
    double largest = history.largest_ms();
    const double smallest = history.smallest_ms();
    if (!auto_scale_->isChecked()) largest = max_seconds_->text().toInt() * 1000.0;
    double range = std::fabs(largest) + std::fabs(smallest) + 2000.0;
    if (smallest >= -7000.0) range += 7000.0;
    // A graph with no height left keeps every line on the zero line.
    const double Q = std::max(0.0, (H - 40) / (range / 1000.0));
    const int t = std::max(1, static_cast<int>(range / 10000.0));
    const int y0 = Pixel(B - (largest + 1000.0) * Q / 1000.0);
    const auto y_of = [&](double v) { return Pixel(v * Q / 1000.0 + y0); };

    p.setBackgroundMode(Qt::TransparentMode);
    p.setPen(Qt::black);
    p.setBrush(plot);
    if (R > 35 && B > 23) p.drawRect(34, 22, R - 35, B - 23);
    p.setBrush(Qt::NoBrush);

    // Grid lines with their labels; a step below one pixel draws the zero
    // line alone.
    const int step = static_cast<int>(t * Q);
    p.setFont(GuiFont());
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(background);
    const auto grid_line = [&](int y, long long label) {
        p.setPen(Qt::black);
        p.drawLine(31, y, R - 1, y);
        p.setPen(Qt::white);
        Text(p, QRect(0, y - 7, 30, 16), Qt::AlignRight | Qt::AlignTop, QString::number(label));
    };
    if (step < 1) {
        if (y0 <= B && y0 >= 22) grid_line(y0, 0);
    } else {
        long long label = 0;
        for (int y = y0; y <= B; y += step, label += t)
            if (y >= 22) grid_line(y, label);
        label = t;
        for (int y = y0 - step; y >= 22; y -= step, label += t)
            if (y <= B) grid_line(y, label);
    }

    // Texts under and above the plot.
    const QFontMetrics gui(GuiFont());
    p.setPen(Colour(GraphicalRaceReport::kYellow));
    Text(p, QRect(R - 400, B, 400, 18), Qt::AlignRight | Qt::AlignTop, "Generated by Ostrevan");
    const uint32_t average = static_cast<uint32_t>(history.average_lap_ms()) & 0xFFFFFF;
    char average_text[32];
    std::snprintf(average_text, sizeof average_text, "%u:%02u.%03u", average / 60000, average / 1000 % 60,
                  average % 1000);
    p.setPen(Qt::white);
    Text(p, QRect(4, B, 600, 18), Qt::AlignLeft | Qt::AlignTop,
         QString("Sec behind    Average laptime of winner:") + average_text);
    Text(p, QRect(4, 22 - gui.height(), 200, gui.height()), Qt::AlignLeft | Qt::AlignTop, "Sec ahead");

    // Lap scale over the scheduled laps; a header without them scales to
    // the laps driven. Never more ticks than the plot has pixels.
    int scheduled = header_ ? header_->race_laps : 0;
    if (scheduled < 1) scheduled = std::max(1, history.last_lap());
    const double P = (R - 38) / static_cast<double>(scheduled);
    p.setPen(Qt::black);
    const int ticks = std::min(scheduled, std::max(0, R - 36));
    for (int k = 0; k <= ticks; ++k) {
        const int x = static_cast<int>(36 + k * P);
        p.drawLine(x, y0 + 2, x, y0 - 3);
    }
    p.setBackground(plot);
    Text(p, QRect(static_cast<int>(36 + scheduled * P) - 200, y0 - 13, 200, 14), Qt::AlignRight | Qt::AlignTop,
         "Laps");
    p.setBackgroundMode(Qt::TransparentMode);

    // Lines and marks stay inside the plot's frame, at the top as at the
    // bottom.
    if (R > 36 && B > 24) p.setClipRect(QRect(QPoint(35, 23), QPoint(R - 2, B - 2)));
    for (int j = 0; j < n; ++j) {
        const int laps = history.laps(j);
        if (laps < 1) continue;
        p.setPen(QPen(line_colour(j), 2));
        QPoint from(36, y_of(history.Value(j, 0)));
        for (int k = 1; k <= laps; ++k) {
            const QPoint to(static_cast<int>(36 + k * P), y_of(history.Value(j, k)));
            p.drawLine(from, to);
            from = to;
        }
    }
    for (const RaceHistory::Mark& mark : history.fastest_lap_marks())
        p.drawImage(static_cast<int>(36 + mark.lap * P - 3), y_of(history.Value(mark.driver, mark.lap)) - 3,
                    fastest_mark);
    for (const RaceHistory::Mark& mark : history.retired_marks())
        p.drawImage(static_cast<int>(36 + mark.lap * P - 3), y_of(history.Value(mark.driver, mark.lap)) - 3,
                    retired_mark);
    drawing.ReleaseMemoryDC();
    image_.CreateFromBitmapInfo(drawing.GetHeader(), drawing.GetColourTable(), &drawing.GetImage());
}

bool RelativeRaceGraph::SaveBitmap(const std::string& path) { return !image_.IsEmpty() && image_.SaveBmp(path); }

bool RelativeRaceGraph::BitmapBytes(std::string& bytes) { return !image_.IsEmpty() && image_.EncodeBmp(bytes); }

void RelativeRaceGraph::OnExportToBmp() {
    if (image_.IsEmpty()) return;
    const auto path = chart_export::ChoosePath(ui_, doc_, header_, "_RaceGraph.bmp");
    if (path) chart_export::Save(ui_, image_, *path);
}

void RelativeRaceGraph::OnClose() {
    image_.DeleteObject();
    accept();
}

bool RelativeRaceGraph::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area_) {
        if (event->type() == QEvent::Paint && !image_.IsEmpty()) {
            QPainter p(area_);
            p.drawImage(0, 0, image_.GetImage());
            return true;
        }
        if (event->type() == QEvent::Resize && !image_.IsEmpty()) Redraw();
    }
    return QDialog::eventFilter(watched, event);
}
