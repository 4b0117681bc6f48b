#include "controls/sort_class.h"

#include <QTreeWidget>
#include <algorithm>
#include <climits>
#include <vector>

CSortClass::CSortClass(QTreeWidget* list, int column, bool numeric) : list_(list), column_(column), numeric_(numeric) {}

CSortClass::~CSortClass() = default;

int CSortClass::ReadInt(const char* text) {
    while (*text == ' ' || *text == '\t') ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) value = std::min<long long>(value * 10 + (*text - '0'), INT_MAX + 1LL);
    if (negative) value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

void CSortClass::Sort(bool ascending) {
    if (!list_) return;
    struct Row {
        QTreeWidgetItem* item;
        QString text;
        int number;
        bool selected;
    };
    std::vector<Row> rows;
    QTreeWidgetItem* current = list_->currentItem();
    while (list_->topLevelItemCount() > 0) {
        const bool selected = list_->topLevelItem(0)->isSelected();
        QTreeWidgetItem* item = list_->takeTopLevelItem(0);
        const QString text = item->text(column_);
        rows.push_back({item, text, numeric_ ? ReadInt(text.toLatin1().constData()) : 0, selected});
    }
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        const Row& first = ascending ? a : b;
        const Row& second = ascending ? b : a;
        if (numeric_) return first.number < second.number;
        return QString::compare(first.text, second.text, Qt::CaseInsensitive) < 0;
    });
    for (const Row& r : rows) list_->addTopLevelItem(r.item);
    if (current) list_->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    for (const Row& r : rows) r.item->setSelected(r.selected);
}
