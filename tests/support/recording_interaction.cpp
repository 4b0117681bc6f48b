#include "support/recording_interaction.h"

#include <QPrinter>

namespace fixture {

bool RecordingInteraction::SetUpPrinter(QPrinter* printer) {
    if (pdf_path.empty()) return false;
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(pdf_path));
    return true;
}

}  // namespace fixture
