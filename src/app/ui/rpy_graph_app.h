#pragma once
// The interactive program: the settings, the document, the main window and
// the seam's Qt answers, and the -loadrpy mode, which adds the laps named
// on the command line once the window is up (as a replay named alone on
// the command line is opened).

#include <memory>

struct CommandLine;
class CMainFrame;
class CRpyGraphDoc;
class LapChooser;
class QtInteraction;
class Settings;

class CRpyGraphApp {
public:
    // A QApplication must exist. The settings object outlives the app.
    CRpyGraphApp(Settings& settings, const CommandLine& command);
    ~CRpyGraphApp();

    // Shows the main window and runs the command line's mode.
    void InitInstance();

    CRpyGraphDoc& Doc() const { return *doc_; }
    CMainFrame& Frame() const { return *frame_; }
    QtInteraction& Ui() const { return *ui_; }

private:
    const CommandLine& command_;
    std::unique_ptr<QtInteraction> ui_;
    std::unique_ptr<CRpyGraphDoc> doc_;
    std::unique_ptr<LapChooser> chooser_;
    std::unique_ptr<CMainFrame> frame_;
};

// Runs the interactive program to its end; the exit status.
int RunInteractive(int argc, char** argv, const CommandLine& command);
