#include "app/ui/rpy_graph_app.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "app/command_line.h"
#include "app/desktop_registration.h"
#include "app/options.h"
#include "document/rpy_graph_doc.h"
#include "app/ui/main_frame.h"
#include "app/ui/qt_lap_chooser.h"
#include "interaction/ui/qt_interaction.h"
#include "settings/settings.h"

CRpyGraphApp::CRpyGraphApp(Settings& settings, const CommandLine& command)
    : command_(command), ui_(std::make_unique<QtInteraction>()) {
    for (const std::string& problem : settings.GetLoadProblems())
        ui_->ShowMessage(problem, Interaction::Icon::Warning, {});
    // The document reads the settings before the window exists; when the
    // simulator folder holds no qel.exe it opens the settings dialog.
    doc_ = std::make_unique<CRpyGraphDoc>(settings, *ui_, [this](CRpyGraphDoc& doc) {
        Options dialog(doc, *ui_, frame_.get());
        dialog.exec();
    });
    frame_ = std::make_unique<CMainFrame>(*doc_, *ui_);
    ui_->SetParent(frame_.get());
    chooser_ = std::make_unique<QtLapChooser>(*ui_, frame_.get());
    doc_->SetLapChooser(chooser_.get());
}

CRpyGraphApp::~CRpyGraphApp() {
    frame_.reset();
    doc_.reset();
}

void CRpyGraphApp::InitInstance() {
    frame_->resize(1100, 780);
    frame_->RestorePlacement();
    frame_->show();
    if (command_.mode == CommandLine::Mode::kLoadRpy) AddLapsFromCommandLine(*doc_, command_);
    // A replay named alone opens as File > Open would: the lap-choice
    // dialog, then the lap; one that cannot be read says so and leaves the
    // window empty.
    if (!command_.open_path.empty()) doc_->OnOpenDocument(command_.open_path);
}

namespace {

std::string Resource(const char* name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// What the original registered with the shell at every start: the program
// for its replays, with its icon. Only an installed program does so; every
// start removes an entry of its own that leads nowhere or hides an
// install's.
void RegisterWithDesktop() {
    const std::optional<DesktopRegistration> registration = DesktopRegistration::FromEnvironment();
    if (!registration) return;
    registration->RegisterProgram(DesktopRegistration::OwnProgram(),
                                  {
                                      {"applications/ostrevan.desktop", Resource(":/desktop/ostrevan.desktop")},
                                      {"mime/packages/ostrevan.xml", Resource(":/desktop/ostrevan.xml")},
                                      {"icons/hicolor/scalable/apps/ostrevan.svg", Resource(":/icons/ostrevan.svg")},
                                  });
}

}  // namespace

int RunInteractive(int argc, char** argv, const CommandLine& command) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
        std::cerr << "Ostrevan needs a graphical display: neither DISPLAY nor WAYLAND_DISPLAY is set.\n"
                     "The report export runs without one: ostrevan -expreports <xxreplay.rpy> <xxoutput-prefix> [-mech]\n";
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Ostrevan");
    QApplication::setWindowIcon(QIcon(":/icons/ostrevan.svg"));
    RegisterWithDesktop();
    Settings& settings = Settings::Instance();
    settings.InitProgramFolder();
    CRpyGraphApp program(settings, command);
    program.InitInstance();
    return QApplication::exec();
}
