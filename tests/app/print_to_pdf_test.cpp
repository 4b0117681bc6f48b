// Printing through the program's own print dialog on a machine with no
// printer: the dialog offers a PDF file, the track map, a graph page and a
// report each print to one, and a print that fails leaves no broken PDF.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <set>

#include "app/ui/main_frame.h"
#include "document/rpy_graph_doc.h"
#include "graph/ui/new_graph.h"
#include "interaction/ui/qt_interaction.h"
#include "report_scenarios.h"
#include "reports/ui/report.h"
#include "settings/settings.h"
#include "support/config_dir.h"
#include "support/sample_simulator.h"
#include "support/session_fixture.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Pages as pdfinfo counts them, which also proves that the file parses;
// without poppler-utils, the page objects in the file.
int PdfPages(const fs::path& path) {
    const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
    if (!pdfinfo.isEmpty()) {
        QProcess run;
        run.start(pdfinfo, {QString::fromStdString(path.string())});
        if (!run.waitForFinished(30000) || run.exitCode() != 0) return -1;
        const QRegularExpressionMatch m = QRegularExpression("^Pages:\\s+(\\d+)", QRegularExpression::MultilineOption)
                                              .match(QString::fromUtf8(run.readAllStandardOutput()));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
    const std::string pdf = Slurp(path);
    const std::regex page("/Type\\s*/Page[^s]");
    return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

// The words of a one-page PDF with their boxes in points, as pdftotext
// reads them.
std::vector<std::pair<std::string, QRectF>> ReadWords(const fs::path& pdf) {
    QProcess run;
    run.start("pdftotext", {"-bbox", QString::fromStdString(pdf.string()), "-"});
    run.waitForFinished(60000);
    std::vector<std::pair<std::string, QRectF>> words;
    QRegularExpressionMatchIterator it =
        QRegularExpression(R"re(<word xMin="(\S+)" yMin="(\S+)" xMax="(\S+)" yMax="(\S+)">([^<]*)</word>)re")
            .globalMatch(QString::fromUtf8(run.readAllStandardOutput()));
    while (it.hasNext()) {
        const QRegularExpressionMatch w = it.next();
        const QPointF top_left(w.captured(1).toDouble(), w.captured(2).toDouble());
        const QPointF bottom_right(w.captured(3).toDouble(), w.captured(4).toDouble());
        words.emplace_back(w.captured(5).toStdString(), QRectF(top_left, bottom_right));
    }
    return words;
}

// Nothing is printed within 10 mm of the paper's edges, where a printer
// may not reach: the page rendered at 50 dpi is white there (but for the
// pixels that straddle the band's inner edge).
void ExpectInsidePrintableArea(const fs::path& pdf) {
    const fs::path png = pdf.parent_path() / "page";
    QProcess run;
    run.start("pdftoppm", {"-r", "50", "-png", "-singlefile", QString::fromStdString(pdf.string()),
                           QString::fromStdString(png.string())});
    run.waitForFinished(60000);
    const QImage page = QImage(QString::fromStdString(png.string() + ".png")).convertToFormat(QImage::Format_RGB32);
    fs::remove(png.string() + ".png");
    ASSERT_FALSE(page.isNull()) << pdf;
    const int band = static_cast<int>(10.0 / 25.4 * 50);
    const QRect inside(band, band, page.width() - 2 * band, page.height() - 2 * band);
    int outside = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            outside += !inside.contains(x, y) && page.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_EQ(outside, 0) << pdf;
}

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Answers the modal windows that come up as a user would: the next print
// dialog sends the print to a PDF file, any message box is read and closed
// (an overwrite question with Yes).
class User {
public:
    User() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Answer(); });
    }
    // look runs on the dialog before it is accepted; after runs once it is.
    void PrintToFile(const fs::path& file, std::function<void(QPrintDialog&)> look = {},
                     std::function<void()> after = {}) {
        file_ = file;
        look_ = std::move(look);
        after_ = std::move(after);
        printed_ = false;
        timer_.start();
    }
    std::vector<std::string> messages;

