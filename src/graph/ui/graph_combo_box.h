#pragma once
// The curve combo box of the graph component: every entry is drawn as a
// swatch of the curve's colour and the curve's title, 20 pixels high and
// as wide as the box. An entry's item data is the slot of its curve in
// the enclosing graph window; subclasses may look entries up elsewhere.

#include <QComboBox>
#include <cstdint>
#include <string>

#include "graph/ui/graph_base_class.h"

class QPainter;

class CGraphComboBox : public QComboBox, public CGraphBaseClass {
public:
    static constexpr int kItemHeight = 20;

    explicit CGraphComboBox(QWidget* parent = nullptr);
    ~CGraphComboBox() override;

    // Colour (COLORREF) and title of `entry`; false without one, then
    // nothing is drawn for it.
    virtual bool GetItemLook(int entry, uint32_t& colour, std::string& title);

    // One entry into `rect`: the selection's colours when `selected`, a
    // swatch from (left + 2, top + 2) to (left + 22, bottom - 2) in the
    // colour with a border of the same colour, and the title from 3 pixels
    // right of the swatch, centred vertically below a 3-pixel top margin.
    static void DrawGraphItem(QPainter& painter, const QPalette& palette, uint32_t colour,
                              const std::string& title, const QRect& rect, bool selected);

protected:
    QWidget* GraphWidget() override { return this; }
    void paintEvent(QPaintEvent* event) override;
};
