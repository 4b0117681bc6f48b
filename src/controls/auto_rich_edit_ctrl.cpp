#include "controls/auto_rich_edit_ctrl.h"

#include <cctype>
#include <vector>

#include "interaction/ui/text_codec.h"

namespace {

struct Style {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int half_points = 0;  // 0: the box's own size
    bool skip = false;    // inside a destination that shows nothing
    bool operator==(const Style&) const = default;
};

class RtfReader {
public:
    explicit RtfReader(const std::string& rtf) : s_(rtf) {}

    QString Html() {
        std::vector<Style> stack;
        Style st;
        while (i_ < s_.size()) {
            const char c = s_[i_++];
            if (c == '{') {
                stack.push_back(st);
            } else if (c == '}') {
                if (!stack.empty()) {
                    st = stack.back();
                    stack.pop_back();
                }
            } else if (c == '\\') {
                ControlWord(st);
            } else if (c != '\r' && c != '\n') {
                Emit(st, QString(FromWindows1252(std::string(1, c))));
            }
        }
        Flush();
        return html_;
    }

private:
    void ControlWord(Style& st) {
        if (i_ >= s_.size()) return;
        const char c = s_[i_];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++i_;
            if (c == '\'' && i_ + 2 <= s_.size() && std::isxdigit(static_cast<unsigned char>(s_[i_])) &&
                std::isxdigit(static_cast<unsigned char>(s_[i_ + 1]))) {
                const int byte = std::stoi(s_.substr(i_, 2), nullptr, 16);
                i_ += 2;
                Emit(st, FromWindows1252(std::string(1, static_cast<char>(byte))));
            } else if (c == '*') {
                st.skip = true;
            } else if (c == '~') {
                Emit(st, QString(QChar(0xA0)));
            } else if (c == '\\' || c == '{' || c == '}') {
                Emit(st, QString(QChar(c)));
            } else if (c == '\n' || c == '\r') {
                Emit(st, "\n");
            }
            return;
        }
        std::string word;
        while (i_ < s_.size() && std::isalpha(static_cast<unsigned char>(s_[i_]))) word += s_[i_++];
        bool has_arg = false;
        int arg = 0;
        bool negative = false;
        if (i_ < s_.size() && s_[i_] == '-') {
            negative = true;
            ++i_;
        }
        while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) {
            has_arg = true;
            arg = arg * 10 + (s_[i_++] - '0');
            if (arg > 1000000) arg = 1000000;
        }
        if (negative) arg = -arg;
        if (i_ < s_.size() && s_[i_] == ' ') ++i_;
        const bool on = !has_arg || arg != 0;
        if (word == "par" || word == "line") Emit(st, "\n");
        else if (word == "tab") Emit(st, "\t");
        else if (word == "b") st.bold = on;
        else if (word == "i") st.italic = on;
        else if (word == "ul") st.underline = on;
        else if (word == "ulnone") st.underline = false;
        else if (word == "plain") st = Style{false, false, false, 0, st.skip};
        else if (word == "fs") st.half_points = has_arg ? arg : 0;
        else if (word == "lquote") Emit(st, QString(QChar(0x2018)));
        else if (word == "rquote") Emit(st, QString(QChar(0x2019)));
        else if (word == "ldblquote") Emit(st, QString(QChar(0x201C)));
        else if (word == "rdblquote") Emit(st, QString(QChar(0x201D)));
        else if (word == "emdash") Emit(st, QString(QChar(0x2014)));
        else if (word == "endash") Emit(st, QString(QChar(0x2013)));
        else if (word == "bullet") Emit(st, QString(QChar(0x2022)));
        else if (word == "u" && has_arg) {
            Emit(st, QString(QChar(static_cast<char16_t>(arg < 0 ? arg + 65536 : arg))));
            if (i_ < s_.size() && s_[i_] != '\\' && s_[i_] != '{' && s_[i_] != '}') ++i_;  // the fallback character
        } else if (word == "fonttbl" || word == "colortbl" || word == "stylesheet" || word == "info" ||
                   word == "pict" || word == "header" || word == "footer")
            st.skip = true;
    }

    void Emit(const Style& st, const QString& text) {
        if (st.skip) return;
        if (!(st == run_style_)) Flush();
        run_style_ = st;
        run_ += text;
    }

    void Flush() {
        if (run_.isEmpty()) return;
        QString css;
        if (run_style_.bold) css += "font-weight:bold;";
        if (run_style_.italic) css += "font-style:italic;";
        if (run_style_.underline) css += "text-decoration:underline;";
        if (run_style_.half_points > 0) css += QString("font-size:%1pt;").arg(run_style_.half_points / 2.0);
        QString body = run_.toHtmlEscaped();
        body.replace("\n", "<br>");
        body.replace("\t", "&emsp;");
        html_ += css.isEmpty() ? body : "<span style=\"" + css + "\">" + body + "</span>";
        run_.clear();
    }

    const std::string& s_;
    size_t i_ = 0;
    QString html_;
    QString run_;
    Style run_style_;
};

}  // namespace

CAutoRichEditCtrl::CAutoRichEditCtrl(QWidget* parent) : QTextEdit(parent) { setReadOnly(true); }

void CAutoRichEditCtrl::SetRTF(std::string rtf) { setHtml(RtfToHtml(rtf)); }

QString CAutoRichEditCtrl::RtfToHtml(const std::string& rtf) { return RtfReader(rtf).Html(); }