private:
    void Answer() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages.push_back(box->text().toStdString());
            if (QAbstractButton* yes = box->button(QMessageBox::Yes)) yes->click();
            else box->accept();
        } else if (auto* dialog = qobject_cast<QPrintDialog*>(modal); dialog && !printed_) {
            printed_ = true;
            auto* printers = dialog->findChild<QComboBox*>("printers");
            ASSERT_NE(printers, nullptr);
            const int pdf = printers->findText("Print to File (PDF)");
            ASSERT_GE(pdf, 0);
            printers->setCurrentIndex(pdf);
            auto* name = dialog->findChild<QLineEdit*>("filename");
            ASSERT_NE(name, nullptr);
            EXPECT_TRUE(name->isEnabled());
            name->setText(QString::fromStdString(file_.string()));
            if (look_) look_(*dialog);
            dialog->accept();
            if (after_) after_();
        } else if (!modal && printed_) {
            timer_.stop();
        }
    }
    QTimer timer_;
    fs::path file_;
    std::function<void(QPrintDialog&)> look_;
    std::function<void()> after_;
    bool printed_ = false;
};

class PrintToPdf : public testing::Test {
protected:
    static void SetUpTestSuite() {
        // No print server: the machine has no printer at all.
        ::setenv("CUPS_SERVER", "/nonexistent/ostrevan-test-cups.sock", 1);
    }
    PrintToPdf() {
        const fs::path sim = config.scratch() / "QEL";
        replays = fixture::WriteSampleSimulator(sim);
        settings.SetQELDirectory(sim.string());
        doc = std::make_unique<CRpyGraphDoc>(settings, ui);
        out = config.scratch() / "out";
        fs::create_directory(out);
    }
    ~PrintToPdf() override { doc.reset(); }

    fixture::ScopedConfigDir config;
    std::vector<fs::path> replays;
    Settings settings;
    QtInteraction ui;
    std::unique_ptr<CRpyGraphDoc> doc;
    fs::path out;
    User user;
};

TEST_F(PrintToPdf, TheDialogOffersAPdfFileWithoutAnyPrinter) {
    const fs::path chosen = out / "page.pdf";
    bool looked = false;
    user.PrintToFile(chosen, [&](QPrintDialog& dialog) {
        looked = true;
        // The program's page range and selection stay off (Qt still shows a
        // range for the print server to apply on a real printer).
        EXPECT_FALSE(dialog.testOption(QPrintDialog::PrintPageRange));
        EXPECT_FALSE(dialog.testOption(QPrintDialog::PrintSelection));
        EXPECT_TRUE(dialog.testOption(QPrintDialog::PrintToFile));
        auto* selection = dialog.findChild<QRadioButton*>("printSelection");
        ASSERT_NE(selection, nullptr);
        EXPECT_TRUE(selection->isHidden());
    });
    QPrinter printer(QPrinter::HighResolution);
    ASSERT_TRUE(ui.SetUpPrinter(&printer));
    EXPECT_TRUE(looked);
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    // The pages go to a file beside the chosen one until the print ends.
    const fs::path temporary = printer.outputFileName().toStdString();
    EXPECT_EQ(temporary.parent_path(), out);
    EXPECT_NE(temporary, chosen);
    {
        QPainter painter(&printer);
        painter.drawText(100, 100, "Ostrevan");
        ASSERT_TRUE(printer.newPage());
        painter.drawText(100, 100, "Second page");
    }
    EXPECT_FALSE(fs::exists(chosen));
    ASSERT_TRUE(ui.EndPrinting(&printer, true));
    EXPECT_EQ(PdfPages(chosen), 2);
    EXPECT_EQ(FilesIn(out), std::vector<std::string>{"page.pdf"});
    EXPECT_EQ(printer.outputFileName().toStdString(), chosen.string());
    EXPECT_TRUE(user.messages.empty());
}

