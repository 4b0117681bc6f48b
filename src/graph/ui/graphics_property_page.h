#pragma once
// The "Graphs" page of a graph's property sheet, added by the graph
// window: pick a curve in the combo and change its colour ("Color"), its
// title ("Title") or whether it is drawn ("Hide"/"Show", "Show all").
// Everything changes property copies only (GraphicsPageModel); the graph
// window puts them onto the curves when the sheet ends with OK.
//
// The colour and title choosers are replaceable (tests answer them); by
// default they are the colour dialog and CGraphTitlePrompt.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "graph/graphics_page_model.h"
#include "graph/ui/property_page.h"

namespace Ui {
class CGraphicsPropertyPage;
}
class CGraphPropsComboBox;
class QPushButton;

class CGraphicsPropertyPage : public CPropertyPage {
public:
    // Colour (COLORREF) in, the chosen colour out or nullopt for Cancel.
    using ColourChooser = std::function<std::optional<uint32_t>(uint32_t)>;
    // Title in, the entered title out or nullopt for Cancel.
    using TitleChooser = std::function<std::optional<std::string>(const std::string&)>;

    // Copies of the curves of `graph` (null: no copies, every button then
    // does nothing).
    explicit CGraphicsPropertyPage(const GraphModel* graph, QWidget* parent = nullptr);
    ~CGraphicsPropertyPage() override;

    // One entry per copy, entry 0 selected; the title field stays empty and
    // the first button reads "Hide" until the user picks an entry.
    void LoadData() override;
    bool SaveData(Interaction& interaction) override;

    void SelectGraph(int entry);
    void OnColor();
    void OnTitle();
    void OnHideShow();
    void OnShowAll();

    const GraphicsPageModel& GetCopies() const { return copies_; }
    CGraphPropsComboBox* GetCombo() const;
    QPushButton* GetHideButton() const;
    QString GetTitleField() const;
    void SetColourChooser(ColourChooser chooser) { choose_colour_ = std::move(chooser); }
    void SetTitleChooser(TitleChooser chooser) { choose_title_ = std::move(chooser); }

private:
    void UpdateHideShowCaption();

    std::unique_ptr<Ui::CGraphicsPropertyPage> ui_;
    GraphicsPageModel copies_;
    ColourChooser choose_colour_;
    TitleChooser choose_title_;
};
