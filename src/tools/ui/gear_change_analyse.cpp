#include "tools/ui/gear_change_analyse.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTreeWidget>

#include "interaction/ui/text_codec.h"
#include "tools/gear_change_analysis.h"
#include "ui_gear_change_analyse.h"

GearChangeAnalyse::GearChangeAnalyse(const CRpyGraphDoc& doc, Interaction& /*ui*/, QWidget* parent)
    : QDialog(parent), form_(std::make_unique<Ui::GearChangeAnalyse>()), laps_(CollectToolLaps(doc)) {
    form_->setupUi(this);
    for (const ToolLap& lap : laps_) form_->lapCombo->addItem(FromWindows1252(lap.Label()));
    form_->lapCombo->setCurrentIndex(-1);

    QTreeWidget* list = form_->list;
    list->setColumnCount(static_cast<int>(kGearChangeHeadings.size()));
    QStringList headings;
    for (const char* h : kGearChangeHeadings) headings << h;
    list->setHeaderLabels(headings);
    const QFontMetrics metrics(list->font());
    for (int c = 0; c < list->columnCount(); ++c)
        list->setColumnWidth(c, metrics.horizontalAdvance(headings[c]) + 15);
    list->header()->setStretchLastSection(false);

    connect(form_->lapCombo, &QComboBox::currentIndexChanged, this, &GearChangeAnalyse::OnSelectLap);
    connect(form_->closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

GearChangeAnalyse::~GearChangeAnalyse() = default;

QComboBox* GearChangeAnalyse::LapCombo() const { return form_->lapCombo; }
QTreeWidget* GearChangeAnalyse::List() const { return form_->list; }

QLabel* GearChangeAnalyse::StatText(int which) const {
    QLabel* const texts[] = {form_->changesText, form_->upText, form_->downText, form_->speedshiftText};
    return texts[which];
}

QLabel* GearChangeAnalyse::AverageText(int row, int column) const {
    QLabel* const revs[] = {form_->avgRevs1, form_->avgRevs2, form_->avgRevs3, form_->avgRevs4, form_->avgRevs5};
    QLabel* const dropped[] = {form_->avgRevsDropped1, form_->avgRevsDropped2, form_->avgRevsDropped3,
                               form_->avgRevsDropped4, form_->avgRevsDropped5};
    QLabel* const speed[] = {form_->avgSpeedDropped1, form_->avgSpeedDropped2, form_->avgSpeedDropped3,
                             form_->avgSpeedDropped4, form_->avgSpeedDropped5};
    return (column == 0 ? revs : column == 1 ? dropped : speed)[row];
}

void GearChangeAnalyse::OnSelectLap(int index) {
    if (index < 0 || index >= static_cast<int>(laps_.size())) return;
    form_->list->clear();
    const GearChangeResult result = AnalyseGearChanges(*laps_[static_cast<size_t>(index)].info);
    QList<QTreeWidgetItem*> items;
    for (const GearChangeRow& row : result.rows) {
        QStringList cells;
        for (const std::string& text : row.columns) cells << QString::fromStdString(text);
        items << new QTreeWidgetItem(cells);
    }
    form_->list->addTopLevelItems(items);
    const GearChangeStats& st = result.stats;
    StatText(0)->setText(QString::number(st.changes));
    StatText(1)->setText(QString::fromStdString(st.upshift_neutral));
    StatText(2)->setText(QString::fromStdString(st.downshift_neutral));
    StatText(3)->setText(QString::fromStdString(st.speedshift_text));
    for (int k = 0; k < 5; ++k) {
        AverageText(k, 0)->setText(QString::fromStdString(st.avg_revs[static_cast<size_t>(k)]));
        AverageText(k, 1)->setText(QString::fromStdString(st.avg_revs_dropped[static_cast<size_t>(k)]));
        AverageText(k, 2)->setText(QString::fromStdString(st.avg_speed_dropped[static_cast<size_t>(k)]));
    }
}
