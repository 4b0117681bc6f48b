#pragma once
// "Select graphs to print": names the primary graph (the kind shown) and
// lets the user tick up to three secondary graphs for the printed page.
// Positions are the kinds' print positions, 1-21; the primary's box is
// disabled.

#include <QDialog>
#include <array>
#include <memory>
#include <string>
#include <vector>

class Interaction;
class QCheckBox;

namespace Ui {
class GraphPrint;
}

class GraphPrint : public QDialog {
public:
    static constexpr int kMaxSecondaries = 3;

    // `primary_position` is 1-based; the caption is shown above the boxes.
    GraphPrint(Interaction& ui, const std::string& caption, int primary_position, QWidget* parent = nullptr);
    ~GraphPrint() override;

    // The box of a print position (1-21).
    QCheckBox* Box(int position) const;
    // The ticked positions in position order, once the dialog ended with
    // OK.
    const std::vector<int>& GetSecondaries() const { return secondaries_; }

    // OK: more than three ticked boxes says so and keeps the dialog open.
    void accept() override;

private:
    std::unique_ptr<Ui::GraphPrint> form_;
    Interaction& ui_;
    std::array<QCheckBox*, 21> boxes_{};
    std::vector<int> secondaries_;
};
