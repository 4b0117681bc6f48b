#pragma once
// The label of one graph axis: title, unit and decimals, and the value
// texts made from them for rulers, tooltips and the point list.
//
// The title and unit are text, never a format: a "%" in them is shown as
// a percent sign. Numbers are written in the C locale with `decimals`
// digits after the point (a negative count writes none).

#include <string>

class CGraphAxisLabel {
public:
    void SetTitle(std::string title) { title_ = std::move(title); }
    void SetUnit(std::string unit) { unit_ = std::move(unit); }
    void SetDecimals(int decimals) { decimals_ = decimals; }

    const std::string& GetTitle() const { return title_; }
    const std::string& GetUnit() const { return unit_; }
    int GetDecimals() const { return decimals_; }

    // style 0: the number ("12.500"); 1: the number, a blank and the unit
    // ("12.500 km/h"); 2: the title, ": ", the number, a blank and the unit
    // ("Speed: 12.500 km/h"); any other style: "".
    std::string FormatValue(double value, int style) const;
    // Title, ", ", unit.
    std::string GetCaption() const { return title_ + ", " + unit_; }

    // The number alone in the fixed-point form with `decimals` digits after
    // the point, C locale; "nan", "inf" and "-inf" for values that are not
    // finite.
    static std::string FormatFixed(double value, int decimals);

private:
    std::string title_;
    std::string unit_;
    int decimals_ = 3;
};
