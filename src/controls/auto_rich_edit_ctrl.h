#pragma once
// A read-only rich-text box filled from RTF text (the program's own help
// texts): paragraphs, bold, italic, underline, font sizes and the RTF
// escapes for quotes, dashes and Windows-1252 characters. Font and colour
// tables and other destinations are skipped.

#include <QTextEdit>
#include <string>

class CAutoRichEditCtrl : public QTextEdit {
    Q_OBJECT
public:
    explicit CAutoRichEditCtrl(QWidget* parent = nullptr);

    // Replaces the whole content with the RTF text (Windows-1252 bytes).
    void SetRTF(std::string rtf);
    // The same conversion, to the HTML the box shows.
    static QString RtfToHtml(const std::string& rtf);
};
