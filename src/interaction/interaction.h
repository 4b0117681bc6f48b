#pragma once
// The one seam for everything that would block or reach outside the
// program: message boxes, questions, file and folder choosers, the wait
// cursor and progress, printing set-up, opening a file or address with its
// program, the clipboard and sounds. The interactive program answers
// through Qt, the command-line modes through the batch implementation
// (messages to standard error), tests through a recording fake. Every
// window and mode is handed the implementation it answers through; there
// is no process-wide one.
//
// Texts are the system's own bytes (Windows-1252) and pass through
// unchanged.

#include <optional>
#include <string>
#include <vector>

class QPrinter;

class Interaction {
public:
    enum class Icon { Information, Warning, Error, Question };
    enum class Answer { Yes, No, Cancel };
    struct FileFilter {
        std::string label;    // "Text files (*.txt)"
        std::string pattern;  // "*.txt"
    };

    virtual ~Interaction();

    // An empty title shows the program's name.
    virtual void ShowMessage(const std::string& text, Icon icon = Icon::Warning, const std::string& title = {}) = 0;
    // True for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // A question that may also be cancelled.
    virtual Answer AskYesNoCancel(const std::string& text) = 0;
    // The chosen path, or nullopt when the user cancels. The save chooser
    // asks before overwriting an existing file.
    virtual std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& proposed,
                                                      const std::vector<FileFilter>& filters) = 0;
    virtual std::optional<std::string> ChooseOpenFile(const std::string& title, const std::string& folder,
                                                      const std::vector<FileFilter>& filters) = 0;
    virtual std::optional<std::string> ChooseFolder(const std::string& title, const std::string& start) = 0;
    // Wait cursor around long work; calls nest.
    virtual void BeginWait() = 0;
    virtual void EndWait() = 0;
    // A modeless "Please wait" box with a status line; empty text hides it.
    virtual void ShowProgress(const std::string& status) = 0;
    // Shows the progress bar of that box at position (0 to range) until
    // the box is hidden. Without a box, and by default, nothing.
    virtual void SetProgress(int position, int range);
    // Shows the print dialog for the printer (all pages, no selection or
    // page range). A PDF file is offered whatever printers exist. False
    // when the user cancels or nothing can print (said to the user).
    virtual bool SetUpPrinter(QPrinter* printer) = 0;
    // Ends a print that SetUpPrinter set up, once its painter has ended;
    // printed says whether every page went out. A print to a PDF file
    // reaches the chosen path only here, whole, and only when printed: an
    // earlier file there stays as it was otherwise. False when printed is
    // false or the file could not be put in place; the caller says so.
    virtual bool EndPrinting(QPrinter* printer, bool printed);
    // Opens a file or address with the program the system has for it.
    virtual bool OpenWithProgram(const std::string& path_or_url) = 0;
    virtual void SetClipboardText(const std::string& text) = 0;
    // Plays one of the program's sounds by its resource number.
    virtual void PlaySound(int resource) = 0;
};
