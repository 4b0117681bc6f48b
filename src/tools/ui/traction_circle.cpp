#include "tools/ui/traction_circle.h"

#include <QCheckBox>
#include <QPainter>
#include <QRadioButton>

#include "document/rpy_graph_doc.h"
#include "controls/selection_slider_ctrl.h"
#include "interaction/ui/text_codec.h"
#include "replay/get_rpy_info.h"
#include "tools/traction_circle_model.h"
#include "tools/ui/ratings.h"
#include "tools/ui/traction_circle_help.h"
#include "track/track.h"
#include "track/ui/mfc_display.h"
#include "track/zavro_exception.h"
#include "ui_traction_circle.h"

namespace {

QColor LapColour(const CRpyGraphDoc& doc, int slot) {
    return MFCDisplay::ToQColor(doc.GetColours()[static_cast<size_t>(slot)]);
}

}  // namespace

TractionCircle::TractionCircle(CRpyGraphDoc& doc, Interaction& ui, QWidget* parent)
    : CResizingDialog(parent),
      doc_(doc),
      ui_(ui),
      form_(std::make_unique<Ui::TractionCircle>()),
      laps_(CollectToolLaps(doc)),
      help_(std::make_unique<TractionCircleHelp>(this)) {
    form_->setupUi(this);
    setWindowIcon(QIcon(":/icons/ostrevan.svg"));
    auto* f = form_.get();
    // The range slider takes the place the form keeps for it.
    slider_ = new CSelectionSliderCtrl(Qt::Horizontal, this);
    slider_->setGeometry(f->sliderPlace->geometry());
    delete f->sliderPlace;
    f->sliderPlace = nullptr;
    InitResizing();
    for (QWidget* c : std::initializer_list<QWidget*>{f->circleGroup, f->plot})
        AddControl(c, kStretch, kStretch, false);
    for (QWidget* c : std::initializer_list<QWidget*>{f->rangeGroup, f->optionsGroup, f->map})
        AddControl(c, kMove, kFixed, false);
    for (QWidget* c : std::initializer_list<QWidget*>{f->rangeHint, slider_, f->startHeading, f->endHeading,
                                                      f->lengthHeading, f->startText, f->endText, f->lengthText})
        AddControl(c, kMove, kFixed, true);
    for (QWidget* c : std::initializer_list<QWidget*>{f->lap1, f->lap2, f->lap3, f->lap4, f->lap5, f->circles,
                                                      f->orientedToTravel, f->orientedToCar, f->timeHeading, f->time1,
                                                      f->time2, f->time3, f->time4, f->time5})
        AddControl(c, kMove, kFixed, false);
    for (QWidget* c :
         std::initializer_list<QWidget*>{f->closeButton, f->helpButton, f->ratingsButton, f->acknowledgement})
        AddControl(c, kFixed, kMove, true);

    const Track* track = doc_.GetTrack();
    length_ = track != nullptr ? static_cast<int>(track->GetLength()) : 0;
    slider_->SetSelectionEnabled(true);
    slider_->setRange(0, length_);
    slider_->setPageStep(std::max(1, length_ / 50));
    start_ = 0;
    end_ = length_;
    f->startText->setText("0");
    f->endText->setText(QString::number(length_));
    f->lengthText->setText(QString::number(length_));
    f->orientedToCar->setChecked(true);

    for (int k = 0; k < 5; ++k) {
        QCheckBox* box = LapBox(k);
        if (k < static_cast<int>(laps_.size())) {
            const ToolLap& lap = laps_[static_cast<size_t>(k)];
            box->setText(FromWindows1252(lap.LabelWithCar()));
            QPalette palette = box->palette();
            palette.setColor(QPalette::WindowText, LapColour(doc_, lap.slot));
            box->setPalette(palette);
            QPalette time_palette = TimeText(k)->palette();
            time_palette.setColor(QPalette::WindowText, LapColour(doc_, lap.slot));
            TimeText(k)->setPalette(time_palette);
        } else {
            box->setEnabled(false);
            box->hide();
        }
        connect(box, &QCheckBox::clicked, this, &TractionCircle::Redraw);
    }
    connect(f->circles, &QCheckBox::clicked, this, &TractionCircle::Redraw);
    connect(f->orientedToCar, &QRadioButton::clicked, this, &TractionCircle::Redraw);
    connect(f->orientedToTravel, &QRadioButton::clicked, this, &TractionCircle::Redraw);
    connect(slider_, &QSlider::valueChanged, this, &TractionCircle::OnSliderMoved);
    connect(f->helpButton, &QPushButton::clicked, this, &TractionCircle::OnHelp);
    connect(f->ratingsButton, &QPushButton::clicked, this, &TractionCircle::OnRatings);
    connect(f->closeButton, &QPushButton::clicked, this, &QDialog::accept);
    Redraw();
}

TractionCircle::~TractionCircle() {
    // The track is the map view's too: it must not keep this range lit.
    if (Track* track = doc_.GetTrack()) track->ClearHighlight();
}