TEST_F(PrintToPdf, MapGraphPageAndReportEachPrintToAPdf) {
    const std::string driven = replays.at(2).string();
    ASSERT_TRUE(doc->AddLapFromCommandLine(driven, 0, 0, 2));
    ASSERT_TRUE(doc->AddLapFromCommandLine(driven, 1, 2, 3));

    CMainFrame frame(*doc, ui);
    frame.resize(900, 700);
    frame.show();
    QApplication::processEvents();
    user.PrintToFile(out / "map.pdf");
    ASSERT_TRUE(frame.Run(CMainFrame::kPrint));
    EXPECT_EQ(PdfPages(out / "map.pdf"), 1);

    NewGraph graph(*doc);
    graph.show();
    graph.SetSecondaryChooser([](const std::string&, int) { return std::optional<std::vector<int>>({3, 20}); });
    user.PrintToFile(out / "graph.pdf");
    graph.OnPrint();
    EXPECT_EQ(PdfPages(out / "graph.pdf"), 1);

    // The lap chart of a long race runs over several pages.
    report_scenarios::UseUtc();
    std::vector<fixture::DriverLaps> field;
    for (uint32_t i = 0; i < 6; ++i) {
        fixture::DriverLaps d{fixture::NamedDriver("Driver", "Number" + std::to_string(i), i, 0)};
        d.race_start = 2000;
        d.race_laps.assign(40, 60000 + i);
        field.push_back(d);
    }
    fixture::TempDir replay_dir;
    auto race = report_scenarios::WriteAndLoad(fixture::SessionReplay(field, false, true), replay_dir.File("long.rpy"));
    Report chart(ui);
    chart.m_pDrivers = race->drivers.get();
    chart.m_pHeader = &race->header;
    chart.m_nKind = 3;
    chart.show();
    user.PrintToFile(out / "chart.pdf");
    chart.OnPrint();
    EXPECT_GT(chart.PrintedPages(), 1);
    EXPECT_EQ(PdfPages(out / "chart.pdf"), chart.PrintedPages());

    EXPECT_EQ(FilesIn(out), (std::vector<std::string>{"chart.pdf", "graph.pdf", "map.pdf"}));
    EXPECT_TRUE(user.messages.empty()) << user.messages.front();
}

TEST_F(PrintToPdf, PrintedPagesAreReadableAndStayInsideThePrintableArea) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty() || QStandardPaths::findExecutable("pdftoppm").isEmpty())
        GTEST_SKIP() << "poppler-utils (pdftotext, pdftoppm) are not installed";
    const std::string driven = replays.at(2).string();
    ASSERT_TRUE(doc->AddLapFromCommandLine(driven, 0, 0, 2));
    ASSERT_TRUE(doc->AddLapFromCommandLine(driven, 1, 2, 3));

    // The map page: the title and a caption per shown lap in 10-point
    // type, whose lines are about 11.6 points high.
    CMainFrame frame(*doc, ui);
    frame.show();
    ASSERT_TRUE(frame.Run(CMainFrame::kToggleLap1));
    ASSERT_TRUE(frame.Run(CMainFrame::kToggleLap1 + 1));
    user.PrintToFile(out / "map.pdf");
    ASSERT_TRUE(frame.Run(CMainFrame::kPrint));
    std::set<std::string> seen;
    for (const auto& [word, box] : ReadWords(out / "map.pdf")) {
        seen.insert(word);
        EXPECT_TRUE(box.height() >= 10.0 && box.height() <= 14.0) << word << " is " << box.height() << " pt high";
    }
    for (const char* word : {"Ostrevan", "Monza", "Clark", "Gurney"}) EXPECT_EQ(seen.count(word), 1u) << word;
    ExpectInsidePrintableArea(out / "map.pdf");

    // The graph page with the gear graph among the secondaries: no word
    // covers another, and the gear axis is labelled.
    NewGraph graph(*doc);
    graph.show();
    graph.LapBox(0)->click();
    graph.LapBox(1)->click();
    graph.SetSecondaryChooser([](const std::string&, int) { return std::optional<std::vector<int>>({2, 3, 20}); });
    user.PrintToFile(out / "graph.pdf");
    graph.OnPrint();
    const auto words = ReadWords(out / "graph.pdf");
    ASSERT_GT(words.size(), 50u);
    seen.clear();
    for (size_t i = 0; i < words.size(); ++i) {
        seen.insert(words[i].first);
        for (size_t j = i + 1; j < words.size(); ++j) {
            const QRectF both = words[i].second.intersected(words[j].second);
            EXPECT_FALSE(both.width() > 0.5 && both.height() > 0.5) << words[i].first << " and " << words[j].first;
        }
    }
    for (const char* word : {"Jim", "Clark", "Gear", "RPM", "Suspension", "3.0", "4.0"})
        EXPECT_EQ(seen.count(word), 1u) << word;
    ExpectInsidePrintableArea(out / "graph.pdf");
    EXPECT_TRUE(user.messages.empty()) << user.messages.front();
}

