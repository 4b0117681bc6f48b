#include "graph/ui/graph_combo_box.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <QStylePainter>

#include "graph/ui/graph_wnd.h"
#include "interaction/ui/text_codec.h"

namespace {

QColor ToQColor(uint32_t colorref) {
    return QColor(static_cast<int>(colorref & 0xFF), static_cast<int>((colorref >> 8) & 0xFF),
                  static_cast<int>((colorref >> 16) & 0xFF));
}

// Draws the drop-down list's rows as the box draws its entries.
class GraphItemDelegate : public QStyledItemDelegate {
public:
    explicit GraphItemDelegate(CGraphComboBox* combo) : QStyledItemDelegate(combo), combo_(combo) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        uint32_t colour = 0;
        std::string title;
        if (index.row() < 0 || !combo_->GetItemLook(index.row(), colour, title)) return;
        CGraphComboBox::DrawGraphItem(*painter, option.palette, colour, title, option.rect,
                                      option.state.testFlag(QStyle::State_Selected));
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return QSize(combo_->width(), CGraphComboBox::kItemHeight);
    }

private:
    CGraphComboBox* combo_;
};

}  // namespace

CGraphComboBox::CGraphComboBox(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new GraphItemDelegate(this));
    setMinimumHeight(kItemHeight + 4);
}

CGraphComboBox::~CGraphComboBox() = default;

bool CGraphComboBox::GetItemLook(int entry, uint32_t& colour, std::string& title) {
    CGraphWnd* graph = GetGraphWnd();
    if (graph == nullptr || entry < 0 || entry >= count()) return false;
    const CGraphProps* curve = graph->GetGraph(itemData(entry).toInt());
    if (curve == nullptr) return false;
    colour = curve->GetColor();
    title = curve->GetTitle();
    return true;
}

void CGraphComboBox::DrawGraphItem(QPainter& painter, const QPalette& palette, uint32_t colour,
                                   const std::string& title, const QRect& rect, bool selected) {
    painter.save();
    const QColor background = palette.color(selected ? QPalette::Highlight : QPalette::Base);
    const QColor text = palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    painter.fillRect(selected ? rect.adjusted(1, 1, -1, -1) : rect, background);
    const QColor swatch = ToQColor(colour);
    const QRect swatch_rect(QPoint(rect.left() + 2, rect.top() + 2), QPoint(rect.left() + 21, rect.bottom() - 2));
    painter.setPen(swatch);
    painter.setBrush(swatch);
    painter.drawRect(swatch_rect.adjusted(0, 0, -1, -1));
    painter.setPen(text);
    const QRect text_rect(QPoint(swatch_rect.right() + 4, rect.top() + 3), rect.bottomRight());
    painter.drawText(text_rect, Qt::AlignLeft | Qt::AlignVCenter, FromWindows1252(title));
    // The focus frame marks the selected entry.
    if (selected) {
        painter.setPen(QPen(text, 0, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    painter.restore();
}

void CGraphComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    uint32_t colour = 0;
    std::string title;
    if (currentIndex() < 0 || !GetItemLook(currentIndex(), colour, title)) return;
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    DrawGraphItem(painter, palette(), colour, title, field, hasFocus());
}