CSelectionSliderCtrl* TractionCircle::Slider() const { return slider_; }
QCheckBox* TractionCircle::CirclesBox() const { return form_->circles; }
QRadioButton* TractionCircle::TravelButton() const { return form_->orientedToTravel; }

QCheckBox* TractionCircle::LapBox(int k) const {
    QCheckBox* const boxes[] = {form_->lap1, form_->lap2, form_->lap3, form_->lap4, form_->lap5};
    return boxes[k];
}

QLabel* TractionCircle::TimeText(int k) const {
    QLabel* const texts[] = {form_->time1, form_->time2, form_->time3, form_->time4, form_->time5};
    return texts[k];
}

QLabel* TractionCircle::RangeText(int which) const {
    QLabel* const texts[] = {form_->startText, form_->endText, form_->lengthText};
    return texts[which];
}

void TractionCircle::OnSliderMoved(int position) {
    if (const auto selection = slider_->selection()) {
        start_ = selection->first;
        end_ = selection->second;
    } else {
        start_ = position - 1;
        end_ = position;
    }
    if (start_ == -1) {
        start_ = position;
        end_ = start_ + 1;
    }
    form_->startText->setText(QString::number(start_));
    form_->endText->setText(QString::number(end_));
    form_->lengthText->setText(QString::number(end_ - start_));
    Redraw();
}

void TractionCircle::OnHelp() {
    help_->show();
    help_->raise();
}

void TractionCircle::OnRatings() {
    Ratings ratings(doc_, ui_, this);
    ratings.exec();
}

void TractionCircle::Redraw() {
    const QSize plot = form_->plot->contentsRect().size();
    if (plot.width() > 0 && plot.height() > 0)
        form_->plot->setPixmap(QPixmap::fromImage(RenderPlot(plot.width(), plot.height())));
    const QSize map = form_->map->size();
    if (map.width() > 0 && map.height() > 0)
        form_->map->setPixmap(QPixmap::fromImage(RenderMap(map.width(), map.height())));
}

void TractionCircle::resizeEvent(QResizeEvent* event) {
    CResizingDialog::resizeEvent(event);
    if (form_) Redraw();
}

QImage TractionCircle::RenderPlot(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QPen(QColor(66, 0, 0), 1));
    p.drawLine(0, height / 2, width, height / 2);
    p.drawLine(width / 2, 0, width / 2, height);
    const TractionGeometry g = TractionGeometry::ForSize(width, height);
    p.setPen(QColor(255, 0, 0));
    p.setFont(font());
    const int big = 10000;
    p.drawText(QRect(g.cx + 1, 0, big, big), Qt::AlignLeft | Qt::AlignTop, " Braking");
    p.drawText(QRect(g.cx + 1, 2 * g.cy - big, big, big), Qt::AlignLeft | Qt::AlignBottom, " Acceleration");
    p.drawText(QRect(0, g.cy - big, big, big), Qt::AlignLeft | Qt::AlignBottom, "Right turn");
    p.drawText(QRect(2 * g.cx - big, g.cy - big, big, big), Qt::AlignRight | Qt::AlignBottom, "Left turn");
    if (form_->circles->isChecked()) {
        p.setPen(QPen(QColor(66, 0, 0), 1));
        for (double f : {1.0, 1.5, 2.0, 2.5}) {
            const auto points = CirclePoints(g, f);
            for (size_t i = 1; i < points.size(); ++i)
                p.drawLine(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
        }
    }
    const bool travel = form_->orientedToTravel->isChecked();
    for (int k = 0; k < 5; ++k) {
        QLabel* time = TimeText(k);
        if (k >= static_cast<int>(laps_.size()) || !LapBox(k)->isChecked()) {
            time->hide();
            continue;
        }
        const ToolLap& lap = laps_[static_cast<size_t>(k)];
        const TractionTrace trace = TraceLap(*lap.info, start_, end_, length_, travel, g);
        p.setPen(QPen(LapColour(doc_, lap.slot), 1));
        for (size_t i = 1; i < trace.points.size(); ++i)
            p.drawLine(trace.points[i - 1].x, trace.points[i - 1].y, trace.points[i].x, trace.points[i].y);
        if (trace.hundredths) {
            time->setText(QString::fromStdString(FormatRangeTime(*trace.hundredths)));
            time->show();
        } else {
            time->hide();
        }
    }
    return image;
}

QImage TractionCircle::RenderMap(int width, int height) const {
    // A real alpha channel: whatever colour a track uses, only the track
    // covers the window's background.
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    Track* track = doc_.GetTrack();
    if (track == nullptr) return image;
    try {
        track->SetHighlightRange(start_, end_);
    } catch (const ZAVROException&) {
        track->ClearHighlight();
    }
    MFCDisplay painter(0x000000, 0xFFFFFF);
    QPainter p(&image);
    painter.BeginDraw(p, QRect(-10000, -10000, 20000, 20000), doc_.GetColours());
    painter.FitToTrackBounds(5, 5, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
    painter.SetDC(p);
    track->DrawSections(painter);
    return image;
}
