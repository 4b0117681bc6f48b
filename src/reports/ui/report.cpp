#include "reports/ui/report.h"

#include <algorithm>

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"
#include "replay/drivers.h"
#include "replay/header.h"
#include "reports/complete_report.h"
#include "reports/detailed_race_report.h"
#include "reports/engine_detection_report.h"
#include "reports/laptime_verifier_report.h"
#include "reports/loaded_laps.h"
#include "reports/season_engine_mod_report.h"
#include "reports/sector_times_report.h"
#include "reports/speed_report.h"
#include "reports/lap_by_lap_report.h"
#include "reports/lap_chart_report.h"
#include "reports/practice_report.h"
#include "reports/race_report.h"
#include "reports/report_files.h"
#include "reports/report_input.h"
#include "reports/report_kind.h"
#include "reports/report_text.h"

Report::Report(Interaction& ui, QWidget* parent) : QDialog(parent), seam_(ui) {
    setWindowTitle("Report");
    // 459 by 253 dialog units of an 8-point dialog font.
    resize(690, 412);
    m_wndTitle = new QLabel("Static", this);
    m_wndReport = new QPlainTextEdit(this);
    m_wndReport->setReadOnly(true);
    m_wndReport->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_wndReport->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_wndReport->installEventFilter(this);

    auto* print = new QPushButton("Print", this);
    auto* exportButton = new QPushButton("Export to file", this);
    auto* close = new QPushButton("Close", this);
    close->setDefault(true);
    connect(print, &QPushButton::clicked, this, &Report::OnPrint);
    connect(exportButton, &QPushButton::clicked, this, &Report::OnExportToFile);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(print);
    buttons->addWidget(exportButton);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_wndTitle);
    layout->addWidget(m_wndReport, 1);
    layout->addLayout(buttons);
}

Report::~Report() = default;

QString Report::TitleText() const { return m_wndTitle->text(); }

void Report::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_initialised) {
        OnInitDialog();
        m_wndReport->setFocus();
    }
}

bool Report::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_wndReport && event->type() == QEvent::FocusIn) OnEditSetFocus();
    return QDialog::eventFilter(watched, event);
}

void Report::OnInitDialog() {
    m_initialised = true;
    m_nCurrentKind = m_nKind;
    if (m_nKind >= kReportPractice && m_nKind <= kReportComplete) WriteKind(m_nKind);
}

void Report::OnEditSetFocus() {
    if (m_nKind < kReportMechanical || m_nKind > kReportSeasonEngineMod) return;
    // Written once: the first focus clears the request.
    m_nCurrentKind = m_nKind;
    m_nKind = 0;
    WriteKind(m_nCurrentKind);
}

bool Report::WriteKind(int kind) {
    if (kind >= kReportLaptimeVerifier && kind <= kReportSpeed) return WriteLapKind(kind);
    if (!m_pDrivers || !m_pHeader) return false;
    ReportInput in;
    in.header = m_pHeader;
    in.drivers = m_pDrivers;
    in.file_time = report_text::FileTimeText(m_pHeader->path);
    in.off_track_in_race_report = m_bOffTrackInRaceReport == 1;
    in.retire_in_race_report = m_bRetireInRaceReport == 1;
    in.car_status = &m_scan.status();
    const QString title = QString::fromLatin1(ReportTitle(kind));
    switch (kind) {
    case kReportPractice: SetReport(title, WritePracticeReport(in)); return true;
    case kReportRace:
        ScanForRace(in);
        SetReport(title, WriteRaceReport(in, in.retire_in_race_report, in.car_status));
        return true;
    case kReportLapChart: SetReport(title, WriteLapChartReport(in)); return true;
    case kReportLapByLap: SetReport(title, WriteLapByLapReport(in)); return true;
    case kReportComplete:
        ScanForRace(in);
        SetReport(title, WriteCompleteReport(in));
        return true;
    case kReportMechanical: {
        m_wndTitle->setText(title);
        m_text.clear();
        m_wndReport->clear();
        seam_.BeginWait();
        std::string text = m_scan.Scan(in, false, [this](const std::string& piece) { AppendText(piece); });
        seam_.EndWait();
        SetReport(title, std::move(text));
        return true;
    }
    case kReportEngineDetection:
        WriteGrowing(TitleText(), [&] {
            return EngineDetectionReport::Write(*m_pDrivers, [this](const std::string& piece) { AppendText(piece); });
        });
        return true;
    case kReportDetailedRace:
        if (DetailedRaceReport::Refused(*m_pDrivers)) {
            m_wndTitle->setText(title);
            seam_.ShowMessage(DetailedRaceReport::kRefusal);
            return true;
        }
        WriteGrowing(title, [&] {
            return DetailedRaceReport::Write(in, m_pLaps ? m_pLaps->track_length_m : 0.0, m_scan,
                                             [this](const std::string& piece) { AppendText(piece); });
        });
        return true;
    case kReportSeasonEngineMod: SetReport(title, WriteSeasonEngineModReport(*m_pDrivers)); return true;
    default: return false;
    }
}

bool Report::WriteLapKind(int kind) {
    if (!m_pLaps || m_pLaps->laps.empty()) return false;
    const QString title = QString::fromLatin1(ReportTitle(kind));
    setWindowTitle(title);
    m_wndTitle->setText(title);
    seam_.BeginWait();
    // These kinds add to what the window shows.
    switch (kind) {
    case kReportLaptimeVerifier:
        LaptimeVerifierReport::Write(*m_pLaps, [this](const std::string& piece) { AppendText(piece); });
        m_wndReport->moveCursor(QTextCursor::Start);
        break;
    case kReportSectorTimes: AppendText(WriteSectorTimesReport(*m_pLaps)); break;
    case kReportSpeed: AppendText(WriteSpeedReport(*m_pLaps)); break;
    default: break;
    }
    seam_.EndWait();
    return true;
}