TEST_F(PrintToPdf, AFailedPrintLeavesTheEarlierFileWhole) {
    const fs::path chosen = out / "map.pdf";
    std::ofstream(chosen) << "earlier";
    QPrinter printer(QPrinter::HighResolution);
    user.PrintToFile(chosen);
    ASSERT_TRUE(ui.SetUpPrinter(&printer));
    {
        QPainter painter(&printer);
        painter.drawText(100, 100, "Ostrevan");
    }
    EXPECT_FALSE(ui.EndPrinting(&printer, false));
    EXPECT_EQ(Slurp(chosen), "earlier");
    EXPECT_EQ(FilesIn(out), std::vector<std::string>{"map.pdf"});

    // A folder put where the file should go: the PDF cannot take its place.
    const fs::path taken = out / "taken.pdf";
    user.PrintToFile(taken);
    ASSERT_TRUE(ui.SetUpPrinter(&printer));
    {
        QPainter painter(&printer);
        painter.drawText(100, 100, "Ostrevan");
    }
    fs::create_directories(taken / "inside");
    EXPECT_FALSE(ui.EndPrinting(&printer, true));
    EXPECT_EQ(FilesIn(out), (std::vector<std::string>{"map.pdf", "taken.pdf"}));
    EXPECT_TRUE(fs::is_directory(taken));

    // Qt's PDF writer does not report a full disk: a file cut short is
    // known by its missing end and never replaces the earlier one.
    user.PrintToFile(chosen);
    ASSERT_TRUE(ui.SetUpPrinter(&printer));
    const fs::path temporary = printer.outputFileName().toStdString();
    {
        QPainter painter(&printer);
        painter.drawText(100, 100, "Ostrevan");
    }
    fs::resize_file(temporary, fs::file_size(temporary) / 2);
    EXPECT_FALSE(ui.EndPrinting(&printer, true));
    EXPECT_EQ(Slurp(chosen), "earlier");
    EXPECT_FALSE(fs::exists(temporary));
}

TEST_F(PrintToPdf, AFileThatCannotBeWrittenIsSaidBeforePrinting) {
    const fs::path chosen = out / "map.pdf";
    QPrinter printer(QPrinter::HighResolution);
    // The name turns into a folder between the dialog's check and the print.
    user.PrintToFile(chosen, {}, [&] { fs::create_directory(chosen); });
    EXPECT_FALSE(ui.SetUpPrinter(&printer));
    ASSERT_EQ(user.messages.size(), 1u);
    EXPECT_EQ(user.messages[0], "The PDF file could not be written to\n" + chosen.string());
    EXPECT_EQ(FilesIn(out), std::vector<std::string>{"map.pdf"});
}

}  // namespace
