#pragma once
// The small "Title" dialog of the "Graphs" page: one line of text, OK and
// Cancel.

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class CGraphTitlePrompt;
}
class QLineEdit;

class CGraphTitlePrompt : public QDialog {
public:
    explicit CGraphTitlePrompt(QWidget* parent = nullptr);
    ~CGraphTitlePrompt() override;

    // Shows `text` and runs modally; on OK `text` holds what was entered
    // (the system's bytes, Windows-1252). True for OK.
    bool Ask();
    QLineEdit* GetEdit() const;

    std::string text;

private:
    std::unique_ptr<Ui::CGraphTitlePrompt> ui_;
};
