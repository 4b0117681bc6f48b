#pragma once
// "Settings": the modal dialog in which the user edits the stored settings:
// speed units, the quality report on adding a lap, two report options, the
// add-on tool's messages, the edge of the exported track-map bitmap and
// three folders (the simulator's, the alternative replay folder and the
// export folder).
//
// Constructing it copies the stored settings into the document. OK checks
// that the simulator folder holds qel.exe (asking for the program through
// the seam until it does, or until the user cancels the chooser, which
// returns to the dialog with nothing written), then writes every value to
// the settings, saves them and copies them into the document. Cancel
// writes nothing.
//
// Use:
//     Options dialog(doc, ui, parent);
//     dialog.exec();

#include <QDialog>
#include <memory>
#include <string>

class CRpyGraphDoc;
class Interaction;
class QLineEdit;
namespace Ui {
class Options;
}

class Options : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDefaultBitmapSize = 768;
    static constexpr int kMinBitmapSize = 16;
    static constexpr int kMaxBitmapSize = 8192;

    // The document and the seam are borrowed and must outlive the dialog;
    // the settings are the document's.
    Options(CRpyGraphDoc& doc, Interaction& ui, QWidget* parent = nullptr);
    ~Options() override;

    // The bitmap edge a text gives: its leading decimal integer (after
    // blanks, with an optional sign); 0, no number or letters give 768;
    // anything else is held to 16..8192.
    static int ParseBitmapSize(const std::string& text);
    // The folder of a chosen program file: the text before its last '/' or
    // '\' ("/" for a file at the root); empty when it has none.
    static std::string ProgramFolder(const std::string& file);

    // The dialog's controls, for tests.
    Ui::Options& ui() const { return *ui_; }

public slots:
    // OK: see the header comment. Stays open when the chooser is cancelled.
    void accept() override;

private:
    void OnInitDialog();
    // "Locate QEL.EXE": on a chosen file its folder goes into *folder; false
    // when the user cancels.
    bool ChooseSimulatorProgram(std::string* folder);
    void OnBrowseSimulator();
    void OnBrowseFolder(QLineEdit* edit);

    CRpyGraphDoc& doc_;
    Interaction& seam_;
    std::unique_ptr<Ui::Options> ui_;
};
