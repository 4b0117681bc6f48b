#include "controls/hyper_link.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "interaction/interaction.h"
#include "interaction/ui/text_codec.h"

const QColor CHyperLink::kLinkColour(0, 0, 255);
const QColor CHyperLink::kVisitedColour(128, 0, 128);
const QColor CHyperLink::kFocusColour(0, 128, 128);
const QColor CHyperLink::kHoverColour(255, 0, 0);

namespace {
// The opener gives no reason of its own; the most likely one is that no
// program is set up for the address.
constexpr int kNoAssociation = 31;
}  // namespace

CHyperLink::CHyperLink(Interaction& ui, const QString& text, QWidget* parent) : QLabel(text, parent), seam_(ui) {
    setFocusPolicy(Qt::TabFocus);
    setTextFormat(Qt::PlainText);
    Refresh();
}

void CHyperLink::SetURL(const QString& target) {
    target_ = target;
    Refresh();
}

void CHyperLink::SetOptions(unsigned options) {
    options_ = options;
    Refresh();
}

QColor CHyperLink::TextColour() const {
    if (hover_ && (options_ & kUseHover)) return kHoverColour;
    if ((options_ & kNoActiveColour) || !focus_) return visited_ ? kVisitedColour : kLinkColour;
    return kFocusColour;
}

void CHyperLink::Refresh() {
    if (text().isEmpty() && !target_.isEmpty()) setText(target_);
    QFont f = font();
    f.setUnderline(options_ & kUnderline);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, TextColour());
    setPalette(pal);
    setToolTip(target_.isEmpty() ? text() : target_);
    if (options_ & kNoHandCursor)
        unsetCursor();
    else
        setCursor(Qt::PointingHandCursor);
    if (options_ & kAutoSize) adjustSize();
    update();
}

void CHyperLink::showEvent(QShowEvent* event) {
    Refresh();
    QLabel::showEvent(event);
}

void CHyperLink::Open() {
    const QString target = target_.isEmpty() ? text() : target_;
    if (seam_.OpenWithProgram(ToWindows1252(target))) {
        visited_ = true;
        Refresh();
        return;
    }
    QApplication::beep();
    seam_.ShowMessage(ToWindows1252("Can't open link:\n\n" + ErrorText(kNoAssociation)), Interaction::Icon::Warning);
}

QString CHyperLink::ErrorText(int code) {
    switch (code) {
    case 0: return "The operating system is out\nof memory or resources.";
    case 2: return "The specified file was not found.";
    case 3: return "The specified path was not found.";
    case 5: return "The operating system denied\naccess to the specified file.";
    case 8: return "There was not enough memory to complete the operation.";
    case 11: return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26: return "A sharing violation occurred. ";
    case 27: return "The filename association is\nincomplete or invalid.";
    case 28: return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29: return "The DDE transaction failed.";
    case 30:
        return "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
    case 31: return "There is no application associated\nwith the given filename extension.";
    case 32: return "The specified dynamic-link library was not found.";
    default: return QString("Unknown Error (%1) occurred.").arg(code);
    }
}

void CHyperLink::enterEvent(QEnterEvent* event) {
    hover_ = true;
    Refresh();
    QLabel::enterEvent(event);
}

void CHyperLink::leaveEvent(QEvent* event) {
    hover_ = false;
    Refresh();
    QLabel::leaveEvent(event);
}

void CHyperLink::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QLabel::mousePressEvent(event);
    if (options_ & kGetFocusOnClick) setFocus(Qt::MouseFocusReason);
    if (options_ & kDownClick) Open();
    focus_ = true;
    Refresh();
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QLabel::mouseReleaseEvent(event);
    if (focus_ && !(options_ & kDownClick)) Open();
}

void CHyperLink::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        Open();
        return;
    }
    QLabel::keyPressEvent(event);
}

void CHyperLink::focusInEvent(QFocusEvent* event) {
    focus_ = true;
    Refresh();
    QLabel::focusInEvent(event);
}

void CHyperLink::focusOutEvent(QFocusEvent* event) {
    focus_ = false;
    hover_ = false;
    Refresh();
    QLabel::focusOutEvent(event);
}
