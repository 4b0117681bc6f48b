#pragma once
// "Ratings - Traction Circle Statistics": every loaded lap rated from its
// accelerations (Aggressiveness, Smoothness, Usage, Overall, in per cent
// with two decimals), a button that copies the table to the clipboard as
// tab-separated text, and one that swaps the table for a text explaining
// the ratings. Everything is computed once, when the window opens.

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "tools/lap_ratings.h"

class CRpyGraphDoc;
class Interaction;
class QLabel;
class QPlainTextEdit;
namespace Ui {
class Ratings;
}

class Ratings : public QDialog {
    Q_OBJECT
public:
    // The information text, lines separated by "\r\n".
    static const char* const kInformation;

    Ratings(const CRpyGraphDoc& doc, Interaction& ui, QWidget* parent = nullptr);
    ~Ratings() override;

    // Row 0..4; column 0 the label, 1..4 Aggressiveness, Smoothness, Usage,
    // Overall.
    QLabel* Cell(int row, int column) const;
    QPlainTextEdit* Information() const;
    // The table as the controls show it, tab-separated.
    std::string TableText() const;

    void OnCopyTable();
    void OnToggle();

private:
    std::unique_ptr<Ui::Ratings> form_;
    Interaction& ui_;
};
