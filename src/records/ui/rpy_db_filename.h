#pragma once
// "Enter database filename": asks for the name of a replay CD catalogue.
// The caller sets the proposal in `name` before exec(); after OK `name`
// holds the entered text (as file-name bytes of this system).

#include <QDialog>
#include <memory>
#include <string>

namespace Ui {
class RpyDBFilename;
}

class RpyDBFilename : public QDialog {
    Q_OBJECT
public:
    explicit RpyDBFilename(QWidget* parent = nullptr);
    ~RpyDBFilename() override;

    // Puts the name into the edit; exec() calls it.
    void OnInitDialog();
    int exec() override;

    std::string name;

private:
    void OnOK();

    std::unique_ptr<Ui::RpyDBFilename> ui_;
};
