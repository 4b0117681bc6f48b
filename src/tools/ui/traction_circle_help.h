#pragma once
// "Traction Circle Explained": a resizable window beside the traction
// circle with a help text on reading the plot, read-only. Closing it only
// hides it; the traction circle owns it.

#include "controls/resizing_dialog.h"

class CAutoRichEditCtrl;
class QPushButton;

class TractionCircleHelp : public CResizingDialog {
    Q_OBJECT
public:
    // The help text's resource.
    static constexpr const char* kTextResource = ":/help/traction_circle.rtf";

    explicit TractionCircleHelp(QWidget* parent = nullptr);

    CAutoRichEditCtrl* Text() const { return text_; }

private:
    CAutoRichEditCtrl* text_ = nullptr;
    QPushButton* close_ = nullptr;
};
