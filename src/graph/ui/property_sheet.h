#pragma once
// The modal "Properties" sheet: one tab per page, OK and Cancel. A page
// whose values are refused cannot be left, and OK keeps the sheet open
// until every page reads back. The sheet owns its pages; they live until
// the sheet goes, so the windows that added them read them after exec().

#include <QDialog>
#include <memory>

class CPropertyPage;
class Interaction;
namespace Ui {
class CPropertySheet;
}

class CPropertySheet : public QDialog {
public:
    // `interaction` tells the user about refused values.
    CPropertySheet(Interaction& interaction, QWidget* parent = nullptr);
    ~CPropertySheet() override;

    // Takes the page, loads its values and adds its tab.
    void AddPage(CPropertyPage* page, const QString& title);
    int GetPageCount() const;
    CPropertyPage* GetPage(int index) const;
    // The page shown (-1 without pages); false when the shown page's
    // values are refused.
    int GetActiveIndex() const;
    bool SetActivePage(int index);

    void accept() override;

private:
    void OnTabChanged(int index);

    std::unique_ptr<Ui::CPropertySheet> ui_;
    Interaction& interaction_;
    int active_ = -1;
    bool switching_ = false;
};