void Report::WriteGrowing(const QString& title, const std::function<std::string()>& writer) {
    m_wndTitle->setText(title);
    m_text.clear();
    m_wndReport->clear();
    seam_.BeginWait();
    std::string text = writer();
    seam_.EndWait();
    SetReport(title, std::move(text));
}

void Report::ScanForRace(const ReportInput& in) {
    if (!in.retire_in_race_report || m_bSiteMode || !m_pDrivers->race_present) return;
    m_text.clear();
    m_wndReport->clear();
    seam_.BeginWait();
    m_scan.Scan(in, true, [this](const std::string& piece) { AppendText(piece); });
    seam_.EndWait();
    m_wndTitle->setText(QString::fromLatin1(ReportTitle(kReportRace)));
}

void Report::SetReport(const QString& title, std::string text) {
    m_wndTitle->setText(title);
    m_text = std::move(text);
    // The text is shown whole, however long.
    m_wndReport->setPlainText(FromWindows1252(m_text).replace("\r\n", "\n"));
}

void Report::AppendText(const std::string& piece) {
    m_text += piece;
    m_wndReport->moveCursor(QTextCursor::End);
    m_wndReport->insertPlainText(FromWindows1252(piece).replace("\r\n", "\n"));
    m_wndReport->repaint();
}

void Report::OnExportToFile() {
    const std::string replay = m_pHeader ? m_pHeader->path : std::string();
    const auto chosen = seam_.ChooseSaveFile(
        "Export to file", report_files::ProposedName(replay, m_nCurrentKind),
        {{"Text files (*.txt)", "*.txt"}, {"All Files(*.*)", "*.*"}});
    if (!chosen) return;
    std::string error;
    if (!report_files::WriteText(report_files::WithTxtExtension(*chosen), m_text, &error))
        seam_.ShowMessage(error, Interaction::Icon::Error);
}

report_files::ExportResult Report::ExportAllReports(const std::string& prefix, bool mech) {
    report_files::ExportResult result;
    if (!m_pDrivers || !m_pHeader) {
        result.failed_file = prefix;
        result.error = "No replay to write reports of!";
        return result;
    }
    ReportInput in;
    in.header = m_pHeader;
    in.drivers = m_pDrivers;
    in.file_time = report_text::FileTimeText(m_pHeader->path);
    in.off_track_in_race_report = m_bOffTrackInRaceReport == 1;
    in.retire_in_race_report = m_bRetireInRaceReport == 1;
    seam_.BeginWait();
    result = report_files::ExportAllReports(in, prefix, mech);
    seam_.EndWait();
    return result;
}

void Report::OnPrint() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName("Ostrevan");
    if (!seam_.SetUpPrinter(&printer)) return;
    m_nPrintedPages = PrintText(printer, "\n\n" + FromWindows1252(m_text).replace("\r\n", "\n"));
    const bool printed = m_nPrintedPages > 0 && printer.printerState() != QPrinter::Aborted &&
                         printer.printerState() != QPrinter::Error;
    if (!seam_.EndPrinting(&printer, printed))
        seam_.ShowMessage("The report could not be printed.", Interaction::Icon::Error);
}

int Report::PrintText(QPrinter& printer, const QString& text) {
    QPainter painter;
    if (!painter.begin(&printer)) return 0;
    // The screen's columns need a fixed-pitch font; print uses the program's
    // proportional 10-point font.
    QFont font("MS Sans Serif");
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(10);
    painter.setFont(font);
    const QRect page(0, 0, painter.device()->width(), painter.device()->height());
    const int flags = Qt::TextWordWrap | Qt::TextExpandTabs;

    // No page holds more text lines than this, wrapped or not, so the
    // search never needs to measure further into the text: measuring the
    // whole remainder of a long report for every page would take minutes.
    const qsizetype max_lines = page.height() / std::max(1, painter.fontMetrics().lineSpacing()) + 2;

    int pages = 0;
    qsizetype start = 0;
    while (text.size() - start > 1) {
        qsizetype limit = start;
        for (qsizetype lines = 0; limit < text.size() && lines < max_lines; ++limit)
            if (text[limit] == '\n') ++lines;
        const QString rest = text.mid(start, limit - start);
        // The longest prefix of what is left that fits the page, by
        // bisection over its length; at least one character goes on a page.
        qsizetype fit = rest.size();
        auto fits = [&](qsizetype n) {
            return painter.boundingRect(page, flags, rest.left(n)).height() < page.height();
        };
        if (!fits(fit)) {
            qsizetype lo = 1, hi = rest.size() - 1;
            fit = 1;
            while (lo <= hi) {
                const qsizetype mid = lo + (hi - lo) / 2;
                if (fits(mid)) {
                    fit = mid;
                    lo = mid + 1;
                } else {
                    hi = mid - 1;
                }
            }
        }
        if (pages > 0 && !printer.newPage()) {
            printer.abort();
            painter.end();
            return pages;
        }
        painter.drawText(page, flags, rest.left(fit));
        ++pages;
        start += fit;
    }
    painter.end();
    return pages;
}
