#pragma once
// The "General" page of a graph's property sheet, added by the plotting
// panel: the x and y range and the display options point marks, mouse
// coordinates and axis grid. The panel fills the values before adding
// the page and reads them back when the sheet ends with OK.

#include <memory>

#include "graph/ui/property_page.h"

namespace Ui {
class CGraphPropertyPage;
}

class CGraphPropertyPage : public CPropertyPage {
public:
    explicit CGraphPropertyPage(QWidget* parent = nullptr);
    ~CGraphPropertyPage() override;

    void LoadData() override;
    // Refuses a range end that is not a number ("Please enter a number.").
    bool SaveData(Interaction& interaction) override;

    double x1 = 0.0;
    double x2 = 0.0;
    double y1 = 0.0;
    double y2 = 0.0;
    bool point_marks = false;
    bool mouse_coordinates = false;
    bool axis_grid = false;

private:
    std::unique_ptr<Ui::CGraphPropertyPage> ui_;
};
