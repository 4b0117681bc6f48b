#include "tools/ui/speed_track.h"

#include <QEvent>
#include <QIntValidator>
#include <QPainter>

#include "document/rpy_graph_doc.h"
#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "track/spd_trk_visitor.h"
#include "track/ui/mfc_display.h"
#include "ui_speed_track.h"

SpeedTrack::SpeedTrack(const CRpyGraphDoc& doc, Interaction& ui, QWidget* parent)
    : QDialog(parent), doc_(doc), ui_(ui), form_(std::make_unique<Ui::SpeedTrack>()), state_(doc) {
    form_->setupUi(this);
    setSizeGripEnabled(true);
    form_->automatic->setChecked(true);
    form_->range->setEnabled(false);
    form_->range->setValidator(new QIntValidator(0, 1000000, form_->range));
    form_->range->installEventFilter(this);
    form_->unit->setText(state_.UnitText());
    form_->legendBar->setPixmap(QPixmap::fromImage(RenderLegendBar(15)));
    FillLists();
    connect(form_->firstLap, &QComboBox::activated, this, [this](int index) { OnChooseLap(1, index); });
    connect(form_->secondLap, &QComboBox::activated, this, [this](int index) { OnChooseLap(2, index); });
    connect(form_->automatic, &QRadioButton::clicked, this, &SpeedTrack::OnAutomatic);
    connect(form_->manual, &QRadioButton::clicked, this, &SpeedTrack::OnManual);
    connect(form_->closeButton, &QPushButton::clicked, this, &QDialog::accept);
    resize(760, 620);
}

SpeedTrack::~SpeedTrack() = default;

QComboBox* SpeedTrack::LapList(int list) const { return list == 1 ? form_->firstLap : form_->secondLap; }
QRadioButton* SpeedTrack::AutomaticButton() const { return form_->automatic; }
QRadioButton* SpeedTrack::ManualButton() const { return form_->manual; }
QLineEdit* SpeedTrack::RangeEdit() const { return form_->range; }
QLabel* SpeedTrack::UnitText() const { return form_->unit; }

QLabel* SpeedTrack::LegendText(int k) const {
    QLabel* const texts[] = {form_->legendMin, form_->legendHalfMin, form_->legendZero, form_->legendHalfMax,
                             form_->legendMax};
    return texts[k];
}

void SpeedTrack::FillLists() {
    filling_ = true;
    for (int list : {1, 2}) {
        QComboBox* combo = LapList(list);
        combo->clear();
        const auto role = static_cast<SpeedTrackState::Role>(list);
        for (const SpeedTrackState::Entry& e : state_.Entries(role))
            combo->addItem(FromWindows1252(e.label), e.slot);
        combo->setCurrentIndex(state_.SelectedIndex(role));
    }
    filling_ = false;
}

void SpeedTrack::OnChooseLap(int list, int index) {
    if (filling_ || index < 0) return;
    const int slot = LapList(list)->itemData(index).toInt();
    const std::string refused = state_.Choose(static_cast<SpeedTrackState::Role>(list), slot);
    if (!refused.empty()) ui_.ShowMessage(refused);
    FillLists();
    ShowState();
}

void SpeedTrack::OnAutomatic() {
    form_->range->setEnabled(false);
    state_.SetAutomatic();
    ShowState();
}

void SpeedTrack::OnManual() {
    form_->range->setEnabled(true);
    // An empty range starts from the automatic scale's end, whole units.
    if (form_->range->text().isEmpty()) form_->range->setText(form_->legendMax->text().section('.', 0, 0));
    state_.SetManual(form_->range->text().toInt());
    ShowState();
}

void SpeedTrack::OnRangeEdited() {
    if (!state_.IsManual()) return;
    state_.SetManual(form_->range->text().toInt());
    ShowState();
}

bool SpeedTrack::eventFilter(QObject* watched, QEvent* event) {
    if (watched == form_->range && event->type() == QEvent::FocusOut) OnRangeEdited();
    return QDialog::eventFilter(watched, event);
}

void SpeedTrack::ShowState() {
    for (int k = 0; k < 5; ++k) LegendText(k)->setText(QString::fromStdString(state_.Legend()[static_cast<size_t>(k)]));
    form_->unit->setText(state_.UnitText());
    const QSize size = form_->map->contentsRect().size();
    if (state_.Visitor() != nullptr && size.width() > 0 && size.height() > 0)
        form_->map->setPixmap(QPixmap::fromImage(RenderMap(size.width(), size.height())));
}

void SpeedTrack::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    ShowState();
}

QImage SpeedTrack::RenderMap(int width, int height) const {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    const SpdTrkVisitor* visitor = state_.Visitor();
    if (visitor == nullptr) return image;
    MFCDisplay painter(0x000000, 0xFFFFFF);
    QPainter p(&image);
    painter.BeginDraw(p, QRect(0, 0, width, height), doc_.GetColours());
    painter.FitToSpeedTrackBounds(*visitor, 0, 0, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
    painter.SetDC(p);
    painter.DrawSpeedTrack(*visitor);
    return image;
}

QImage SpeedTrack::RenderLegendBar(int height) {
    QImage bar(512, height, QImage::Format_RGB32);
    for (int i = 0; i < 256; ++i)
        for (int y = 0; y < height; ++y) {
            bar.setPixel(i, y, qRgb(255 - i, 0, 0));
            bar.setPixel(256 + i, y, qRgb(0, i, 0));
        }
    return bar;
}
