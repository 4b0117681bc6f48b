#pragma once
// The "Axis" page of a graph's property sheet, added by the graph window:
// title, unit and decimals of the x and the y axis label. Decimals must
// be whole numbers from 0 to 10.

#include <memory>
#include <string>

#include "graph/ui/property_page.h"

namespace Ui {
class CAxisPropertyPage;
}

class CAxisPropertyPage : public CPropertyPage {
public:
    static constexpr int kMinDecimals = 0;
    static constexpr int kMaxDecimals = 10;

    explicit CAxisPropertyPage(QWidget* parent = nullptr);
    ~CAxisPropertyPage() override;

    void LoadData() override;
    // Refuses decimals that are not an integer ("Please enter an
    // integer.") or lie outside 0..10 ("Please enter an integer between 0
    // and 10.").
    bool SaveData(Interaction& interaction) override;

    // Texts are the system's bytes (Windows-1252).
    int x_decimals = 0;
    std::string x_title;
    std::string x_unit;
    int y_decimals = 0;
    std::string y_title;
    std::string y_unit;

private:
    std::unique_ptr<Ui::CAxisPropertyPage> ui_;
};
