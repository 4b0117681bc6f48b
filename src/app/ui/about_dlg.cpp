#include "app/ui/about_dlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "app/car_picture.h"
#include "controls/hyper_link.h"

namespace {

constexpr const char* kMail = "mailto:ostrevan@example.org";
constexpr const char* kWeb = "https://example.org/ostrevan/";

// A chequered flag on its pole, its cloth waving by phase (0 to 2).
QPixmap Flag(int phase) {
    QPixmap pixmap(44, 36);
    pixmap.fill(Qt::black);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 200, 200), 2));
    p.drawLine(6, 4, 6, 34);
    const double amplitude = 1.5 + 1.5 * phase;
    constexpr int kCols = 6, kRows = 4, kCell = 5;
    for (int c = 0; c < kCols; ++c) {
        for (int r = 0; r < kRows; ++r) {
            const double x = 7 + c * kCell;
            const double wave = amplitude * std::sin((c + phase) * 1.1);
            QPainterPath cell;
            cell.addRect(x, 5 + r * kCell + wave, kCell, kCell);
            p.fillPath(cell, (c + r) % 2 ? Qt::white : QColor(30, 30, 30));
        }
    }
    return pixmap;
}

QLabel* Text(const QString& text, int point_size = 0, bool bold = false) {
    auto* label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet("color: white; background: black;");
    QFont f = label->font();
    if (point_size > 0) f.setPointSize(point_size);
    f.setBold(bold);
    label->setFont(f);
    return label;
}

}  // namespace

CAboutDlg::Shown CAboutDlg::PicturesOf(uint8_t counter) {
    switch (counter % 4) {
    case 0: return {0, 2};
    case 1: return {1, 1};
    case 2: return {2, 0};
    default: return {1, 1};
    }
}

CAboutDlg::CAboutDlg(Interaction& ui, QWidget* parent) : QDialog(parent) {
    setWindowTitle("About Ostrevan");
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(18, 18, 18, 18);
    for (int column = 0; column < 2; ++column) {
        auto* stack = new QVBoxLayout;
        for (int row = 0; row < 3; ++row) {
            auto* picture = new QLabel;
            picture->setPixmap(Flag(column == 0 ? row : 2 - row));
            picture->setFixedSize(44, 36);
            // A hidden picture keeps its place, so the box does not jump.
            QSizePolicy policy = picture->sizePolicy();
            policy.setRetainSizeWhenHidden(true);
            picture->setSizePolicy(policy);
            pictures_[static_cast<size_t>(column)][static_cast<size_t>(row)] = picture;
            stack->addWidget(picture);
        }
        layout->addLayout(stack, 0, column == 0 ? 0 : 2, 3, 1);
    }

    auto* centre = new QVBoxLayout;
    auto* cars = new QHBoxLayout;
    for (int i : {0, 3, 5}) {
        auto* car = new QLabel;
        car->setPixmap(car_picture::Draw(i).scaledToHeight(44, Qt::SmoothTransformation));
        car->setAlignment(Qt::AlignCenter);
        cars->addWidget(car);
    }
    centre->addLayout(cars);
    centre->addWidget(Text("Ostrevan", 20, true));
    centre->addWidget(Text("Version 0.1 - an analyser for Varnholm replays"));
    centre->addWidget(Text("by"));
    centre->addWidget(Text("The Ostrevan developers", 0, true));
    centre->addWidget(Text("Thanks to the authors of the graph component\nand to those who published how track files "
                           "are laid out."));
    centre->addWidget(Text("PNG images are written with libpng and zlib."));
    auto* mail = new CHyperLink(ui, "ostrevan@example.org");
    mail->SetURL(kMail);
    auto* web = new CHyperLink(ui, kWeb);
    web->SetURL(kWeb);
    for (CHyperLink* link : {mail, web}) centre->addWidget(link, 0, Qt::AlignHCenter);
    layout->addLayout(centre, 0, 1, 3, 1);

    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &CAboutDlg::Step);
    timer_->start(kStepMs);
    Step();
}

bool CAboutDlg::IsShown(int column, int row) const {
    return !pictures_.at(static_cast<size_t>(column)).at(static_cast<size_t>(row))->isHidden();
}

void CAboutDlg::Step() {
    const Shown shown = PicturesOf(counter_);
    for (int row = 0; row < 3; ++row) {
        pictures_[0][static_cast<size_t>(row)]->setVisible(row == shown.left);
        pictures_[1][static_cast<size_t>(row)]->setVisible(row == shown.right);
    }
    counter_ = counter_ >= 254 ? 0 : static_cast<uint8_t>(counter_ + 1);
}

void CAboutDlg::mousePressEvent(QMouseEvent* event) {
    QDialog::mousePressEvent(event);
    accept();
}
