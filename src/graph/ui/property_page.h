#pragma once
// One page of a property sheet: it shows values that the window which
// added it filled in, and reads the user's edits back.

#include <QWidget>

class Interaction;

class CPropertyPage : public QWidget {
public:
    using QWidget::QWidget;

    // The page's values into its controls.
    virtual void LoadData() = 0;
    // The controls into the page's values. When a value is refused the
    // user is told through `interaction`, the offending control takes the
    // focus, nothing is stored, and the result is false.
    virtual bool SaveData(Interaction& interaction) = 0;
};
